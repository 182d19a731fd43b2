// What the program's modal windows (settings, resources, about) share: their class, the
// design font, the place below the main window, and the modal loop.
#pragma once

#include <windows.h>

#include <functional>

#include "ui/controls.h"

namespace zelk {

// The C++ object of a window: the window keeps it from WM_NCCREATE on, and the class's window
// procedure hands every message to its OnMessage.
class WindowObject {
  public:
    virtual ~WindowObject() = default;
    HWND Handle() const { return window_; }

  protected:
    virtual LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
        return DefWindowProcA(window_, message, wParam, lParam);
    }
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND window_ = nullptr;
};

// Registers a window class of WindowObjects with the arrow cursor and the dialog background;
// true when it exists afterwards.
bool RegisterModalClass(HINSTANCE instance, const char* name);

// A popup window with a caption and the system-menu button (plus `extraStyle`: a sizing
// border, a maximise button), of the given client size, centred, around `object`.
HWND CreateModalWindow(HINSTANCE instance, const char* cls, const char* caption, int width,
                       int height, DWORD extraStyle, WindowObject* object);

// The design's font: 11-pixel MS Sans Serif. The caller deletes it.
HFONT CreateDesignFont();

void CentreOnScreen(HWND window);

// Shows `hand` over the visible link labels of `controls`; true when it did (WM_SETCURSOR).
bool SetCursorOverLink(HWND window, const ControlSet& controls, HCURSOR hand, LPARAM lParam);

// Just below `owner`, or flush with the screen's bottom when it does not fit there; the left
// edges line up.
void PlaceBelow(HWND window, HWND owner);

// Shows `window` modally over `owner`, with the keyboard at `focus`, while `open` holds. `preview`
// sees each message first and returns true when it took it (Esc, dialog keys). A WM_QUIT ends the
// loop and is posted again for the caller's loop.
void RunModal(HWND window, HWND owner, HWND focus, const std::function<bool()>& open,
              const std::function<bool(MSG&)>& preview);

}  // namespace zelk
