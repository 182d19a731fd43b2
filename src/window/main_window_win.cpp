#include "window/main_window_win.h"

#include "ui/message_box_win.h"

#include <commdlg.h>
#include <shellapi.h>
#include <windowsx.h>

#include <fstream>
#include <iostream>
#include <utility>

#include "dialogs/about_win.h"
#include "dialogs/menu_editor_win.h"
#include "dialogs/need_window_win.h"
#include "dialogs/settings_dialog_win.h"
#include "ui/paint_win.h"
#include "ui/png.h"
#include "window/file_menu.h"
#include "window/main_window.h"

namespace zelk {

namespace {

constexpr UINT kInvokeMessage = WM_APP + 1;    // a hand-off from the scan thread
constexpr UINT kSnapshotMessage = WM_APP + 2;  // the scan has ended: save the snapshot
constexpr UINT_PTR kPopUpTimerId = 1;          // Timer1: hides the colour-name pop-up
constexpr UINT kPopUpTimerMs = 2000;
constexpr UINT_PTR kFileTimerId = 2;  // FileTimer: moves the gauge
constexpr UINT kFileTimerMs = 500;

// Hand-offs travel as sent messages: the scan thread waits in SendMessage until the window
// procedure has run the call, and the main thread keeps taking sent messages while it waits.
class Win32Gate final : public MainThreadGate {
  public:
    void Attach(HWND window) { window_ = window; }
    void Invoke(const std::function<void()>& call) override {
        SendMessageA(window_, kInvokeMessage, 0, reinterpret_cast<LPARAM>(&call));
    }
    void ServeUntil(const std::function<bool()>& done) override {
        while (!done()) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_SENDMESSAGE);
            MSG msg;
            PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        }
    }
    void Wake() override {}

  private:
    HWND window_ = nullptr;
};

const char* BoxCaption(BoxType type) {
    switch (type) {
        case BoxType::Error:
            return "Error";
        case BoxType::Warning:
            return "Warning";
        case BoxType::Confirm:
            return "Confirm";
    }
    return "Error";
}

UINT BoxIcon(BoxType type) {
    switch (type) {
        case BoxType::Error:
            return MB_ICONERROR;
        case BoxType::Warning:
            return MB_ICONWARNING;
        case BoxType::Confirm:
            return MB_ICONQUESTION;
    }
    return MB_ICONERROR;
}

}  // namespace

class MainFrame final : public WindowHost {
  public:
    MainFrame(StartOptions options, SettingsFile& settings)
        : options_(std::move(options)),
          settings_(settings),
          model_(*this, gate_, settings),
          settingsDialog_(settings),
          menuEditor_(settings) {}

    ~MainFrame() override {
        if (picture_ != nullptr) DeleteObject(picture_);
        if (fileMenu_ != nullptr) DestroyMenu(fileMenu_);  // the bar goes with the window
    }
    bool Create(HINSTANCE instance);
    HWND Handle() const { return window_; }
    const TZelkMnFrm& Model() const { return model_; }
    HWND SettingsHandle() const { return settingsDialog_.Handle(); }
    HMENU PopUpMenu() const { return fileMenu_; }

