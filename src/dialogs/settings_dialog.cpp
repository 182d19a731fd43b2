#include "dialogs/settings_dialog.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace zelk {

namespace {

constexpr long double kPointsPerMillimetre = 2.8346438836888921L;  // 1 / 0.352778
constexpr long double kMillimetresPerPoint = 0.352778L;

// Nearest integer in extended precision, an exact half to the even neighbour (the default
// rounding mode), saturating at the 32-bit limits.
int32_t NearestEven(long double x) {
    if (std::isnan(x)) return 0;
    const long double r = std::nearbyint(x);
    if (r >= static_cast<long double>(std::numeric_limits<int32_t>::max()))
        return std::numeric_limits<int32_t>::max();
    if (r <= static_cast<long double>(std::numeric_limits<int32_t>::min()))
        return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(r);
}

constexpr const char* kSave = "Save";
constexpr const char* kClose = "Close";
constexpr const char* kReset = "Reset";

}  // namespace

const char* UnitText(Unit unit) {
    switch (unit) {
        case Unit::Millimetres:
            return "mm";
        case Unit::Inches:
            return "x0.01 in";
        default:
            return "pt";
    }
}

int32_t FieldValue(const std::string& text) {
    int64_t value = 0;
    const char* first = text.data();
    const char* last = text.data() + text.size();
    while (first < last && *first == ' ') ++first;
    if (first < last && *first == '+') ++first;
    const auto [end, error] = std::from_chars(first, last, value);
    if (error != std::errc() || end != last || first == last) return kLimitMin;
    return ClampLimit(value);
}

int32_t ClampLimit(int64_t value) {
    return static_cast<int32_t>(value < kLimitMin   ? kLimitMin
                                : value > kLimitMax ? kLimitMax
                                                    : value);
}

int32_t PointsToField(int32_t points, Unit unit) {
    switch (unit) {
        case Unit::Millimetres:
            return ClampLimit(NearestEven(points * kMillimetresPerPoint));
        case Unit::Inches:
            return ClampLimit(NearestEven(points * (1.0L / 72.0L) * 100.0L));
        default:
            return ClampLimit(points);
    }
}

int32_t FieldToPoints(int32_t value, const std::string& unitText, int32_t unchanged) {
    if (unitText == "mm") return NearestEven(value * kPointsPerMillimetre);
    if (unitText == "x0.01 in") return NearestEven(value * 0.01L * 72.0L);
    if (unitText == "pt") return value;
    return unchanged;
}

TSettings::TSettings(SettingsFile& settings) : settings_(settings) {
    links.Add(MakeLink(kSave, 16, 150, "Save"));
    links.Add(MakeLink(kReset, 112, 150, "Reset to default"));
    links.Add(MakeLink(kClose, 248, 150, "Close"));
}

void TSettings::FormCreate() {
    result = Result::Open;
    OverForm();
    OnlyOneBox = settings_.Read(settings::kOnlyOneInDialog);
    FastScanPt = settings_.ReadPositive(settings::kFastScan);
    SlowScanPt = settings_.ReadPositive(settings::kSlowScan);
    EditFast = std::to_string(ClampLimit(FastScanPt));
    EditSlow = std::to_string(ClampLimit(SlowScanPt));
    const std::string units = settings_.Read(settings::kUnits);
    if (units == "mm") selected = Unit::Millimetres;
    if (units == "pt") selected = Unit::Points;
    if (units == "in") selected = Unit::Inches;
    LimitsToEdits();
}

void TSettings::LimitsFromEdits() {
    FastScanPt = FieldToPoints(FieldValue(EditFast), pt1, FastScanPt);
    SlowScanPt = FieldToPoints(FieldValue(EditSlow), pt1, SlowScanPt);
}

void TSettings::LimitsToEdits() {
    if (selected == Unit::None) return;
    EditFast = std::to_string(PointsToField(FastScanPt, selected));
    EditSlow = std::to_string(PointsToField(SlowScanPt, selected));
    pt1 = pt2 = UnitText(selected);
}

void TSettings::UnitClick(Unit unit) {
    LimitsFromEdits();  // still in the previous unit: pt1 tells it
    selected = unit;
    LimitsToEdits();
}

std::optional<std::string> TSettings::ClickSave() {
    // A value typed and saved at once has not left its field: bring it into range here too,
    // so the stored limits stay positive (the main window divides one by the other).
    FieldExit(EditFast);
    FieldExit(EditSlow);
    LimitsFromEdits();
    try {
        if (selected != Unit::None) {
            const char* units = selected == Unit::Millimetres ? "mm"
                                : selected == Unit::Points    ? "pt"
                                                              : "in";
            settings_.WriteString(settings::kUnits.section, settings::kUnits.key, units);
        }
        settings_.WriteInteger(settings::kFastScan.section, settings::kFastScan.key, FastScanPt);
        settings_.WriteInteger(settings::kSlowScan.section, settings::kSlowScan.key, SlowScanPt);
        settings_.WriteBool(settings::kOnlyOneInDialog.section, settings::kOnlyOneInDialog.key,
                            OnlyOneBox);
    } catch (const SettingsWriteError& e) {
        return e.what();
    }
    result = Result::Ok;
    return std::nullopt;
}

void TSettings::ClickReset() {
    selected = Unit::Millimetres;
    FastScanPt = settings::kFastScan.fallback;
    SlowScanPt = settings::kSlowScan.fallback;
    LimitsToEdits();
}

void TSettings::ClickClose() {
    result = Result::Cancel;
}

std::optional<std::string> TSettings::LinkClick(const std::string& link) {
    links[link].textColour = kBlue;
    if (link == kSave) return ClickSave();
    if (link == kReset) ClickReset();
    if (link == kClose) ClickClose();
    return std::nullopt;
}

void TSettings::LinkDown(const std::string& link) {
    links[link].textColour = kRed;
}

void TSettings::OverForm() {
    for (auto& c : links.All()) c.textColour = kBlue;
}

}  // namespace zelk
