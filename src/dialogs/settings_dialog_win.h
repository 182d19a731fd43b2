// The settings dialog as a real Win32 window of class "TSettings" around the TSettings model.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>

#include "dialogs/settings_dialog.h"
#include "ui/modal_win.h"

namespace zelk {

inline constexpr const char* kSettingsWindowClass = "TSettings";

// The dialog's real controls, in the design's field order (which is also the Tab order).
enum SettingsControlId : int {
    kUnitsGroup = 100,
    kMillimetres,
    kPoints,
    kInches,
    kOutputGroup,
    kFastCaption,
    kSlowCaption,
    kFastUnit,
    kSlowUnit,
    kEditSlow,
    kSpinSlow,
    kEditFast,
    kSpinFast,
    kOnlyOneGroup,
    kOnlyOneBox,
};

class SettingsDialog final : public WindowObject {
  public:
    explicit SettingsDialog(SettingsFile& settings) : model_(settings) {}
    ~SettingsDialog() override;
    SettingsDialog(const SettingsDialog&) = delete;
    SettingsDialog& operator=(const SettingsDialog&) = delete;

    // Creates the dialog hidden, as the program does at start; false when Windows refuses.
    bool Create(HINSTANCE instance);
    // Shows it modally below `owner` until Save, Close, Esc or the close button. `saved` runs
    // after a Save (the main window recomputes its plate); `repaintOwner` whenever the owner
    // should be repainted (on activation, and after the dialog closes).
    void ShowModal(HWND owner, const std::function<void()>& saved,
                   const std::function<void()>& repaintOwner);
    const TSettings& Model() const { return model_; }

  private:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void CreateControls();
    void ToControls();    // the model into the real controls
    void FromControls();  // what the user typed and ticked into the model
    void Spin(int edit, int step);
    void InvalidateLinks();
    void LinkClick(const std::string& link);
    const Control* LinkAt(LPARAM lParam) const;

    TSettings model_;
    HFONT font_ = nullptr;
    HCURSOR hand_ = nullptr;
    std::string pressed_;
    std::function<void()> saved_, repaintOwner_;
};

}  // namespace zelk
