#include "ui/modal_win.h"

namespace zelk {

LRESULT CALLBACK WindowObject::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* object =
            static_cast<WindowObject*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        object->window_ = window;
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(object));
    }
    auto* object = reinterpret_cast<WindowObject*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (object == nullptr) return DefWindowProcA(window, message, wParam, lParam);
    return object->OnMessage(message, wParam, lParam);
}

// A class of WindowObjects: its procedure is theirs.
struct WindowObjectClass : WindowObject {
    static WNDPROC Procedure() { return WindowProc; }
};

bool RegisterModalClass(HINSTANCE instance, const char* name) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = WindowObjectClass::Procedure();
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
    wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    wc.lpszClassName = name;
    return RegisterClassA(&wc) || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

HWND CreateModalWindow(HINSTANCE instance, const char* cls, const char* caption, int width,
                       int height, DWORD extraStyle, WindowObject* object) {
    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | extraStyle;
    const DWORD exStyle = (extraStyle & WS_THICKFRAME) ? 0 : WS_EX_DLGMODALFRAME;
    RECT frame{0, 0, width, height};
    AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    const int outerWidth = frame.right - frame.left, outerHeight = frame.bottom - frame.top;
    return CreateWindowExA(exStyle, cls, caption, style,
                           (GetSystemMetrics(SM_CXSCREEN) - outerWidth) / 2,
                           (GetSystemMetrics(SM_CYSCREEN) - outerHeight) / 2, outerWidth,
                           outerHeight, nullptr, nullptr, instance, object);
}

HFONT CreateDesignFont() {
    return CreateFontA(-11, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       DEFAULT_PITCH | FF_DONTCARE, "MS Sans Serif");
}

void CentreOnScreen(HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    SetWindowPos(window, nullptr, (GetSystemMetrics(SM_CXSCREEN) - (r.right - r.left)) / 2,
                 (GetSystemMetrics(SM_CYSCREEN) - (r.bottom - r.top)) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER);
}

bool SetCursorOverLink(HWND window, const ControlSet& controls, HCURSOR hand, LPARAM lParam) {
    POINT p;
    GetCursorPos(&p);
    ScreenToClient(window, &p);
    const Control* c = controls.At(p.x, p.y);
    if (LOWORD(lParam) != HTCLIENT || hand == nullptr || c == nullptr || !c->link) return false;
    SetCursor(hand);
    return true;
}

void PlaceBelow(HWND window, HWND owner) {
    RECT main, self;
    GetWindowRect(owner, &main);
    GetWindowRect(window, &self);
    const int height = self.bottom - self.top;
    const int screen = GetSystemMetrics(SM_CYSCREEN);
    const int top = main.bottom + height < screen ? main.bottom : screen - height;
    SetWindowPos(window, HWND_TOP, main.left, top, 0, 0, SWP_NOSIZE);
}

void RunModal(HWND window, HWND owner, HWND focus, const std::function<bool()>& open,
              const std::function<bool(MSG&)>& preview) {
    EnableWindow(owner, FALSE);
    ShowWindow(window, SW_SHOW);
    SetFocus(focus);
    MSG msg{};
    bool quit = false;
    while (open()) {
        if (GetMessageA(&msg, nullptr, 0, 0) <= 0) {
            quit = true;
            break;
        }
        if (preview && preview(msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    EnableWindow(owner, TRUE);
    ShowWindow(window, SW_HIDE);
    SetActiveWindow(owner);
    if (quit) PostQuitMessage(static_cast<int>(msg.wParam));
}

}  // namespace zelk
