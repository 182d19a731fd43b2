// Program start: the settings file, the single-instance rule, the main window and the
// message loop.
#include <windows.h>

#include <cstdio>

#include "app/command_line.h"
#include "ui/message_box_win.h"
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

// A copy is running: hand it the file and bring it to the front. The path is written
// before the message is posted, so the running copy reads it when the message arrives.
int HandOver(zelk::SettingsFile& settings, HWND running, const std::vector<std::string>& args) {
    if (args.empty()) {
        PostMessageA(running, zelk::kHandOverMessage, 0, 0);
    } else {
        try {
            const auto& key = zelk::settings::kHandedOverPath;
            settings.WriteString(key.section, key.key, args[0]);
        } catch (const zelk::SettingsWriteError& e) {
            zelk::CentredMessageBox(nullptr, e.what(), "Zelk", MB_OK | MB_ICONERROR);
            return 1;
        }
        PostMessageA(running, zelk::kHandOverMessage, 1, 0);
    }
    SetForegroundWindow(running);
    return 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
    const std::string iniPath = zelk::SettingsFilePath();
    zelk::SettingsFile settings(iniPath, zelk::MakePlatformProfileStore(iniPath));
    const std::vector<std::string> args = zelk::SplitCommandLine(GetCommandLineA());
    if (settings.Read(zelk::settings::kOnlyOneAtStart)) {
        if (HWND running = FindWindowA(zelk::kMainWindowClass, nullptr))
            return HandOver(settings, running, args);
    }
    auto frame = zelk::CreateMainFrame(instance, ParseStart(args), settings);
    if (!frame) {
        // A GUI program has no console, but a script that started it reads this line.
        std::fprintf(stderr, "Zelk: the main window could not be created (error %lu)\n",
                     GetLastError());
        return 1;
    }
    ShowWindow(zelk::FrameHandle(*frame), show);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
