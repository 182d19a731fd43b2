// The about box as a real Win32 window of class "TAbout" around the TAbout model.
#pragma once

#include <windows.h>

#include <functional>

#include "dialogs/about.h"
#include "ui/modal_win.h"

namespace zelk {

inline constexpr const char* kAboutWindowClass = "TAbout";

class AboutBox final : public WindowObject {
  public:
    AboutBox() = default;
    ~AboutBox() override;
    AboutBox(const AboutBox&) = delete;
    AboutBox& operator=(const AboutBox&) = delete;

    // Creates the box hidden and centred, as the program does at start.
    bool Create(HINSTANCE instance);
    // Shows it modally until Esc or the close button; `repaintOwner` on each activation.
    void ShowModal(HWND owner, const std::function<void()>& repaintOwner);

  private:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    const Control* ControlAt(LPARAM lParam) const;

    TAbout model_;
    HBITMAP picture_ = nullptr;
    HCURSOR hand_ = nullptr;
    bool open_ = false;
    bool pressed_ = false;
    std::function<void()> repaintOwner_;
};

// Opens `page` (relative to the program's folder) or a "mailto:" address through the shell.
void OpenThroughShell(HWND owner, const std::string& target);

}  // namespace zelk
