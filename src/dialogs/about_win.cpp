#include "dialogs/about_win.h"

#include <shellapi.h>
#include <windowsx.h>

#include "ui/modal_win.h"
#include "ui/paint_win.h"

namespace zelk {

void OpenThroughShell(HWND owner, const std::string& target) {
    // Whatever the shell does is all that happens: no association gives no message of ours.
    ShellExecuteA(owner, nullptr, target.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

AboutBox::~AboutBox() {
    if (window_ != nullptr) DestroyWindow(window_);
    if (picture_ != nullptr) DeleteObject(picture_);
}

bool AboutBox::Create(HINSTANCE instance) {
    if (!RegisterModalClass(instance, kAboutWindowClass)) return false;
    hand_ = LoadCursorA(instance, "Hand");
    picture_ = LoadBitmapA(instance, "ZelkImage");
    window_ = CreateModalWindow(instance, kAboutWindowClass, "About Zelk", kAboutClientWidth,
                                kAboutClientHeight, 0, this);
    if (window_ == nullptr) return false;
    HDC dc = GetDC(window_);
    LayoutLabels(model_.controls, [dc](const Control& c) { return MeasureLabel(dc, c); });
    ReleaseDC(window_, dc);
    return true;
}

const Control* AboutBox::ControlAt(LPARAM lParam) const {
    return model_.controls.At(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
}

LRESULT AboutBox::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(window_, &ps);
            RECT all{0, 0, kAboutClientWidth, kAboutClientHeight};
            FillRect(dc, &all, GetSysColorBrush(COLOR_BTNFACE));
            if (picture_ != nullptr) {
                HDC source = CreateCompatibleDC(dc);
                HGDIOBJ old = SelectObject(source, picture_);
                BitBlt(dc, 0, 0, kAboutClientWidth, kAboutPictureHeight, source, 0, 0, SRCCOPY);
                SelectObject(source, old);
                DeleteDC(source);
            }
            PaintControlsOver(dc, model_.controls, nullptr);
            EndPaint(window_, &ps);
            return 0;
        }
        case WM_ERASEBKGND:
            return 1;
        case WM_ACTIVATE:
            if (LOWORD(wParam) != WA_INACTIVE && repaintOwner_) repaintOwner_();
            break;
        case WM_LBUTTONDOWN:
            pressed_ = model_.IsMailLink(ControlAt(lParam));
            if (pressed_) {
                model_.MailDown();
                InvalidateRect(window_, nullptr, FALSE);
            }
            return 0;
        case WM_LBUTTONUP:
            if (pressed_ && model_.IsMailLink(ControlAt(lParam))) {
                const std::string target = model_.Mailing();
                InvalidateRect(window_, nullptr, FALSE);
                OpenThroughShell(window_, target);
            }
            pressed_ = false;
            return 0;
        case WM_MOUSEMOVE:
            if (!model_.IsMailLink(ControlAt(lParam))) {
                model_.FormMouseMove();
                InvalidateRect(window_, nullptr, FALSE);
            }
            return 0;
        case WM_SETCURSOR:
            if (SetCursorOverLink(window_, model_.controls, hand_, lParam)) return TRUE;
            break;
        case WM_CLOSE:
            open_ = false;
            return 0;
        default:
            break;
    }
    return DefWindowProcA(window_, message, wParam, lParam);
}

void AboutBox::ShowModal(HWND owner, const std::function<void()>& repaintOwner) {
    repaintOwner_ = repaintOwner;
    open_ = true;
    // Key presses reach the box first: Esc closes it.
    RunModal(
        window_, owner, window_, [this] { return open_; },
        [this](MSG& msg) {
            const bool esc = msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE;
            if (esc) open_ = false;
            return esc;
        });
}

}  // namespace zelk
