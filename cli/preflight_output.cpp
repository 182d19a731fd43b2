#include "preflight_output.h"

#include <cmath>
#include <locale>
#include <sstream>

#include "output.h"
#include "text_encoding.h"

namespace zelk::cli {
namespace {

using Json = nlohmann::ordered_json;
namespace pf = preflight;

// Points to a thousandth: enough for any box, and free of a sum's binary noise.
double Points(double v) {
    return std::round(v * 1000) / 1000;
}

Json OptionalText(const std::optional<std::string>& s) {
    return s ? Json(ToUtf8(*s)) : Json(nullptr);
}

Json BoxJson(const std::optional<pf::Box>& box) {
    if (!box) return nullptr;
    return {Points((*box)[0]), Points((*box)[1]), Points((*box)[2]), Points((*box)[3])};
}

Json Names(const std::vector<std::string>& names) {
    Json list = Json::array();
    for (const auto& name : names) list.push_back(ToUtf8(name));
    return list;
}

Json PdfJson(const pf::PdfFacts& pdf) {
    Json fonts = Json::array();
    for (const auto& f : pdf.fonts)
        fonts.push_back({{"name", ToUtf8(f.name)},
                         {"subtype", f.subtype.empty() ? Json(nullptr) : Json(ToUtf8(f.subtype))},
                         {"embedded", !f.fontFile.empty()},
                         {"fontFile", f.fontFile.empty() ? Json(nullptr) : Json(f.fontFile)}});
    Json page = nullptr;
    if (pdf.firstPageFound)
        page = {{"mediaBox", BoxJson(pdf.mediaBox)},
                {"cropBox", BoxJson(pdf.cropBox)},
                {"bleedBox", BoxJson(pdf.bleedBox)},
                {"trimBox", BoxJson(pdf.trimBox)},
                {"rotate", pdf.rotate}};
    return {{"pages", pdf.pages ? Json(*pdf.pages) : Json(nullptr)},
            {"firstPage", page},
            {"spots", Names(pdf.spots)},
            {"processInks", Names(pdf.processInks)},
            {"fonts", fonts},
            {"title", OptionalText(pdf.title)},
            {"creator", OptionalText(pdf.creator)},
            {"producer", OptionalText(pdf.producer)},
            {"objectStreams", pdf.objectStreams},
            {"encrypted", pdf.encrypted}};
}

Json TiffJson(const pf::TiffFacts& tiff) {
    const bool known = tiff.orientation.has_value();
    return {
        {"orientation", known ? Json(*tiff.orientation) : Json(nullptr)},
        {"orientationName", known ? Json(pf::OrientationName(*tiff.orientation)) : Json(nullptr)},
        {"mirrored", known && pf::OrientationMirrors(*tiff.orientation)},
        {"inkSet", tiff.inkSet ? Json(*tiff.inkSet) : Json(nullptr)},
        {"inkNames", Names(tiff.inkNames)},
        {"iccProfile", tiff.iccProfile},
        {"images", tiff.images}};
}

Json DscJson(const pf::DscFacts& dsc) {
    Json media = Json::array();
    for (const auto& m : dsc.media)
        media.push_back({{"name", ToUtf8(m.name)},
                         {"width", Points(m.width)},
                         {"height", Points(m.height)},
                         {"weight", Points(m.weight)},
                         {"colour", ToUtf8(m.colour)},
                         {"type", ToUtf8(m.type)}});
    return {{"hiResBoundingBox", BoxJson(dsc.hiResBoundingBox)}, {"documentMedia", media}};
}

Json FitJson(const Inspection& inspection, const pf::Facts& facts, const OutputFormat& format) {
    const Analysis& a = inspection.window.analysis;
    SettingsFile& settings = ProgramSettings();
    const double fast = format.fastScan.value_or(settings.ReadPositive(settings::kFastScan));
    const double slow = format.slowScan.value_or(settings.ReadPositive(settings::kSlowScan));
    pf::PageSize page{static_cast<double>(a.PageWidth), static_cast<double>(a.PageHeight)};
    const char* from = "window";
    if (facts.pdf && facts.pdf->firstPageFound) {
        const pf::PageSize declared = pf::PdfPageSize(*facts.pdf);
        if (declared.width > 0 && declared.height > 0) {
            page = declared;
            from = facts.pdf->cropBox ? "cropBox" : "mediaBox";
        }
    }
    const pf::Fit fit = pf::FitOnFormat(page, fast, slow);
    const bool known = fit.verdict != pf::Verdict::Unknown;
    return {{"verdict", pf::VerdictName(fit.verdict)},
            {"pageWidth", Points(page.width)},
            {"pageHeight", Points(page.height)},
            {"pageFrom", from},
            {"fastScan", Points(fast)},
            {"slowScan", Points(slow)},
            {"formatFrom", format.fastScan || format.slowScan ? "options" : "settings"},
            {"turned", fit.turned},
            {"fastScanMargin", known ? Json(Points(fit.fastScanMargin)) : Json(nullptr)},
            {"slowScanMargin", known ? Json(Points(fit.slowScanMargin)) : Json(nullptr)}};
}

std::string Number(const Json& j) {
    std::ostringstream out;
    out.imbue(std::locale::classic());
    out << j.get<double>();
    return out.str();
}

}  // namespace

std::optional<double> ParseLength(const std::string& text) {
    std::istringstream in(text);
    in.imbue(std::locale::classic());
    double value = 0;
    std::string unit;
    if (!(in >> value) || !(in >> unit) || !in.eof() || !std::isfinite(value) || value <= 0)
        return std::nullopt;
    if (unit == "pt") return value;
    if (unit == "mm") return value * 72 / 25.4;
    if (unit == "cm") return value * 720 / 25.4;
    if (unit == "in") return value * 72;
    return std::nullopt;
}

Json PreflightJson(const Inspection& inspection, const std::string& path,
                   const OutputFormat& format, std::optional<pf::Facts> read) {
    if (!inspection.started) return nullptr;
    pf::Facts facts;
    if (read && inspection.window.analysis.DocKind == "PDF")
        facts = std::move(*read);
    else if (auto file = OpenSourceFile(path))
        facts = pf::Read(*file, inspection.window.analysis.DocKind);
    else
        facts.notes.push_back("the file could not be opened again to read its facts");
    Json notes = Json::array();
    for (const auto& note : facts.notes) notes.push_back(ToUtf8(note));
    return {{"fit", FitJson(inspection, facts, format)},
            {"pdf", facts.pdf ? PdfJson(*facts.pdf) : Json(nullptr)},
            {"tiff", facts.tiff ? TiffJson(*facts.tiff) : Json(nullptr)},
            {"dsc", facts.dsc ? DscJson(*facts.dsc) : Json(nullptr)},
            {"notes", notes}};
}

std::string PreflightText(const Json& p) {
    if (p.is_null()) return {};
    std::ostringstream out;
    const Json& fit = p["fit"];
    out << "  fit: " << AsText(fit["verdict"]) << ", page " << Number(fit["pageWidth"]) << " x "
        << Number(fit["pageHeight"]) << " pt (" << AsText(fit["pageFrom"]) << ") on "
        << Number(fit["fastScan"]) << " x " << Number(fit["slowScan"]) << " pt";
    if (!fit["fastScanMargin"].is_null())
        out << ", margins " << Number(fit["fastScanMargin"]) << " x "
            << Number(fit["slowScanMargin"]) << " pt";
    out << "\n";
    if (const Json& pdf = p["pdf"]; !pdf.is_null()) {
        out << "  pdf: pages " << (pdf["pages"].is_null() ? "unknown" : AsText(pdf["pages"]));
        if (const Json& page = pdf["firstPage"]; !page.is_null()) {
            for (const char* box : {"mediaBox", "cropBox", "bleedBox", "trimBox"}) {
                if (page[box].is_null()) continue;
                out << ", " << box;
                for (const auto& v : page[box]) out << " " << Number(v);
            }
            out << ", rotate " << AsText(page["rotate"]);
        }
        out << "\n";
        for (const auto& ink : pdf["spots"]) out << "    spot " << AsText(ink) << "\n";
        for (const auto& ink : pdf["processInks"]) out << "    process " << AsText(ink) << "\n";
        for (const auto& font : pdf["fonts"])
            out << "    font " << AsText(font["name"])
                << (font["embedded"].get<bool>() ? " (embedded)" : " (not embedded)") << "\n";
        for (const char* key : {"title", "creator", "producer"})
            if (!pdf[key].is_null()) out << "    " << key << ": " << AsText(pdf[key]) << "\n";
    }
    if (const Json& tiff = p["tiff"]; !tiff.is_null()) {
        out << "  tiff: " << AsText(tiff["images"]) << " image(s)";
        if (!tiff["orientation"].is_null())
            out << ", orientation " << AsText(tiff["orientationName"])
                << (tiff["mirrored"].get<bool>() ? " (mirrored)" : "");
        if (tiff["iccProfile"].get<bool>()) out << ", ICC profile";
        out << "\n";
        for (const auto& ink : tiff["inkNames"]) out << "    ink " << AsText(ink) << "\n";
    }
    if (const Json& dsc = p["dsc"]; !dsc.is_null()) {
        if (!dsc["hiResBoundingBox"].is_null()) {
            out << "  hires bounding box:";
            for (const auto& v : dsc["hiResBoundingBox"]) out << " " << Number(v);
            out << "\n";
        }
        for (const auto& m : dsc["documentMedia"])
            out << "  medium " << AsText(m["name"]) << " " << Number(m["width"]) << " x "
                << Number(m["height"]) << " pt\n";
    }
    for (const auto& note : p["notes"]) out << "  note: " << AsText(note) << "\n";
    return out.str();
}

}  // namespace zelk::cli
