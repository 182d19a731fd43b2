// Zelk.exe as a separate process under Wine, and the windows it shows.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "test_files.h"

namespace zelk::test {

// A copy of Zelk.exe, Kestrin.exe and the help in a folder of their own, so each test has its
// own PreZelk.INI.
class Installed {
  public:
    Installed();
    std::string Exe() const { return dir_.PathOf("Zelk.exe"); }
    std::string Kestrin() const { return dir_.PathOf("Kestrin.exe"); }
    std::string Ini() const { return dir_.PathOf("PreZelk.INI"); }
    void WriteIni(const std::string& text) const { dir_.Write("PreZelk.INI", text); }
    const TempDir& Dir() const { return dir_; }

  private:
    TempDir dir_;
};

class Program {
  public:
    Program(const std::string& exe, const std::string& args);
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;
    bool Started() const { return started_; }
    DWORD Id() const { return info_.dwProcessId; }
    // The process's main window, once it exists.
    HWND Window();
    // A top-level window of this process with the given class and caption, once it shows.
    HWND WaitForWindow(const char* className, const char* caption);
    // The same, looked for once, without waiting.
    HWND Showing(const char* className, const char* caption) const;
    DWORD WaitForExit(DWORD milliseconds = 60000);  // STILL_ACTIVE when it did not end
    // Closes `window` (the main window when none is given) and waits for the process to end.
    DWORD Close(HWND window = nullptr) {
        PostMessageA(window != nullptr ? window : Window(), WM_CLOSE, 0, 0);
        return WaitForExit();
    }
    std::string Output();  // what the program wrote to standard output

  private:
    PROCESS_INFORMATION info_{};
    HANDLE outRead_ = nullptr;
    bool started_ = false;
};

// The text of a message box's message (or of its control `id`: IDYES, IDNO, IDOK).
std::string BoxText(HWND box, int id = 0xFFFF);

// Asks `done` every 50 ms until it says yes, for a minute at most; false when it never does.
bool WaitUntil(const std::function<bool()>& done);

// Waits until the window's caption is `caption`; false when it never comes.
bool WaitForCaption(HWND window, const std::string& caption);
std::string CaptionOf(HWND window);

// The pixels of a PNG as Zelk writes it (stored deflate blocks, 8-bit RGB).
struct Picture {
    int width = 0, height = 0;
    std::vector<uint8_t> rgb;
    uint32_t At(int x, int y) const;  // 0xRRGGBB
};
Picture ReadZelkPng(const std::string& path);

}  // namespace zelk::test