    // WindowHost
    void Repaint() override {
        if (window_ == nullptr) return;
        InvalidateRect(window_, nullptr, FALSE);
        UpdateWindow(window_);
    }
    void Invalidate() override {
        if (window_ != nullptr) InvalidateRect(window_, nullptr, FALSE);
    }
    void CaptionChanged() override { SetWindowTextA(window_, model_.caption.c_str()); }
    void SetFileTimer(bool on) override {
        if (on)
            SetTimer(window_, kFileTimerId, kFileTimerMs, nullptr);
        else
            KillTimer(window_, kFileTimerId);
    }
    Answer ShowMessage(const MessageRequest& request) override {
        const UINT buttons = request.buttons == Buttons::YesNo ? MB_YESNO : MB_OK;
        const int pressed =
            CentredMessageBox(window_, request.text.c_str(), BoxCaption(request.type),
                              buttons | BoxIcon(request.type));
        // A close that came while the box was up is carried out now that it is gone.
        if (closeWhenBoxGone_ && CurrentMessageBox() == nullptr)
            PostMessageA(window_, WM_CLOSE, 0, 0);
        return pressed == IDYES ? Answer::Yes : pressed == IDNO ? Answer::No : Answer::Ok;
    }
    void PostScanStopped() override { PostMessageA(window_, kScanStoppedMessage, 0, 0); }
    void RestoreIfMinimised() override {
        if (!IsIconic(window_)) return;
        ShowWindow(window_, SW_RESTORE);
        SetActiveWindow(window_);
    }
    void ScanFinished() override {
        if (!options_.snapshotPath.empty()) PostMessageA(window_, kSnapshotMessage, 0, 0);
    }
    void Quit() override { PostQuitMessage(0); }
    std::optional<std::string> AskOpenFile() override;
    void SetPopUpTimer(bool on) override {
        if (on)
            SetTimer(window_, kPopUpTimerId, kPopUpTimerMs, nullptr);
        else
            KillTimer(window_, kPopUpTimerId);
    }
    void ShowResources() override { needWindow_.ShowModal(window_, model_.need); }
    void ShowAbout() override {
        aboutBox_.ShowModal(window_, [this] { Repaint(); });
    }
    void OpenHelpPage(const std::string& page) override {
        // Pages are found from the program's own folder, never the current directory.
        OpenThroughShell(window_, ExecutableDirectory() + "\\" + page);
    }
    void ShowSettings() override {
        settingsDialog_.ShowModal(
            window_,
            [this] {
                model_.Changer();
                Invalidate();
            },
            [this] { Repaint(); });
    }

