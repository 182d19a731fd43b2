#include "kestrin/progress_win.h"

namespace zelk {
namespace {

constexpr const char* kClass = "KestrinProgress";
constexpr int kWidth = 320, kHeight = 110;

}  // namespace

ProgressWindow::ProgressWindow(const std::string& title) {
    static const ATOM registered = [] {
        WNDCLASSA wc{};
        wc.lpfnWndProc = Procedure;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = kClass;
        return RegisterClassA(&wc);
    }();
    (void)registered;
    const int x = (GetSystemMetrics(SM_CXSCREEN) - kWidth) / 2;
    const int y = (GetSystemMetrics(SM_CYSCREEN) - kHeight) / 2;
    window_ = CreateWindowExA(WS_EX_DLGMODALFRAME, kClass, title.c_str(),
                              WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE, x, y, kWidth,
                              kHeight, nullptr, nullptr, nullptr, this);
    text_ = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 12, 10, 290, 18, window_,
                            nullptr, nullptr, nullptr);
    cancel_ = CreateWindowExA(0, "BUTTON", "Cancel",
                              WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 116, 40, 80,
                              24, window_, reinterpret_cast<HMENU>(IDCANCEL), nullptr, nullptr);
    SetForegroundWindow(window_);
    SetFocus(cancel_);
}

ProgressWindow::~ProgressWindow() {
    DestroyWindow(window_);
}

bool ProgressWindow::Step(int64_t done, int64_t total) {
    const int percent = total > 0 ? static_cast<int>(100 * done / total) : 100;
    SetWindowTextA(text_, ("Copied " + std::to_string(percent) + " %").c_str());
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        // Esc is seen here, before the button that has the focus takes the key.
        if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) cancelled_ = true;
        if (!IsDialogMessageA(window_, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    return !cancelled_;
}

LRESULT CALLBACK ProgressWindow::Procedure(HWND window, UINT message, WPARAM wParam,
                                           LPARAM lParam) {
    if (message == WM_NCCREATE)
        SetWindowLongPtrA(
            window, GWLP_USERDATA,
            reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams));
    auto* self = reinterpret_cast<ProgressWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (self != nullptr &&
        (message == WM_CLOSE || (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL))) {
        self->cancelled_ = true;  // the window goes when the copy has stopped
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace zelk
