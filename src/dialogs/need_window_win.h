// The resources window: a real Win32 window of class "TNeed" listing what a job needs.
#pragma once

#include <windows.h>

#include <functional>

#include "dialogs/need_window.h"
#include "ui/modal_win.h"

namespace zelk {

inline constexpr const char* kNeedWindowClass = "TNeed";
inline constexpr int kNeedListId = 100;  // ComboRes

class NeedWindow final : public WindowObject {
  public:
    NeedWindow() = default;
    ~NeedWindow() override;
    NeedWindow(const NeedWindow&) = delete;
    NeedWindow& operator=(const NeedWindow&) = delete;

    // Creates the window hidden, as the program does at start; false when Windows refuses.
    bool Create(HINSTANCE instance);
    // Lists `need` and shows the window modally below `owner` until Esc, the close button,
    // or the list's owner hiding it (a new file opened meanwhile).
    void ShowModal(HWND owner, const TNeed& need);

  private:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    HWND list_ = nullptr;
    HFONT font_ = nullptr;
    bool open_ = false;
};

}  // namespace zelk
