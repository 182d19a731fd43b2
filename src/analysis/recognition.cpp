#include "analysis/recognition.h"

#include <array>

namespace zelk {
namespace {

bool Contains(std::string_view window, std::string_view what) {
    return window.find(what) != std::string_view::npos;
}

bool StartsWith(std::string_view window, std::string_view what) {
    return window.substr(0, what.size()) == what;
}

using namespace std::string_view_literals;

// Tried in order; the first rule that matches decides. A PostScript file that quotes
// "%PDF" in its first line is still PostScript.
struct KindRule {
    std::string_view kind;
    bool (*matches)(std::string_view window);
};
constexpr std::array<KindRule, 4> kKindRules{{
    {"EPS", [](std::string_view w) { return Contains(w, "%!PS") && Contains(w, "EPS"); }},
    {"PS", [](std::string_view w) { return Contains(w, "%!PS"); }},
    {"PDF", [](std::string_view w) { return Contains(w, "%PDF"); }},
    {"TIF",
     [](std::string_view w) { return StartsWith(w, "II*\0"sv) || StartsWith(w, "MM\0*"sv); }},
}};

struct KindPrefix {
    std::string_view kind;
    std::string_view prefix;
};
constexpr std::array<KindPrefix, 4> kKindPrefixes{{
    {"PS", "*PostScript file - "},
    {"EPS", "*Encapulated PostScript file - "},  // spelt so by design, and scripts match it
    {"PDF", "*Portable document file - "},
    {"TIF", "*Tagged image file - "},
}};

}  // namespace

std::string RecognizeKind(std::string_view firstBytes) {
    const auto window = firstBytes.substr(0, kRecognitionWindow);
    for (const auto& rule : kKindRules)
        if (rule.matches(window)) return std::string(rule.kind);
    return "NA";
}

std::string_view KindReportPrefix(std::string_view kind) {
    for (const auto& entry : kKindPrefixes)
        if (entry.kind == kind) return entry.prefix;
    return {};
}

std::string FileNameOf(std::string_view path) {
    const auto cut = path.find_last_of("\\:/");
    return std::string(cut == std::string_view::npos ? path : path.substr(cut + 1));
}

std::string PathForMessage(std::string_view path) {
    constexpr size_t kHead = 40, kTail = 60;
    if (path.size() <= kHead + kTail + 3) return std::string(path);
    return std::string(path.substr(0, kHead)) + "..." +
           std::string(path.substr(path.size() - kTail));
}

std::string FormatFileSize(int64_t bytes) {
    if (bytes < 0) bytes = 0;
    const int64_t thousandths = bytes / 1000 + (bytes % 1000 >= 500 ? 1 : 0);
    const std::string decimals = std::to_string(thousandths % 1000);
    return std::to_string(thousandths / 1000) + "." + std::string(3 - decimals.size(), '0') +
           decimals + " M";
}

}  // namespace zelk
