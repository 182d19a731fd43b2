#include "window/main_window_win.h"

#include <shellapi.h>

#include <fstream>
#include <iostream>

#include "window/main_window.h"
#include "window/paint_win.h"
#include "window/png.h"

namespace zelk {

namespace {

constexpr UINT kInvokeMessage = WM_APP + 1;    // a hand-off from the scan thread
constexpr UINT kSnapshotMessage = WM_APP + 2;  // the scan has ended: save the snapshot
constexpr UINT_PTR kFileTimerId = 2;
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
    explicit MainFrame(StartOptions options) : options_(std::move(options)), model_(*this, gate_) {}

    bool Create(HINSTANCE instance);
    HWND Handle() const { return window_; }

    // WindowHost
    void Repaint() override {
        if (window_ == nullptr) return;
        InvalidateRect(window_, nullptr, FALSE);
        UpdateWindow(window_);
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
        const int pressed = MessageBoxA(window_, request.text.c_str(), BoxCaption(request.type),
                                        buttons | BoxIcon(request.type) | MB_TASKMODAL);
        return pressed == IDYES ? Answer::Yes : pressed == IDNO ? Answer::No : Answer::Ok;
    }
    void PostScanStopped() override { PostMessageA(window_, WM_USER, 0, 0); }
    void RestoreIfMinimised() override {
        if (IsIconic(window_)) ShowWindow(window_, SW_RESTORE);
        if (!options_.snapshotPath.empty()) PostMessageA(window_, kSnapshotMessage, 0, 0);
    }

  private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void Krauk();
    void Paint();
    void Layout();
    void OnDropFiles(HDROP drop);
    void SaveSnapshot();

    StartOptions options_;
    Win32Gate gate_;
    TZelkMnFrm model_;
    HWND window_ = nullptr;
};

bool MainFrame::Create(HINSTANCE instance) {
    WNDCLASSA wc{};
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(1));
    wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
    wc.hbrBackground = nullptr;
    wc.lpszClassName = kMainWindowClass;
    if (!RegisterClassA(&wc)) return false;

    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    RECT frame{0, 0, kClientWidth, kClientHeight};
    AdjustWindowRect(&frame, style, FALSE);
    const int width = frame.right - frame.left, height = frame.bottom - frame.top;
    const int left = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    const int top = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    window_ = CreateWindowExA(0, kMainWindowClass, "Zelk", style, left, top, width, height, nullptr,
                              nullptr, instance, this);
    return window_ != nullptr;
}

LRESULT CALLBACK MainFrame::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        auto* self = static_cast<MainFrame*>(create->lpCreateParams);
        self->window_ = window;
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<MainFrame*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (self == nullptr) return DefWindowProcA(window, message, wParam, lParam);
    return self->Handle(message, wParam, lParam);
}

LRESULT MainFrame::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
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
        case WM_USER:
            model_.analysis.OnScanStopped();
            return 0;
        case WM_TIMER:
            return 0;
        case WM_DESTROY:
            // The scan thread may be about to hand something to this window: stop it and
            // serve it to its end while the window still exists.
            model_.analysis.StopScan();
            model_.analysis.FreeEngine();
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcA(window_, message, wParam, lParam);
    }
}

void MainFrame::Krauk() {
    gate_.Attach(window_);
    DragAcceptFiles(window_, TRUE);
    Layout();
    if (!options_.args.empty()) {
        model_.analysis.SourcePath = options_.args[0];
        model_.analysis.OpenDocument();
    }
    if (!options_.snapshotPath.empty() && !model_.ScanRunning())
        PostMessageA(window_, kSnapshotMessage, 0, 0);
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
    PaintControls(memory, model_.controls, kClientWidth, kClientHeight, nullptr);
    BitBlt(dc, 0, 0, kClientWidth, kClientHeight, memory, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    EndPaint(window_, &ps);
}

void MainFrame::OnDropFiles(HDROP drop) {
    char path[256] = {};
    DragQueryFileA(drop, 0, path, 255);
    model_.analysis.SourcePath = path;
    model_.analysis.RequestOpen();
    DragFinish(drop);
}

void MainFrame::SaveSnapshot() {
    if (model_.analysis.Engine)  // let the thread leave its completion hand-off and end
        gate_.ServeUntil([this] { return model_.analysis.Engine->Finished(); });
    Layout();
    const auto rgb = RenderToRgb(model_.controls, kClientWidth, kClientHeight, nullptr);
    std::ofstream(options_.snapshotPath, std::ios::binary)
        << EncodePng(kClientWidth, kClientHeight, rgb);
    std::string report = model_.caption + "\n";
    for (char c : model_["Desk"].caption)
        if (c != '\r') report += c;
    std::cout << report << std::flush;
    DestroyWindow(window_);
}

MainFramePtr CreateMainFrame(HINSTANCE instance, const StartOptions& options) {
    MainFramePtr frame(new MainFrame(options));
    if (!frame->Create(instance)) return nullptr;
    return frame;
}

void DestroyMainFrame(MainFrame* frame) {
    delete frame;
}

HWND FrameHandle(const MainFrame& frame) {
    return frame.Handle();
}

}  // namespace zelk
