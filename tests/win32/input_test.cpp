// Zelk.exe driven as an operator drives it: real pointer and key events on the X display
// that Wine draws on, made by xdotool, never messages posted to the window.
#include <gtest/gtest.h>

#include "program.h"

#include <filesystem>
#include <fstream>

#include "dialogs/menu_editor_win.h"
#include "dialogs/settings_dialog_win.h"

namespace zelk {
namespace {

using test::Installed;
using test::NativePath;
using test::Program;
using test::Quoted;
using test::WaitForCaption;
using test::WaitUntil;

// Runs xdotool with `args` and waits until it has ended. Wine starts a Unix program named by
// its path as the Unix program it is, but gives no handle to wait on, so a shell runs it and
// leaves its status in a file. Win32 screen coordinates are the display's own.
bool Xdo(const std::string& args) {
    // The shell needs Unix paths: the files lie in a folder of /tmp, which is Z:\tmp here.
    struct Folder {
        std::string path = "/tmp/zelk-xdo-" + std::to_string(GetCurrentProcessId());
        Folder() { std::filesystem::create_directories(NativePath(path)); }
        ~Folder() { std::filesystem::remove_all(NativePath(path)); }
    };
    static const Folder folder;
    const std::string& unixDir = folder.path;
    static int runs = 0;
    const std::string done = unixDir + "/done" + std::to_string(++runs);
    const std::string script = unixDir + "/xdo.sh";
    std::ofstream(NativePath(script), std::ios::binary)
        << "/usr/bin/xdotool " << args << "\necho $? > " << done << ".new && mv " << done << ".new "
        << done << "\n";
    std::string line = "Z:\\bin\\sh " + script;
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &pi))
        return false;
    if (pi.hProcess != nullptr) CloseHandle(pi.hProcess);
    if (pi.hThread != nullptr) CloseHandle(pi.hThread);
    return WaitUntil([&] { return std::filesystem::exists(NativePath(done)); }) &&
           test::ReadFile(NativePath(done)) == "0\n";
}

// A click of `button` at a point of the screen.
bool ClickOnScreen(POINT p, int button = 1) {
    return Xdo("mousemove --sync " + std::to_string(p.x) + " " + std::to_string(p.y) + " click " +
               std::to_string(button));
}

// A click of `button` at a point of `window`'s client area (negative y: the menu bar).
bool ClickAt(HWND window, int x, int y, int button = 1) {
    POINT p{x, y};
    ClientToScreen(window, &p);
    return ClickOnScreen(p, button);
}

