// What the program's modal windows (settings, resources, about) share: their class, the
// design font, the place below the main window, and the modal loop.
#pragma once

#include <windows.h>

#include <functional>

namespace zelk {

// Registers a window class with the arrow cursor and the dialog background; true when it
// exists afterwards.
bool RegisterModalClass(HINSTANCE instance, const char* name, WNDPROC procedure);

// A popup window with a caption and the system-menu button (plus `extraStyle`: a sizing
// border, a maximise button), of the given client size, centred; `creationData` goes to
// WM_NCCREATE.
HWND CreateModalWindow(HINSTANCE instance, const char* cls, const char* caption, int width,
                       int height, DWORD extraStyle, void* creationData);

// The design's font: 11-pixel MS Sans Serif. The caller deletes it.
HFONT CreateDesignFont();

void CentreOnScreen(HWND window);

// Just below `owner`, or flush with the screen's bottom when it does not fit there; the left
// edges line up.
void PlaceBelow(HWND window, HWND owner);

// Shows `window` modally over `owner`, with the keyboard at `focus`, while `open` holds. `preview`
// sees each message first and returns true when it took it (Esc, dialog keys). A WM_QUIT ends the
// loop and is posted again for the caller's loop.
void RunModal(HWND window, HWND owner, HWND focus, const std::function<bool()>& open,
              const std::function<bool(MSG&)>& preview);

}  // namespace zelk
