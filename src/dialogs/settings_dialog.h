// The settings dialog as data: the unit, the output-format limits and the single-copy switch,
// with the conversions between units. The Win32 layer shows it and routes events here.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "settings/settings_file.h"
#include "ui/controls.h"

namespace zelk {

inline constexpr int kSettingsClientWidth = 305;
inline constexpr int kSettingsClientHeight = 176;
inline constexpr int32_t kLimitMin = 10, kLimitMax = 9999;

// The unit buttons; their captions are spelt as designed ("milimeters").
enum class Unit { None, Millimetres, Points, Inches };

// The unit text beside the fields, which also tells the unit the fields show.
const char* UnitText(Unit unit);  // "mm", "pt", "x0.01 in"

// A field's text read as an integer: a text that is no integer reads as the minimum.
int32_t FieldValue(const std::string& text);
// A value brought into 10..9999, as every assignment to a field brings it.
int32_t ClampLimit(int64_t value);

// Points to the value a field shows in `unit`, and back; extended precision, halves to even.
int32_t PointsToField(int32_t points, Unit unit);
int32_t FieldToPoints(int32_t value, const std::string& unitText, int32_t unchanged);

class TSettings {
  public:
    explicit TSettings(SettingsFile& settings);

    // What the dialog shows; the Win32 layer mirrors it into its controls and back.
    Unit selected = Unit::None;
    std::string pt1 = "pt", pt2 = "pt";
    std::string EditFast = "10", EditSlow = "10";
    bool OnlyOneBox = false;
    int32_t FastScanPt = 0, SlowScanPt = 0;
    ControlSet links;  // Save, Close, Reset, painted as the main window's links

    enum class Result { Open, Ok, Cancel };
    Result result = Result::Open;

    void FormCreate();          // each opening: from the settings file
    void UnitClick(Unit unit);  // milimetersClick, pointsClick, inchesClick
    void FieldExit(std::string& field) { field = std::to_string(ClampLimit(FieldValue(field))); }
    // Writes the settings and closes with OK; on a failed write the error's text, the later
    // writes skipped and the dialog still open.
    std::optional<std::string> ClickSave();
    void ClickReset();
    void ClickClose();  // also Esc and the close button, which leave the link alone
    void LinkDown(const std::string& link);
    // A click on "Save", "Reset" or "Close": the link turns blue, then its handler runs.
    std::optional<std::string> LinkClick(const std::string& link);
    void OverForm();  // the pointer over the dialog's background

    void LimitsFromEdits();
    void LimitsToEdits();

  private:
    SettingsFile& settings_;
};

}  // namespace zelk
