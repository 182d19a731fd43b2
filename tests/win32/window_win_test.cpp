// The real window in this process: messages routed to the model, as Windows sends them.
#include <windows.h>

#include <shellapi.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "dialogs/menu_editor_win.h"
#include "dialogs/need_window_win.h"
#include "dialogs/settings_dialog_win.h"
#include "test_files.h"
#include "ui/paint_win.h"
#include "window/main_window.h"
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

// The main window in this process, on a settings file of its own that starts as `ini`.
struct WindowOn {
    explicit WindowOn(const std::string& ini = {})
        : path(ini.empty() ? dir.PathOf("PreZelk.INI") : dir.Write("PreZelk.INI", ini)),
          settings(path, MakePortableProfileStore(path)) {
        StartOptions options;
        options.endLoopOnClose = false;
        frame = CreateMainFrame(GetModuleHandleA(nullptr), options, settings);
    }
    test::TempDir dir;
    std::string path;
    SettingsFile settings;
    MainFramePtr frame;
};

struct InProcessWindow : ::testing::Test, WindowOn {};

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

LPARAM At(int x, int y) {
    return MAKELPARAM(x, y);
}

// What a user does in the settings dialog is queued before the "Setings" link is clicked; the
// dialog's modal loop then takes it in order, after the dialog has read the settings file.
void ClickSettingsLink(HWND main) {
    SendMessageA(main, WM_LBUTTONDOWN, MK_LBUTTON, At(300, 268));
    SendMessageA(main, WM_LBUTTONUP, 0, At(300, 268));
}

TEST_F(InProcessWindow, SettingsDialogSavesAndThePlateFollows) {
    ASSERT_TRUE(frame);
    dir.Write("PreZelk.INI", "[Init]\r\nUnits=mm\r\n");
    HWND main = FrameHandle(*frame), dialog = FrameSettingsDialog(*frame);
    ASSERT_NE(dialog, nullptr);
    PostMessageA(GetDlgItem(dialog, kInches), BM_CLICK, 0, 0);
    HWND fast = GetDlgItem(dialog, kEditFast);
    PostMessageA(fast, EM_SETSEL, 0, -1);
    for (char c : std::string("2000")) PostMessageA(fast, WM_CHAR, c, 0);  // 1440 points
    PostMessageA(dialog, WM_LBUTTONDOWN, MK_LBUTTON, At(20, 155));         // "Save"
    PostMessageA(dialog, WM_LBUTTONUP, 0, At(20, 155));
    ClickSettingsLink(main);
    EXPECT_FALSE(IsWindowVisible(dialog));
    EXPECT_NE(test::ReadFile(dir.PathOf("PreZelk.INI")).find("Fast_scan=1440"), std::string::npos);
    const TZelkMnFrm& model = FrameModel(*frame);
    EXPECT_EQ(model[kPlateBox].width, 144);
    EXPECT_EQ(model[kFastLabel].caption, "Fast scan\n\r20.00 in");

    // Below the main window, or flush with the screen's bottom when it does not fit.
    RECT m, d;
    GetWindowRect(main, &m);
    GetWindowRect(dialog, &d);
    EXPECT_EQ(d.left, m.left);
    const int height = d.bottom - d.top, screen = GetSystemMetrics(SM_CYSCREEN);
    EXPECT_EQ(d.top, m.bottom + height < screen ? m.bottom : screen - height);
    RECT client;
    GetClientRect(dialog, &client);
    EXPECT_EQ(client.right, 305);
    EXPECT_EQ(client.bottom, 176);
}

