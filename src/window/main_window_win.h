// The real main window: a Win32 window of class "TZelkMnFrm" around the TZelkMnFrm model.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "settings/settings_file.h"

namespace zelk {

inline constexpr const char* kMainWindowClass = "TZelkMnFrm";

// The main window's private messages, which other copies of the program post too.
inline constexpr UINT kScanStoppedMessage = WM_USER;   // a stopped scan has ended: reopen
inline constexpr UINT kHandOverMessage = WM_USER + 1;  // a second copy handed its file over

struct StartOptions {
    std::vector<std::string> args;  // the command line after the program's name
    std::string snapshotPath;       // when set: save a PNG once the scan has ended, then close
    bool endLoopOnClose = true;     // closing the window ends the thread's message loop
};

class MainFrame;
void DestroyMainFrame(MainFrame* frame);
struct MainFrameDeleter {
    void operator()(MainFrame* frame) const { DestroyMainFrame(frame); }
};
using MainFramePtr = std::unique_ptr<MainFrame, MainFrameDeleter>;

// Registers the class and creates the main window, hidden; null when Windows refuses.
MainFramePtr CreateMainFrame(HINSTANCE instance, const StartOptions& options,
                             SettingsFile& settings);
HWND FrameHandle(const MainFrame& frame);
class TZelkMnFrm;
const TZelkMnFrm& FrameModel(const MainFrame& frame);  // for tests in this process
HWND FrameSettingsDialog(const MainFrame& frame);
HMENU FramePopUpMenu(const MainFrame& frame);  // FileMenu; the bar's copy is GetMenu's first

}  // namespace zelk
