// The real window in this process: messages routed to the model, as Windows sends them.
#include <windows.h>

#include <shellapi.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include "test_files.h"
#include "window/main_window_win.h"

namespace zelk {
namespace {

std::string Caption(HWND w) {
    char text[256] = {};
    GetWindowTextA(w, text, sizeof text);
    return text;
}

// An HDROP as the shell builds it: DROPFILES, then NUL-terminated names, then one more NUL.
HDROP MakeDrop(const std::vector<std::string>& paths) {
    std::string names;
    for (const auto& p : paths) names += p + '\0';
    names += '\0';
    HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + names.size());
    auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    memcpy(reinterpret_cast<char*>(drop) + sizeof(DROPFILES), names.data(), names.size());
    GlobalUnlock(memory);
    return static_cast<HDROP>(memory);
}

struct InProcessWindow : ::testing::Test {
    InProcessWindow()
        : settings(dir.PathOf("PreZelk.INI"), MakePortableProfileStore(dir.PathOf("PreZelk.INI"))) {
        StartOptions options;
        options.endLoopOnClose = false;
        frame = CreateMainFrame(GetModuleHandleA(nullptr), options, settings);
    }
    test::TempDir dir;
    SettingsFile settings;
    MainFramePtr frame;
};

TEST_F(InProcessWindow, DroppingThreeFilesOpensTheFirst) {
    ASSERT_TRUE(frame);
    HWND w = FrameHandle(*frame);
    const auto a = dir.Write("first.ps", "%!PS-Adobe-3.0\n");
    const auto b = dir.Write("second.ps", "%!PS-Adobe-3.0\n");
    const auto c = dir.Write("third.ps", "%!PS-Adobe-3.0\n");
    SendMessageA(w, WM_DROPFILES,
                 reinterpret_cast<WPARAM>(
                     MakeDrop({test::NativePath(a), test::NativePath(b), test::NativePath(c)})),
                 0);
    EXPECT_EQ(Caption(w), "Zelk in first.ps");
    // Dropping again while that scan may still run: it stops, then the new file opens.
    SendMessageA(w, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({test::NativePath(c)})), 0);
    MSG msg;
    for (int i = 0; i < 2000 && Caption(w) != "Zelk in third.ps"; ++i) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    }
    EXPECT_EQ(Caption(w), "Zelk in third.ps");
}

}  // namespace
}  // namespace zelk