TEST_F(InProcessWindow, SettingsDialogCloseAndEscWriteNothing) {
    ASSERT_TRUE(frame);
    dir.Write("PreZelk.INI", "[Init]\r\nUnits=pt\r\n");
    HWND main = FrameHandle(*frame), dialog = FrameSettingsDialog(*frame);
    PostMessageA(GetDlgItem(dialog, kInches), BM_CLICK, 0, 0);
    PostMessageA(dialog, WM_LBUTTONDOWN, MK_LBUTTON, At(252, 155));  // "Close"
    PostMessageA(dialog, WM_LBUTTONUP, 0, At(252, 155));
    ClickSettingsLink(main);
    PostMessageA(GetDlgItem(dialog, kPoints), BM_CLICK, 0, 0);
    PostMessageA(GetDlgItem(dialog, kEditFast), WM_KEYDOWN, VK_ESCAPE, 0);
    ClickSettingsLink(main);
    EXPECT_FALSE(IsWindowVisible(dialog));
    EXPECT_EQ(test::ReadFile(dir.PathOf("PreZelk.INI")), "[Init]\r\nUnits=pt\r\n");
}

// Opens `path` as a dropped file and serves the window until its scan has ended.
void OpenAndWait(HWND w, const TZelkMnFrm& model, const std::string& path) {
    SendMessageA(w, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({test::NativePath(path)})), 0);
    MSG msg;
    for (int i = 0; i < 2000 && model.ScanRunning(); ++i) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    }
}

TEST_F(InProcessWindow, ThePointerOverASpotChipShowsItsNameUntilTheTimer) {
    ASSERT_TRUE(frame);
    HWND w = FrameHandle(*frame);
    const TZelkMnFrm& model = FrameModel(*frame);
    OpenAndWait(w, model,
                dir.Write("s.ps", "%!PS-Adobe-3.0\n%%CMYKCustomColor: 0 1 0 0 (Rubine)\n"));
    SendMessageA(w, WM_MOUSEMOVE, 0, At(230 + 30, 40 + 50));
    EXPECT_TRUE(model[kPopUp].visible);
    EXPECT_EQ(model[kPopUp].caption, "(Rubine)");
    EXPECT_EQ(model[kPopUp].left, 270);
    SendMessageA(w, WM_TIMER, 1, 0);  // Timer1
    EXPECT_FALSE(model[kPopUp].visible);
}

TEST_F(InProcessWindow, TheResourcesNoticeOpensTheListInOrder) {
    ASSERT_TRUE(frame);
    HWND w = FrameHandle(*frame);
    const TZelkMnFrm& model = FrameModel(*frame);
    OpenAndWait(w, model,
                dir.Write("r.ps",
                          "%!PS-Adobe-3.0\n%%DocumentNeededResources: font Times-Roman\n"
                          "%%+ font Helvetica\n%%+ procset Adobe_Grid\n"));
    ASSERT_TRUE(model[kResourceNotice].visible);
    HWND need = FindWindowA(kNeedWindowClass, "Resources needed");
    ASSERT_NE(need, nullptr);
    // Esc is queued first: the window's modal loop takes it once the list is shown.
    PostMessageA(GetDlgItem(need, kNeedListId), WM_KEYDOWN, VK_ESCAPE, 0);
    const Control& notice = model[kResourceNotice];
    SendMessageA(w, WM_LBUTTONDOWN, MK_LBUTTON, At(notice.left + 5, notice.top + 5));
    SendMessageA(w, WM_LBUTTONUP, 0, At(notice.left + 5, notice.top + 5));
    EXPECT_FALSE(IsWindowVisible(need));
    HWND list = GetDlgItem(need, kNeedListId);
    ASSERT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), 3);
    char text[64] = {};
    SendMessageA(list, LB_GETTEXT, 2, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, " procset Adobe_Grid");
    EXPECT_TRUE(GetWindowLongA(list, GWL_STYLE) & LBS_EXTENDEDSEL);
    RECT m, n;
    GetWindowRect(w, &m);
    GetWindowRect(need, &n);
    EXPECT_EQ(n.left, m.left);
    const int height = n.bottom - n.top, screen = GetSystemMetrics(SM_CYSCREEN);
    EXPECT_EQ(n.top, m.bottom + height < screen ? m.bottom : screen - height);
}

