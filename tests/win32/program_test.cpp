// Zelk.exe started as its own process, found by its window class, as a second copy would.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "test_files.h"

namespace zelk {
namespace {

using test::NativePath;
using test::TempDir;

class Program {
  public:
    explicit Program(const std::string& args) {
        std::string line = "\"" + NativePath(ZELK_EXE) + "\" " + args;
        STARTUPINFOA si{};
        si.cb = sizeof si;
        started_ = CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                  nullptr, &si, &info_);
    }
    ~Program() {
        if (!started_) return;
        if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT)
            TerminateProcess(info_.hProcess, 1);
        CloseHandle(info_.hThread);
        CloseHandle(info_.hProcess);
    }
    bool Started() const { return started_; }
    // Waits for the process's main window to appear and to be ready for input.
    HWND Window() {
        WaitForInputIdle(info_.hProcess, 30000);
        for (int tries = 0; tries < 600; ++tries) {
            if (HWND w = FindWindowA("TZelkMnFrm", nullptr)) return w;
            if (WaitForSingleObject(info_.hProcess, 50) == WAIT_OBJECT_0) break;
        }
        return nullptr;
    }
    DWORD WaitForExit() {
        WaitForSingleObject(info_.hProcess, 60000);
        DWORD code = STILL_ACTIVE;
        GetExitCodeProcess(info_.hProcess, &code);
        return code;
    }

  private:
    PROCESS_INFORMATION info_{};
    bool started_ = false;
};

TEST(Program, MainWindowIsFoundByClassWithTheDesignClientArea) {
    Program zelk("");
    ASSERT_TRUE(zelk.Started());
    HWND window = zelk.Window();
    ASSERT_NE(window, nullptr);
    RECT client;
    GetClientRect(window, &client);
    EXPECT_EQ(client.right - client.left, 455);
    EXPECT_EQ(client.bottom - client.top, 334);
    char caption[64] = {};
    GetWindowTextA(window, caption, sizeof caption);
    EXPECT_STREQ(caption, "Zelk");
    const LONG style = GetWindowLongA(window, GWL_STYLE);
    EXPECT_TRUE(style & WS_MINIMIZEBOX);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_FALSE(style & WS_MAXIMIZEBOX);
    EXPECT_FALSE(style & WS_THICKFRAME);
    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(zelk.WaitForExit(), 0u);
}

TEST(Program, OpensTheCommandLineFileAndLeavesASnapshot) {
    TempDir dir;
    const auto job = dir.Write("job with blanks.ps", "%!PS-Adobe-3.0\n%%EOF\n");
    const auto png = dir.PathOf("window.png");
    Program zelk("\"" + NativePath(job) + "\" --snapshot \"" + NativePath(png) + "\"");
    ASSERT_TRUE(zelk.Started());
    EXPECT_EQ(zelk.WaitForExit(), 0u);
    const std::string picture = test::ReadFile(png);
    ASSERT_GT(picture.size(), 455u * 334u * 3u);
    EXPECT_EQ(picture.substr(0, 8), "\x89PNG\r\n\x1a\n");
}

}  // namespace
}  // namespace zelk
