#include "ui/message_box_win.h"

namespace zelk {
namespace {

// Centres the message box the calling thread is about to show, and remembers it.
thread_local HHOOK gCentreHook = nullptr;
thread_local HWND gOpenBox = nullptr;

LRESULT CALLBACK CentreBox(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE) {
        HWND box = reinterpret_cast<HWND>(wParam);
        gOpenBox = box;
        RECT r;
        GetWindowRect(box, &r);
        const int w = r.right - r.left, h = r.bottom - r.top;
        SetWindowPos(box, nullptr, (GetSystemMetrics(SM_CXSCREEN) - w) / 2,
                     (GetSystemMetrics(SM_CYSCREEN) - h) / 2, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        UnhookWindowsHookEx(gCentreHook);
        gCentreHook = nullptr;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

int CentredMessageBox(HWND owner, const char* text, const char* caption, UINT type) {
    gCentreHook = SetWindowsHookExA(WH_CBT, CentreBox, nullptr, GetCurrentThreadId());
    HWND outer = gOpenBox;  // a box may be shown from inside another's message loop
    const int pressed = MessageBoxA(owner, text, caption, type);
    gOpenBox = outer;
    if (gCentreHook != nullptr) {
        UnhookWindowsHookEx(gCentreHook);
        gCentreHook = nullptr;
    }
    return pressed;
}

HWND CurrentMessageBox() {
    return gOpenBox;
}

}  // namespace zelk
