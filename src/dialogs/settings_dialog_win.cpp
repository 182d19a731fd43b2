#include "dialogs/settings_dialog_win.h"

#include <windowsx.h>

#include "ui/message_box_win.h"
#include "ui/modal_win.h"
#include "ui/paint_win.h"

namespace zelk {

namespace {

struct ChildSpec {
    int id;
    const char* cls;
    const char* text;
    DWORD style;
    int x, y, w, h;
};

// Laid out for 96 dpi in the design font, as a plain dialog of its era: the two groups side
// by side, the switch below them, the three links along the bottom.
constexpr ChildSpec kChildren[] = {
    {kUnitsGroup, "BUTTON", "Units", BS_GROUPBOX, 8, 4, 96, 98},
    {kMillimetres, "BUTTON", "milimeters", BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 18, 24, 80,
     18},
    {kPoints, "BUTTON", "points", BS_AUTORADIOBUTTON, 18, 48, 80, 18},
    {kInches, "BUTTON", "inches", BS_AUTORADIOBUTTON, 18, 72, 80, 18},
    {kOutputGroup, "BUTTON", "Output format", BS_GROUPBOX | WS_GROUP, 112, 4, 185, 98},
    {kFastCaption, "STATIC", "Fast scan", SS_LEFT, 122, 32, 52, 16},
    {kSlowCaption, "STATIC", "Slow scan", SS_LEFT, 122, 68, 52, 16},
    {kFastUnit, "STATIC", "pt", SS_LEFT, 238, 32, 56, 16},
    {kSlowUnit, "STATIC", "pt", SS_LEFT, 238, 68, 56, 16},
    {kEditSlow, "EDIT", "10", ES_LEFT | WS_BORDER | WS_TABSTOP | WS_GROUP, 176, 64, 42, 22},
    {kSpinSlow, "SCROLLBAR", "", SBS_VERT, 218, 64, 16, 22},
    {kEditFast, "EDIT", "10", ES_LEFT | WS_BORDER | WS_TABSTOP | WS_GROUP, 176, 28, 42, 22},
    {kSpinFast, "SCROLLBAR", "", SBS_VERT, 218, 28, 16, 22},
    {kOnlyOneGroup, "BUTTON", "", BS_GROUPBOX | WS_GROUP, 8, 104, 289, 36},
    {kOnlyOneBox, "BUTTON", "Allow only one copy of Zelk on the desktop at a time",
     BS_AUTOCHECKBOX | WS_TABSTOP, 16, 117, 278, 18},
};

std::string TextOf(HWND control) {
    char text[32] = {};
    GetWindowTextA(control, text, sizeof text);
    return text;
}

}  // namespace

SettingsDialog::~SettingsDialog() {
    if (window_ != nullptr) DestroyWindow(window_);
    if (font_ != nullptr) DeleteObject(font_);
}

bool SettingsDialog::Create(HINSTANCE instance) {
    if (!RegisterModalClass(instance, kSettingsWindowClass)) return false;
    hand_ = LoadCursorA(instance, "Hand");
    font_ = CreateDesignFont();
    return CreateModalWindow(instance, kSettingsWindowClass, "Settings", kSettingsClientWidth,
                             kSettingsClientHeight, 0, this) != nullptr;
}

void SettingsDialog::CreateControls() {
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(window_, GWLP_HINSTANCE));
    for (const ChildSpec& c : kChildren) {
        HWND child = CreateWindowExA(
            0, c.cls, c.text, WS_CHILD | WS_VISIBLE | c.style, c.x, c.y, c.w, c.h, window_,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)), instance, nullptr);
        SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    }
    for (int edit : {kEditFast, kEditSlow}) SendDlgItemMessageA(window_, edit, EM_LIMITTEXT, 4, 0);
    HDC dc = GetDC(window_);
    LayoutLabels(model_.links, [dc](const Control& c) { return MeasureLabel(dc, c); });
    ReleaseDC(window_, dc);
}

void SettingsDialog::ToControls() {
    CheckRadioButton(window_, kMillimetres, kInches,
                     model_.selected == Unit::Millimetres ? kMillimetres
                     : model_.selected == Unit::Points    ? kPoints
                     : model_.selected == Unit::Inches    ? kInches
                                                          : 0);
    SetDlgItemTextA(window_, kEditFast, model_.EditFast.c_str());
    SetDlgItemTextA(window_, kEditSlow, model_.EditSlow.c_str());
    SetDlgItemTextA(window_, kFastUnit, model_.pt1.c_str());
    SetDlgItemTextA(window_, kSlowUnit, model_.pt2.c_str());
    CheckDlgButton(window_, kOnlyOneBox, model_.OnlyOneBox ? BST_CHECKED : BST_UNCHECKED);
    InvalidateLinks();
}

void SettingsDialog::InvalidateLinks() {
    for (const Control& c : model_.links.All()) {
        RECT r{c.left, c.top, c.left + c.width, c.top + c.height};
        InvalidateRect(window_, &r, TRUE);
    }
}