  private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void Krauk();
    void Paint();
    void Layout();
    const Control* ControlAt(LPARAM lParam) const {
        return model_.controls.At(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
    }
    void MouseDown(LPARAM lParam);
    void MouseUp(LPARAM lParam);
    bool SetCursorOverLink();
    void OnDropFiles(HDROP drop);
    void SaveSnapshot();
    void PaintBar(HDC dc, const Control& bar);
    void CreateFileMenu();
    void UpdateMenu();
    void PopMeniu1();
    void OnFileCommand(uint32_t id);

    StartOptions options_;
    SettingsFile& settings_;
    Win32Gate gate_;
    TZelkMnFrm model_;
    HWND window_ = nullptr;
    HCURSOR hand_ = nullptr;
    std::string pressed_;  // the link a button went down on
    bool closeWhenBoxGone_ = false;
    SettingsDialog settingsDialog_;  // created hidden with the window, shown by "Setings"
    NeedWindow needWindow_;          // likewise, shown by the resources notice
    AboutBox aboutBox_;              // and by "About Zelk"
    MenuEditor menuEditor_;          // and by "Open with..." and "Send to..."
    HBITMAP picture_ = nullptr;      // ColourBarBitmap: the colour-model picture of a TIFF
    HMENU fileMenu_ = nullptr;       // FileMenu: the pop-up over the plate
    HMENU barMenu_ = nullptr;        // the same items under "File" on the window's menu bar
    FileMenu fileMenuModel_;         // its items and the two lists
    std::string pictureName_;        // the resource it was loaded from
};

bool MainFrame::Create(HINSTANCE instance) {
    WNDCLASSA wc{};
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(1));
    wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
    wc.lpszClassName = kMainWindowClass;
    if (!RegisterClassA(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;
    hand_ = LoadCursorA(instance, "Hand");

    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    RECT frame{0, 0, kClientWidth, kClientHeight};
    AdjustWindowRect(&frame, style, TRUE);  // with the one-row menu bar
    const int width = frame.right - frame.left, height = frame.bottom - frame.top;
    const int left = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    const int top = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    window_ = CreateWindowExA(WS_EX_ACCEPTFILES, kMainWindowClass, "Zelk", style, left, top, width,
                              height, nullptr, nullptr, instance, this);
    // The other windows are made at start too, hidden, in the program's order.
    return window_ != nullptr && aboutBox_.Create(instance) && settingsDialog_.Create(instance) &&
           needWindow_.Create(instance) && menuEditor_.Create(instance);
}

LRESULT CALLBACK MainFrame::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        auto* self = static_cast<MainFrame*>(create->lpCreateParams);
        self->window_ = window;
        self->gate_.Attach(window);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<MainFrame*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (self == nullptr) return DefWindowProcA(window, message, wParam, lParam);
    return self->OnMessage(message, wParam, lParam);
}

LRESULT MainFrame::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            Krauk();
            return 0;
        case WM_PAINT:
            Paint();
            return 0;
        case WM_ERASEBKGND:
            return 1;  // Paint covers every pixel
        case kInvokeMessage:
            (*reinterpret_cast<const std::function<void()>*>(lParam))();
            return 0;
        case kSnapshotMessage:
            SaveSnapshot();
            return 0;
        case WM_DROPFILES:
            OnDropFiles(reinterpret_cast<HDROP>(wParam));
            return 0;
        case WM_ACTIVATEAPP:
            Repaint();
            return 0;
        case WM_SHOWWINDOW:  // OnMax: repaint whenever the window is shown
            if (wParam) InvalidateRect(window_, nullptr, FALSE);
            break;
        case kScanStoppedMessage:
            model_.OnScanStopped();
            return 0;
        case kHandOverMessage:
            model_.OnSecondInstance(wParam);
            return 0;
        case WM_TIMER:
            if (wParam == kFileTimerId) model_.FileGauge();
            if (wParam == kPopUpTimerId) model_.ClosePopUp();
            return 0;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
            MouseDown(lParam);
            return 0;
        case WM_RBUTTONUP:
            if (const Control* c = ControlAt(lParam); c != nullptr && c->name == kPlateTarget) {
                pressed_.clear();
                PopMeniu1();
                return 0;
            }
            MouseUp(lParam);
            return 0;
        case WM_LBUTTONUP:
        case WM_MBUTTONUP:
            MouseUp(lParam);
            return 0;
        case WM_COMMAND:
            OnFileCommand(static_cast<uint32_t>(wParam));
            return 0;
        case WM_LBUTTONDBLCLK:
            if (const Control* c = ControlAt(lParam); c != nullptr && c->name == kPlateTarget)
                model_.Atidaryk();
            return 0;
        case WM_MOUSEMOVE:
            if (const Control* c = ControlAt(lParam); c == nullptr)
                model_.Gesintuvas();
            else if (c->name == kColourBar)
                model_.Poping(GET_X_LPARAM(lParam) - c->left, GET_Y_LPARAM(lParam) - c->top);
            return 0;
        case WM_SETCURSOR:
            if (LOWORD(lParam) == HTCLIENT && SetCursorOverLink()) return TRUE;
            break;
        case WM_CLOSE:
            // Under a box the scan may be waiting for, destroying now would wait for the scan
            // while the scan waits for the box: answer the box No, stop the scan, close after.
            if (HWND box = CurrentMessageBox(); box != nullptr) {
                closeWhenBoxGone_ = true;
                model_.analysis.StopScan();
                EndDialog(box, GetDlgItem(box, IDNO) != nullptr ? IDNO : IDOK);
                return 0;
            }
            break;
        case WM_DESTROY:
            // The scan thread may be about to hand something to this window: stop it and
            // serve it to its end while the window still exists.
            model_.analysis.StopScan();
            model_.analysis.FreeEngine();
            if (options_.endLoopOnClose) PostQuitMessage(0);
            window_ = nullptr;
            return 0;
        default:
            break;
    }
    return DefWindowProcA(window_, message, wParam, lParam);
}

void MainFrame::Krauk() {
    DragAcceptFiles(window_, TRUE);
    CreateFileMenu();
    Layout();
    model_.Krauk(options_.args);
    if (!options_.snapshotPath.empty() && !model_.ScanRunning())
        PostMessageA(window_, kSnapshotMessage, 0, 0);
}

// FileMenu: the fixed items now, the two lists from the settings file. The window's menu
// bar carries the same items in a drop-down of its own under one "File" entry. A pop-up menu
// given to SetMenu as the bar itself is not a bar: Wine then refuses to track it as a pop-up
// (ERROR_POPUP_ALREADY_ACTIVE) and, when an item is chosen from the bar, closes the menu's
// "pop-up window", which is the main window. One entry also keeps the bar one row high
// however long the lists grow, so the window keeps its size and stays on the screen.
void MainFrame::CreateFileMenu() {
    fileMenu_ = CreatePopupMenu();
    barMenu_ = CreatePopupMenu();
    for (HMENU menu : {fileMenu_, barMenu_})
        for (const MenuItem& item : fileMenuModel_.items)
            AppendMenuA(menu, item.id == 0 ? MF_SEPARATOR : MF_STRING,
                        static_cast<UINT_PTR>(item.id), item.id == 0 ? nullptr : item.text.c_str());
    HMENU bar = CreateMenu();
    AppendMenuA(bar, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(barMenu_), "&File");
    SetMenu(window_, bar);
    UpdateMenu();
}

