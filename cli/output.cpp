#include "output.h"

#include <array>
#include <sstream>

#include "preflight_output.h"
#include "text_encoding.h"

namespace zelk::cli {
namespace {

using Json = nlohmann::ordered_json;

const char* TypeName(BoxType type) {
    switch (type) {
        case BoxType::Error:
            return "error";
        case BoxType::Warning:
            return "warning";
        case BoxType::Confirm:
            return "confirm";
    }
    return "error";
}

const char* AnswerName(Answer answer) {
    switch (answer) {
        case Answer::Ok:
            return "ok";
        case Answer::Yes:
            return "yes";
        case Answer::No:
            return "no";
    }
    return "ok";
}

Json Text(const std::string& s) {
    return ToUtf8(s);
}

Json CaptionIfVisible(const Control& c) {
    return c.visible ? Text(c.caption) : Json(nullptr);
}

Json PageJson(const TZelkMnFrm& w) {
    const Analysis& a = w.analysis;
    const char* emulsion = !w[kEmulsionStem].visible                       ? "none"
                           : w[kEmulsionStem].left == w[kEmulsionTop].left ? "normal"
                                                                           : "reversed";
    return {{"width", a.PageWidth},
            {"height", a.PageHeight},
            {"count", Text(w[kPageCount].caption)},
            {"name", CaptionIfVisible(w[kPageName])},
            {"mirrored", a.Mirrored},
            {"emulsion", emulsion}};
}

Json ColoursJson(const TZelkMnFrm& w) {
    const Analysis& a = w.analysis;
    static constexpr std::array<const char*, 4> kInkNames{"Cyan", "Magenta", "Yellow", "Black"};
    Json inks = Json::array();
    for (size_t i = 0; i < kInkNames.size(); ++i)
        if (a.ProcessInks[i]) inks.push_back(kInkNames[i]);
    Json spots = Json::array();
    for (int32_t i = 1; i <= a.SpotColourCount && i <= kMaxSpotColours; ++i) {
        const auto index = static_cast<size_t>(i);
        spots.push_back(
            {{"name", Text(a.SpotColourNames[index])}, {"values", a.SpotColourValues[index]}});
    }
    const Control& sep = w[kColourSummary];
    const Rgb bg = sep.background.value_or(kGrey);
    return {{"inks", inks},
            {"processText", Text(a.ProcessColourText)},
            {"spots", spots},
            {"separated", a.Separated},
            {"separationKnown", a.SeparationKnown},
            {"summary", CaptionIfVisible(sep)},
            {"summaryBackground", {bg.r, bg.g, bg.b}}};
}

Json TiffJson(const TZelkMnFrm& w) {
    const Analysis& a = w.analysis;
    if (a.DocKind != "TIF") return nullptr;
    return {{"byteOrder", a.TiffByteOrder},
            {"colourText", Text(a.TiffColourText)},
            {"multiPage", a.TiffMultiPage},
            {"picture", w.colourBarPicture.empty() ? Json(nullptr) : Json(w.colourBarPicture)}};
}

// The colour bar as the window fills it: the picture of a TIFF, then every chip.
Json BarJson(const TZelkMnFrm& w) {
    Json chips = Json::array();
    for (const Chip& c : BarChips(w.colourBar))
        chips.push_back({{"left", c.left},
                         {"top", c.top},
                         {"right", c.right},
                         {"bottom", c.bottom},
                         {"colour", {c.colour.r, c.colour.g, c.colour.b}}});
    const bool picture = w.analysis.DocKind == "TIF" && !w.colourBarPicture.empty();
    return {{"picture", picture ? Json(w.colourBarPicture) : Json(nullptr)}, {"chips", chips}};
}

Json Resources(const TZelkMnFrm& w) {
    Json lines = Json::array();
    for (const auto& line : w.need.ComboRes) lines.push_back(Text(line));
    return lines;
}

}  // namespace

Json ToJson(const Inspection& inspection, const std::string& fileAsGiven) {
    const TZelkMnFrm& w = inspection.window;
    Json messages = Json::array();
    for (const auto& m : inspection.host.messages)
        messages.push_back({{"type", TypeName(m.request.type)},
                            {"text", Text(m.request.text)},
                            {"answer", AnswerName(m.answer)}});
    return {{"schema", 1},
            {"file", Text(fileAsGiven)},
            {"complete", inspection.complete},
            {"kind", inspection.started ? Json(w.analysis.DocKind) : Json(nullptr)},
            {"caption", Text(w.caption)},
            {"report", Text(w[kReport].caption)},
            {"messages", messages},
            {"page", PageJson(w)},
            {"colours", ColoursJson(w)},
            {"resources", Resources(w)},
            {"resourceLabel", CaptionIfVisible(w[kResourceNotice])},
            {"tiff", TiffJson(w)},
            {"bar", BarJson(w)}};
}

namespace {

// Report lines end with LF CR; a person's terminal wants plain line feeds.
std::string Lines(const std::string& report, const std::string& indent) {
    std::string out;
    std::string line;
    for (char c : report) {
        if (c == '\r') continue;
        if (c == '\n') {
            out += indent + line + "\n";
            line.clear();
        } else {
            line += c;
        }
    }
    if (!line.empty()) out += indent + line + "\n";
    return out;
}

std::string OneLine(std::string text) {
    for (auto at = text.find("\n\r"); at != std::string::npos; at = text.find("\n\r", at))
        text.replace(at, 2, " ");
    return text;
}

}  // namespace

std::string AsText(const Json& j) {
    return j.is_string() ? j.get<std::string>() : j.dump();
}

std::string ToText(const Json& r) {
    std::ostringstream out;
    out << AsText(r["file"]) << "\n";
    for (const auto& m : r["messages"])
        out << "  " << AsText(m["type"]) << ": " << OneLine(AsText(m["text"])) << " -> "
            << AsText(m["answer"]) << "\n";
    if (r["kind"].is_null()) {
        out << "  not analysed\n";
        return out.str();
    }
    out << "  kind: " << AsText(r["kind"]) << (r["complete"].get<bool>() ? "" : " (scan stopped)")
        << "\n";
    out << Lines(AsText(r["report"]), "  ");
    const Json& page = r["page"];
    out << "  page: " << page["width"] << " x " << page["height"] << " pt, pages "
        << AsText(page["count"]);
    if (!page["name"].is_null()) out << ", " << OneLine(AsText(page["name"]));
    out << ", emulsion " << AsText(page["emulsion"]) << "\n";
    if (!r["tiff"].is_null()) {
        out << "  image" << (r["tiff"]["multiPage"].get<bool>() ? " (several in the file)" : "")
            << ":\n"
            << Lines(AsText(r["tiff"]["colourText"]), "   ");
        out << PreflightText(r.value("preflight", Json()));
        return out.str();
    }
    const Json& colours = r["colours"];
    if (!colours["summary"].is_null()) out << "  colours:" << AsText(colours["summary"]) << "\n";
    for (const auto& ink : colours["inks"]) out << "    process " << AsText(ink) << "\n";
    for (const auto& spot : colours["spots"]) out << "    spot " << AsText(spot["name"]) << "\n";
    if (!r["resourceLabel"].is_null()) out << "  resources:" << AsText(r["resourceLabel"]) << "\n";
    for (const auto& res : r["resources"]) out << "    " << AsText(res) << "\n";
    out << PreflightText(r.value("preflight", Json()));
    return out.str();
}

}  // namespace zelk::cli