void SettingsDialog::FromControls() {
    model_.EditFast = TextOf(GetDlgItem(window_, kEditFast));
    model_.EditSlow = TextOf(GetDlgItem(window_, kEditSlow));
    model_.OnlyOneBox = IsDlgButtonChecked(window_, kOnlyOneBox) == BST_CHECKED;
}

void SettingsDialog::Spin(int edit, int step) {
    FromControls();
    std::string& field = edit == kEditFast ? model_.EditFast : model_.EditSlow;
    field = std::to_string(ClampLimit(FieldValue(field) + step));
    ToControls();
}

const Control* SettingsDialog::LinkAt(LPARAM lParam) const {
    return model_.links.At(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
}

void SettingsDialog::LinkClick(const std::string& link) {
    FromControls();
    const TSettings::Result before = model_.result;
    if (const auto error = model_.LinkClick(link)) {
        CentredMessageBox(window_, error->c_str(), "Error", MB_OK | MB_ICONERROR);
        return;  // the dialog stays open and the main window is not refreshed
    }
    ToControls();
    if (before == TSettings::Result::Open && model_.result == TSettings::Result::Ok && saved_)
        saved_();
}

LRESULT SettingsDialog::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            CreateControls();
            return 0;
        case WM_PAINT: {
            // The class brush erases the background; the links lie clear of every control.
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(window_, &ps);
            PaintControlsOver(dc, model_.links, nullptr);
            EndPaint(window_, &ps);
            return 0;
        }
        case WM_ACTIVATE:
            if (LOWORD(wParam) != WA_INACTIVE && repaintOwner_) repaintOwner_();
            break;
        case WM_COMMAND: {
            const int id = LOWORD(wParam);
            if (id == IDCANCEL) {  // Esc
                model_.ClickClose();
            } else if (HIWORD(wParam) == BN_CLICKED && id >= kMillimetres && id <= kInches) {
                FromControls();
                model_.UnitClick(id == kMillimetres ? Unit::Millimetres
                                 : id == kPoints    ? Unit::Points
                                                    : Unit::Inches);
                ToControls();
            } else if (HIWORD(wParam) == EN_SETFOCUS && (id == kEditFast || id == kEditSlow)) {
                // As in any dialog, a field taking the focus has its text selected, so what
                // is typed replaces the value; a click still places the caret afterwards.
                SendDlgItemMessageA(window_, id, EM_SETSEL, 0, -1);
            } else if (HIWORD(wParam) == EN_KILLFOCUS && (id == kEditFast || id == kEditSlow)) {
                FromControls();
                model_.FieldExit(id == kEditFast ? model_.EditFast : model_.EditSlow);
                ToControls();
            }
            return 0;
        }
        case WM_VSCROLL: {
            const int id = GetDlgCtrlID(reinterpret_cast<HWND>(lParam));
            const int edit = id == kSpinFast ? kEditFast : kEditSlow;
            if (LOWORD(wParam) == SB_LINEUP) Spin(edit, +1);
            if (LOWORD(wParam) == SB_LINEDOWN) Spin(edit, -1);
            return 0;
        }
        case WM_LBUTTONDOWN: {
            const Control* c = LinkAt(lParam);
            pressed_ = c != nullptr ? c->name : "";
            if (!pressed_.empty()) {
                model_.LinkDown(pressed_);
                InvalidateLinks();
            }
            return 0;
        }
        case WM_LBUTTONUP: {
            const Control* c = LinkAt(lParam);
            if (c != nullptr && c->name == pressed_) LinkClick(pressed_);
            pressed_.clear();
            return 0;
        }
        case WM_MOUSEMOVE:
            if (LinkAt(lParam) == nullptr) {
                model_.OverForm();
                InvalidateLinks();
            }
            return 0;
        case WM_SETCURSOR:
            if (SetCursorOverLink(window_, model_.links, hand_, lParam)) return TRUE;
            break;
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
            SetBkColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_BTNFACE));
            return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
        case WM_CLOSE:  // the close button: as Close, without touching the link
            model_.ClickClose();
            return 0;
        default:
            break;
    }
    return DefWindowProcA(window_, message, wParam, lParam);
}

void SettingsDialog::ShowModal(HWND owner, const std::function<void()>& saved,
                               const std::function<void()>& repaintOwner) {
    saved_ = saved;
    repaintOwner_ = repaintOwner;
    model_.FormCreate();
    ToControls();
    PlaceBelow(window_, owner);
    RunModal(
        window_, owner, GetDlgItem(window_, kEditFast),
        [this] { return model_.result == TSettings::Result::Open; },
        [this](MSG& msg) {
            // Up and Down in a field step it as its arrow buttons do.
            if (msg.message == WM_KEYDOWN && (msg.wParam == VK_UP || msg.wParam == VK_DOWN)) {
                const int id = GetDlgCtrlID(msg.hwnd);
                if (GetParent(msg.hwnd) == window_ && (id == kEditFast || id == kEditSlow)) {
                    Spin(id, msg.wParam == VK_UP ? +1 : -1);
                    SendDlgItemMessageA(window_, id, EM_SETSEL, 0, -1);
                    return true;
                }
            }
            return IsDialogMessageA(window_, &msg) != FALSE;
        });
    if (repaintOwner_) repaintOwner_();
}

}  // namespace zelk
