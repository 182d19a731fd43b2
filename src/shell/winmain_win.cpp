// Program start: create the main window and run the message loop until it closes.
#include <windows.h>

#include "shell/command_line.h"
#include "window/main_window_win.h"

namespace {

// "--snapshot FILE" after the job's path saves a picture of the window once the scan has
// ended and closes the program: for scripts and machines without a screen.
zelk::StartOptions ParseStart(std::vector<std::string> args) {
    zelk::StartOptions options;
    if (args.size() >= 3 && args[1] == "--snapshot") options.snapshotPath = args[2];
    if (args.size() == 2 && args[0] == "--snapshot") {
        options.snapshotPath = args[1];
        args.clear();
    }
    options.args = std::move(args);
    return options;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
    const zelk::StartOptions options = ParseStart(zelk::SplitCommandLine(GetCommandLineA()));
    auto frame = zelk::CreateMainFrame(instance, options);
    if (!frame) return 1;
    ShowWindow(zelk::FrameHandle(*frame), show);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