void MainFrame::UpdateMenu() {
    for (const MenuOp& op : fileMenuModel_.UpdateMenu(settings_)) {
        for (HMENU menu : {fileMenu_, barMenu_}) {
            if (op.insert)
                InsertMenuA(menu, static_cast<UINT>(op.position), MF_BYPOSITION | MF_STRING,
                            static_cast<UINT_PTR>(op.item.id), op.item.text.c_str());
            else
                DeleteMenu(menu, static_cast<UINT>(op.position), MF_BYPOSITION);
        }
    }
    DrawMenuBar(window_);
    RECT client, frame;
    GetClientRect(window_, &client);
    GetWindowRect(window_, &frame);
    const int growX = kClientWidth - client.right, growY = kClientHeight - client.bottom;
    if (growX != 0 || growY != 0)
        SetWindowPos(window_, nullptr, 0, 0, frame.right - frame.left + growX,
                     frame.bottom - frame.top + growY, SWP_NOMOVE | SWP_NOZORDER);
}

// PopMeniu1: the right button released over the plate shows the file menu at the pointer.
void MainFrame::PopMeniu1() {
    POINT p;
    GetCursorPos(&p);
    TrackPopupMenuEx(fileMenu_, TPM_VERTICAL | TPM_LEFTBUTTON, p.x, p.y, window_, nullptr);
}

void MainFrame::OnFileCommand(uint32_t id) {
    const bool fileShown = !model_[kReport].caption.empty();
    if (id >= kOpenWithBase && !fileShown) return;  // no file yet: not even a repaint
    const auto command = CommandFor(fileMenuModel_, id, model_.analysis.SourcePath,
                                    ExecutableDirectory() + "\\", fileShown);
    if (command && !command->commandLine.empty())
        WinExec(command->commandLine.c_str(), SW_SHOWNORMAL);  // not waited for, not checked
    if (command && command->editMode != 0)
        menuEditor_.ShowModal(
            window_, command->editMode, fileMenuModel_, [this] { UpdateMenu(); },
            [this] { Repaint(); });
    Repaint();
}

void MainFrame::Layout() {
    HDC dc = GetDC(window_);
    LayoutLabels(model_.controls, [dc](const Control& c) { return MeasureLabel(dc, c); });
    ReleaseDC(window_, dc);
}

void MainFrame::Paint() {
    Layout();
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window_, &ps);
    HDC memory = CreateCompatibleDC(dc);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, kClientWidth, kClientHeight);
    HGDIOBJ old = SelectObject(memory, bitmap);
    PaintControls(memory, model_.controls, kClientWidth, kClientHeight,
                  [this](HDC target, const Control& bar) { PaintBar(target, bar); });
    BitBlt(dc, 0, 0, kClientWidth, kClientHeight, memory, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    EndPaint(window_, &ps);
}

// PaintBar: the colour-model picture of a TIFF stretched over 40 x 213, then the chips.
void MainFrame::PaintBar(HDC dc, const Control& bar) {
    if (pictureName_ != model_.colourBarPicture) {
        if (picture_ != nullptr) DeleteObject(picture_);
        pictureName_ = model_.colourBarPicture;
        picture_ = pictureName_.empty() ? nullptr
                                        : LoadBitmapA(reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(
                                                          window_, GWLP_HINSTANCE)),
                                                      pictureName_.c_str());
    }
    if (model_.analysis.DocKind == "TIF" && picture_ != nullptr) {
        BITMAP info{};
        GetObjectA(picture_, sizeof info, &info);
        HDC source = CreateCompatibleDC(dc);
        HGDIOBJ old = SelectObject(source, picture_);
        SetStretchBltMode(dc, COLORONCOLOR);
        StretchBlt(dc, bar.left, bar.top, kBarPictureWidth, kBarPictureHeight, source, 0, 0,
                   info.bmWidth, info.bmHeight, SRCCOPY);
        SelectObject(source, old);
        DeleteDC(source);
    }
    for (const Chip& chip : BarChips(model_.colourBar)) {
        const RECT r{bar.left + chip.left, bar.top + chip.top, bar.left + chip.right,
                     bar.top + chip.bottom};
        HBRUSH brush = CreateSolidBrush(RGB(chip.colour.r, chip.colour.g, chip.colour.b));
        FillRect(dc, &r, brush);
        DeleteObject(brush);
    }
}

