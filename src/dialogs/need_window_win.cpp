#include "dialogs/need_window_win.h"

#include "ui/modal_win.h"

namespace zelk {

namespace {

constexpr int kOuterWidth = 258, kOuterHeight = 187;
constexpr int kItemHeight = 13;

}  // namespace

NeedWindow::~NeedWindow() {
    if (window_ != nullptr) DestroyWindow(window_);
    if (font_ != nullptr) DeleteObject(font_);
}

bool NeedWindow::Create(HINSTANCE instance) {
    if (!RegisterModalClass(instance, kNeedWindowClass)) return false;
    font_ = CreateDesignFont();
    window_ = CreateModalWindow(instance, kNeedWindowClass, "Resources needed", 0, 0, WS_THICKFRAME,
                                this);
    if (window_ != nullptr)  // the design gives its outer size
        SetWindowPos(window_, nullptr, 0, 0, kOuterWidth, kOuterHeight, SWP_NOMOVE | SWP_NOZORDER);
    if (window_ == nullptr) return false;
    // Several lines can be selected at once; lines stay in the order they were added.
    list_ = CreateWindowExA(WS_EX_CLIENTEDGE, "LISTBOX", "",
                            WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_EXTENDEDSEL |
                                LBS_NOINTEGRALHEIGHT | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS,
                            0, 0, 0, 0, window_,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(kNeedListId)), instance,
                            nullptr);
    SendMessageA(list_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    RECT client;
    GetClientRect(window_, &client);
    MoveWindow(list_, 0, 0, client.right, client.bottom, FALSE);
    return list_ != nullptr;
}

LRESULT NeedWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SIZE:  // DVienodi: the list fills the client area
            if (list_ != nullptr) MoveWindow(list_, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
            return 0;
        case WM_MEASUREITEM:
            reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->itemHeight = kItemHeight;
            return TRUE;
        case WM_DRAWITEM: {
            // Drawn by the window so every item is 13 pixels high in any face.
            const auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
            if (item->itemID == static_cast<UINT>(-1)) return TRUE;
            const bool selected = item->itemState & ODS_SELECTED;
            FillRect(item->hDC, &item->rcItem,
                     GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
            char text[512] = {};
            SendMessageA(item->hwndItem, LB_GETTEXT, item->itemID, reinterpret_cast<LPARAM>(text));
            SetBkMode(item->hDC, TRANSPARENT);
            SetTextColor(item->hDC, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
            RECT r = item->rcItem;
            DrawTextA(item->hDC, text, -1, &r, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
            return TRUE;
        }
        case WM_CLOSE:  // the close button: as Esc
            open_ = false;
            return 0;
        default:
            break;
    }
    return DefWindowProcA(window_, message, wParam, lParam);
}

void NeedWindow::ShowModal(HWND owner, const TNeed& need) {
    SendMessageA(list_, LB_RESETCONTENT, 0, 0);
    for (const auto& line : need.ComboRes)
        SendMessageA(list_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
    PlaceBelow(window_, owner);
    open_ = true;
    // Key presses reach the window before its list: Esc closes it.
    RunModal(
        window_, owner, list_, [this, &need] { return open_ && need.visible; },
        [this](MSG& msg) {
            const bool esc = msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE &&
                             (msg.hwnd == window_ || IsChild(window_, msg.hwnd));
            if (esc) open_ = false;
            return esc;
        });
    open_ = false;
}

}  // namespace zelk