BOOL CALLBACK FindPopUp(HWND window, LPARAM found) {
    char cls[16] = {};
    GetClassNameA(window, cls, sizeof cls);
    if (std::string(cls) != "#32768" || !IsWindowVisible(window)) return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

// The menu window that shows, a pop-up or a drop-down from the bar, once it is there.
HWND WaitForMenu() {
    HWND found = nullptr;
    WaitUntil([&] { return !EnumWindows(FindPopUp, reinterpret_cast<LPARAM>(&found)); });
    return found;
}

// Clicks the last item of the menu that shows ("Print..."): its middle lies 10 pixels above
// the menu's lower edge at any item height Windows or Wine gives.
bool ClickLastItem(HWND menu) {
    RECT r;
    GetWindowRect(menu, &r);
    return ClickOnScreen({r.left + 30, r.bottom - 10});
}

// What the recorder standing in for the started programs has written, once it has `part`.
std::string WaitForRecorded(const Installed& dir, const std::string& part) {
    std::string text;
    WaitUntil([&] {
        text = test::ReadFile(dir.Dir().PathOf("recorded.txt"));
        return text.find(part) != std::string::npos;
    });
    return text;
}

// A copy of Zelk whose Kestrin.exe and one Open-with program are the recorder, showing a job
// whose name has a blank, so the quoting of the started command lines counts.
struct Operator : ::testing::Test {
    Operator() {
        for (const char* name : {"Kestrin.exe", "Recorder.exe"})
            std::filesystem::copy_file(NativePath(RECORD_ARGS_EXE),
                                       NativePath(dir.Dir().PathOf(name)),
                                       std::filesystem::copy_options::overwrite_existing);
        dir.WriteIni("[Init]\r\nUnits=mm\r\n[OpenWith]\r\nCount=1\r\n1=Recorder=" +
                     NativePath(dir.Dir().PathOf("Recorder.exe")) + "\r\n");
        job = dir.Dir().Write("job one.ps", "%!PS-Adobe-3.0\n%%Pages: 1\n");
    }
    // Starts Zelk on the job; false when its window never shows the job.
    bool Start() {
        zelk = std::make_unique<Program>(dir.Exe(), Quoted(job));
        window = zelk->Window();
        return window != nullptr && WaitForCaption(window, "Zelk in job one.ps");
    }
    bool StillRunning() { return zelk->WaitForExit(0) == STILL_ACTIVE && IsWindowVisible(window); }

    Installed dir;
    std::string job;
    std::unique_ptr<Program> zelk;
    HWND window = nullptr;
};

// The right button over the plate opens the file menu at the pointer; its items run their
// programs on the job, chosen by the pointer or by the keys, and the window stays.
TEST_F(Operator, Issue23PopUpOverThePlate) {
    ASSERT_TRUE(Start());
    ASSERT_TRUE(ClickAt(window, 140, 150, 3));
    HWND menu = WaitForMenu();
    ASSERT_NE(menu, nullptr) << "no pop-up over the plate";
    RECT r;
    GetWindowRect(menu, &r);
    POINT plate{140, 150};
    ClientToScreen(window, &plate);
    EXPECT_NEAR(r.left, plate.x, 2);  // its top-left corner at the pointer
    EXPECT_NEAR(r.top, plate.y, 2);
    ASSERT_TRUE(ClickLastItem(menu));
    const std::string printed = WaitForRecorded(dir, "Printer Print");
    EXPECT_NE(printed.find(Quoted(job) + " Printer Print"), std::string::npos) << printed;

    ASSERT_TRUE(ClickAt(window, 100, 200, 3));
    ASSERT_NE(WaitForMenu(), nullptr);
    ASSERT_TRUE(Xdo("key Down Down Return"));  // "Open with...", then the recorder's item
    const std::string opened = WaitForRecorded(dir, "Recorder.exe");
    EXPECT_NE(opened.find("Recorder.exe " + Quoted(job)), std::string::npos) << opened;
    EXPECT_TRUE(StillRunning());
}

// The menu bar's choices are carried out too, by the pointer and by F10; the window stays.
TEST_F(Operator, Issue23MenuBarChoices) {
    ASSERT_TRUE(Start());
    ASSERT_TRUE(ClickAt(window, 12, -8));  // "File", on the bar just above the client area
    HWND menu = WaitForMenu();
    ASSERT_NE(menu, nullptr) << "no drop-down from the bar";
    ASSERT_TRUE(ClickLastItem(menu));
    const std::string printed = WaitForRecorded(dir, "Printer Print");
    EXPECT_NE(printed.find(Quoted(job) + " Printer Print"), std::string::npos) << printed;
    EXPECT_TRUE(StillRunning());

    ASSERT_TRUE(Xdo("key F10 Return"));  // the bar's "File", opened
    ASSERT_NE(WaitForMenu(), nullptr);
    ASSERT_TRUE(Xdo("key Return"));  // its first item: "Open with..." opens the editor
    HWND editor = zelk->WaitForWindow(kMenuEditorClass, nullptr);
    ASSERT_NE(editor, nullptr);
    ASSERT_TRUE(Xdo("key Escape"));
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(editor); }));
    EXPECT_TRUE(StillRunning());
    EXPECT_EQ(zelk->Close(window), 0u);
}

std::string FieldText(HWND dialog, int id) {
    char text[32] = {};
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

bool WaitForField(HWND dialog, int id, const std::string& text) {
    return WaitUntil([&] { return FieldText(dialog, id) == text; });
}

// Typing into the freshly opened settings dialog replaces the value; Up and Down step it;
// Tab selects the other field's value; Save stores what the fields read.
TEST_F(Operator, Issue23SettingsFieldsTakeTypingAndArrows) {
    ASSERT_TRUE(Start());
    ASSERT_TRUE(ClickAt(window, 300, 268));  // "Setings"
    HWND dialog = zelk->WaitForWindow(kSettingsWindowClass, "Settings");
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(WaitForField(dialog, kEditFast, "558"));
    ASSERT_TRUE(Xdo("type 600"));
    EXPECT_TRUE(WaitForField(dialog, kEditFast, "600")) << FieldText(dialog, kEditFast);
    ASSERT_TRUE(Xdo("key Up Up Down"));
    EXPECT_TRUE(WaitForField(dialog, kEditFast, "601")) << FieldText(dialog, kEditFast);
    ASSERT_TRUE(Xdo("key shift+Tab"));  // the slow-scan field comes before it in Tab order
    ASSERT_TRUE(Xdo("type 7"));
    EXPECT_TRUE(WaitForField(dialog, kEditSlow, "7")) << FieldText(dialog, kEditSlow);
    ASSERT_TRUE(Xdo("key Down"));  // brought into range first, then stepped: 10, not 6
    EXPECT_TRUE(WaitForField(dialog, kEditSlow, "10")) << FieldText(dialog, kEditSlow);
    ASSERT_TRUE(ClickAt(dialog, 20, 154));  // "Save"
    WaitUntil([&] { return !IsWindowVisible(dialog); });
    const std::string ini = test::ReadFile(dir.Ini());
    EXPECT_NE(ini.find("Fast_scan=1704"), std::string::npos) << ini;  // 601 mm
    EXPECT_NE(ini.find("Slow_scan=28"), std::string::npos) << ini;    // 10 mm
}

}  // namespace
}  // namespace zelk