void MainFrame::MouseDown(LPARAM lParam) {
    const Control* c = ControlAt(lParam);
    pressed_ = c != nullptr && TZelkMnFrm::IsLink(c->name) ? c->name : "";
    if (!pressed_.empty()) model_.LinkDown(pressed_);
}

// A click is a press and a release over the same link.
void MainFrame::MouseUp(LPARAM lParam) {
    const Control* c = ControlAt(lParam);
    const std::string pressed = std::exchange(pressed_, {});
    if (c != nullptr && !pressed.empty() && c->name == pressed) model_.LinkClick(pressed);
    if (c != nullptr && c->name == kResourceNotice) model_.ResourceLabelClick();
}

bool MainFrame::SetCursorOverLink() {
    POINT p;
    GetCursorPos(&p);
    ScreenToClient(window_, &p);
    const Control* c = model_.controls.At(p.x, p.y);
    if (c == nullptr || !(c->link || c->name == kResourceNotice) || hand_ == nullptr) return false;
    SetCursor(hand_);
    return true;
}

void MainFrame::OnDropFiles(HDROP drop) {
    char path[256] = {};
    DragQueryFileA(drop, 0, path, 255);
    DragFinish(drop);
    model_.OnDroppedFile(path);
}

std::optional<std::string> MainFrame::AskOpenFile() {
    static const char kFilter[] =
        "PrePress files\0*.PRN; *.PS; *.EPS; *.PDF; *.TIF; *.TIFF\0"
        "PostScript files\0*.PRN; *.PS; *.EPS\0"
        "Portable document files\0*.PDF\0"
        "Tagged image files\0*.TIF; *.TIFF\0"
        "All files\0*.*\0";
    char path[MAX_PATH] = {};
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = window_;
    ofn.lpstrFilter = kFilter;
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = path;
    ofn.nMaxFile = sizeof path;
    ofn.Flags = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST | OFN_EXPLORER;
    const bool chosen = GetOpenFileNameA(&ofn) != FALSE;
    Repaint();
    if (!chosen) return std::nullopt;
    return std::string(path);
}

void MainFrame::SaveSnapshot() {
    if (model_.analysis.Engine)  // let the thread leave its completion hand-off and end
        gate_.ServeUntil([this] { return model_.analysis.Engine->Finished(); });
    Layout();
    const auto rgb = RenderToRgb(model_.controls, kClientWidth, kClientHeight,
                                 [this](HDC target, const Control& bar) { PaintBar(target, bar); });
    std::ofstream(options_.snapshotPath, std::ios::binary)
        << EncodePng(kClientWidth, kClientHeight, rgb);
    std::string report = model_.caption + "\n";
    for (char c : model_[kReport].caption)
        if (c != '\r') report += c;
    std::cout << report << std::flush;
    DestroyWindow(window_);
}

MainFramePtr CreateMainFrame(HINSTANCE instance, const StartOptions& options,
                             SettingsFile& settings) {
    MainFramePtr frame(new MainFrame(options, settings));
    if (!frame->Create(instance)) return nullptr;
    return frame;
}

void DestroyMainFrame(MainFrame* frame) {
    if (frame != nullptr && frame->Handle() != nullptr) DestroyWindow(frame->Handle());
    delete frame;
}

HWND FrameHandle(const MainFrame& frame) {
    return frame.Handle();
}

const TZelkMnFrm& FrameModel(const MainFrame& frame) {
    return frame.Model();
}

HWND FrameSettingsDialog(const MainFrame& frame) {
    return frame.SettingsHandle();
}

HMENU FramePopUpMenu(const MainFrame& frame) {
    return frame.PopUpMenu();
}

}  // namespace zelk