// The file menu: built from the settings file at creation, also as the window's menu with
// the client area kept, and an Open-with item runs its program on the quoted file.
std::vector<std::string> MenuTexts(HMENU menu) {
    std::vector<std::string> texts;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        char text[128] = {};
        GetMenuStringA(menu, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
        texts.push_back(text);
    }
    return texts;
}

// Types `text` into the menu editor's text area and clicks Save, queued before the editor
// opens: its modal loop takes them after it has filled the text area.
void QueueEditorSave(const std::string& text) {
    HWND editor = FindWindowA(kMenuEditorClass, nullptr);
    HWND memo = GetDlgItem(editor, kMemoId);
    PostMessageA(memo, EM_SETSEL, 0, -1);
    for (char c : text) PostMessageA(memo, WM_CHAR, static_cast<unsigned char>(c), 0);
    PostMessageA(editor, WM_LBUTTONDOWN, MK_LBUTTON, At(20, 277));  // "Save"
    PostMessageA(editor, WM_LBUTTONUP, 0, At(20, 277));
}

// The editor's Save, driven through the real dialog, rebuilds the menu; the Send-to folder
// check moves the current directory, and files still open by their full paths.
TEST_F(InProcessWindow, MenuEditorSavesAndTheMenuFollows) {
    ASSERT_TRUE(frame);
    HWND w = FrameHandle(*frame);
    const std::string recorder = test::NativePath(RECORD_ARGS_EXE);
    QueueEditorSave("Rec=" + recorder + "\rNo name\r");
    SendMessageA(w, WM_COMMAND, 20, 0);  // "Open with..."
    std::filesystem::create_directory(dir.Dir() / "out");
    QueueEditorSave("Out=" + test::NativePath(dir.PathOf("out")) +
                    "\rBack=" + test::NativePath(dir.PathOf("")) + "\r");
    SendMessageA(w, WM_COMMAND, 30, 0);  // "Send to..."
    const std::vector<std::string> texts{"Open with...", "Rec",  "", "Send to...",
                                         "Out",          "Back", "", "Print..."};
    EXPECT_EQ(MenuTexts(FramePopUpMenu(*frame)), texts);
    EXPECT_EQ(MenuTexts(GetSubMenu(GetMenu(w), 0)), texts);
    EXPECT_EQ(GetMenuItemID(FramePopUpMenu(*frame), 5), 3002u);
    const std::string ini = test::ReadFile(dir.PathOf("PreZelk.INI"));
    EXPECT_NE(ini.find("1=Rec=" + recorder), std::string::npos) << ini;
    EXPECT_NE(ini.find("1=Out=" + test::NativePath(dir.PathOf("out")) + "\\"), std::string::npos)
        << ini;
    EXPECT_FALSE(IsWindowVisible(FindWindowA(kMenuEditorClass, nullptr)));
    OpenAndWait(w, FrameModel(*frame), dir.Write("after.ps", "%!PS-Adobe-3.0\n"));
    EXPECT_EQ(Caption(w), "Zelk in after.ps");
}

// However long the lists, the window keeps its client size and stays on the screen: the bar
// is one row, and the pop-up carries every item.
TEST(FileMenuWindow, Issue23FullListsKeepTheWindowOnTheScreen) {
    std::string ini;
    for (const char* section : {"OpenWith", "SendTo"}) {
        ini += std::string("[") + section + "]\r\nCount=999\r\n";
        for (int i = 1; i <= 999; ++i)
            ini += std::to_string(i) + "=Item " + std::to_string(i) + "=C:\\x\\\r\n";
    }
    const WindowOn on(ini);
    const MainFramePtr& frame = on.frame;
    ASSERT_TRUE(frame);
    HWND w = FrameHandle(*frame);
    EXPECT_EQ(GetMenuItemCount(FramePopUpMenu(*frame)), 2 * 999 + 5);
    EXPECT_EQ(GetMenuItemCount(GetMenu(w)), 1);
    RECT client, frameRect;
    GetClientRect(w, &client);
    GetWindowRect(w, &frameRect);
    EXPECT_EQ(client.right, 455);
    EXPECT_EQ(client.bottom, 334);
    EXPECT_GE(frameRect.top, 0);
    EXPECT_LE(frameRect.bottom, GetSystemMetrics(SM_CYSCREEN));
}

