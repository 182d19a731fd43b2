// Message boxes of the program's kinds, centred on the screen as the design shows them.
#pragma once

#include <windows.h>

namespace zelk {

// Shows a message box centred on the screen; returns the button pressed.
int CentredMessageBox(HWND owner, const char* text, const char* caption, UINT type);
// The box the calling thread shows now (the innermost one), or null.
HWND CurrentMessageBox();

}  // namespace zelk