BOOL CALLBACK CheckChildCaption(HWND child, LPARAM) {
    char text[128] = {}, cls[32] = {};
    GetWindowTextA(child, text, sizeof text);
    GetClassNameA(child, cls, sizeof cls);
    if (text[0] == '\0' || std::string(cls) == "Edit") return TRUE;
    HDC dc = GetDC(child);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(child, WM_GETFONT, 0, 0)));
    SIZE size{};
    GetTextExtentPoint32A(dc, text, static_cast<int>(strlen(text)), &size);
    SelectObject(dc, old);
    ReleaseDC(child, dc);
    const LONG type = GetWindowLongA(child, GWL_STYLE) & BS_TYPEMASK;
    int room = 0;  // what the control keeps beside its caption
    if (std::string(cls) == "Button")
        room = type == BS_GROUPBOX ? 16 : GetSystemMetrics(SM_CXMENUCHECK) + 6;
    RECT r;
    GetClientRect(child, &r);
    EXPECT_LE(size.cx + room, r.right) << "\"" << text << "\" is cut";
    EXPECT_LE(size.cy, r.bottom) << "\"" << text << "\" is cut";
    return TRUE;
}

// Every caption fits in the face the window is shown in (Wine's substitute of the design
// face here): each painted label within its bounds and the client area, in every unit with
// a job's long figures shown, and the settings dialog's own controls wide enough for theirs.
TEST(Captions, Issue23EveryCaptionFitsInTheFaceShown) {
    for (const char* units : {"mm", "pt", "in"}) {
        const WindowOn on(std::string("[Init]\r\nUnits=") + units +
                          "\r\nFast_scan=9999\r\nSlow_scan=9999\r\n");
        const MainFramePtr& frame = on.frame;
        ASSERT_TRUE(frame);
        HWND w = FrameHandle(*frame);
        const TZelkMnFrm& model = FrameModel(*frame);
        OpenAndWait(w, model,
                    on.dir.Write("wide.ps",
                                 "%!PS-Adobe-3.0\n%%BoundingBox: 0 0 8888 8888\n"
                                 "%%CMYKCustomColor: 0 1 0 0 (Rubine)\n%%Pages: 8888\n"
                                 "%%DocumentNeededResources: font Times-Roman\n"));
        HDC dc = GetDC(w);
        ControlSet shown = model.controls;  // laid out as a paint lays it out
        LayoutLabels(shown, [dc](const Control& c) { return MeasureLabel(dc, c); });
        for (const Control& c : shown.All()) {
            if (c.kind != ControlKind::Label || !c.visible || c.caption.empty()) continue;
            const TextSize size = MeasureLabel(dc, c);
            if (!c.wordWrap) {
                EXPECT_LE(size.width, c.width) << units << " " << c.name;
            }
            EXPECT_GE(c.left, 0) << units << " " << c.name;
            EXPECT_GE(c.top, 0) << units << " " << c.name;
            EXPECT_LE(c.left + c.width, kClientWidth) << units << " " << c.name;
            EXPECT_LE(c.top + c.height, kClientHeight) << units << " " << c.name;
        }
        ReleaseDC(w, dc);
    }
    const WindowOn on;
    ASSERT_TRUE(on.frame);
    EnumChildWindows(FrameSettingsDialog(*on.frame), CheckChildCaption, 0);
}

}  // namespace
}  // namespace zelk
