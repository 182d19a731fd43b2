#include "dialogs/menu_editor_win.h"

#include <windowsx.h>

#include <utility>

#include "dialogs/about.h"
#include "dialogs/about_win.h"
#include "ui/message_box_win.h"
#include "ui/modal_win.h"
#include "ui/paint_win.h"

namespace zelk {

bool Win32EditorSystem::FirstMatchIsFile(const std::string& prefix) {
    WIN32_FIND_DATAA found{};
    HANDLE search = FindFirstFileA((prefix + "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return false;
    FindClose(search);
    return (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool Win32EditorSystem::EnterDirectory(const std::string& path) {
    return SetCurrentDirectoryA(path.c_str()) != FALSE;
}

bool Win32EditorSystem::MakeDirectory(const std::string& path) {
    return CreateDirectoryA(path.c_str(), nullptr) != FALSE;
}

Answer Win32EditorSystem::Ask(const MessageRequest& request) {
    const bool question = request.buttons == Buttons::YesNo;
    const int pressed =
        CentredMessageBox(owner_, request.text.c_str(), question ? "Confirm" : "Error",
                          question ? MB_YESNO | MB_ICONQUESTION : MB_OK | MB_ICONERROR);
    return pressed == IDYES ? Answer::Yes : pressed == IDNO ? Answer::No : Answer::Ok;
}

MenuEditor::~MenuEditor() {
    if (window_ != nullptr) DestroyWindow(window_);
    if (font_ != nullptr) DeleteObject(font_);
}

bool MenuEditor::Create(HINSTANCE instance) {
    if (!RegisterModalClass(instance, kMenuEditorClass)) return false;
    hand_ = LoadCursorA(instance, "Hand");
    font_ = CreateDesignFont();
    window_ = CreateModalWindow(instance, kMenuEditorClass, "Modify menu", 0, 0,
                                WS_THICKFRAME | WS_MAXIMIZEBOX, this);
    if (window_ == nullptr) return false;
    // The text area wraps long lines at its width and has no scroll bars of its own.
    memo_ = CreateWindowExA(
        WS_EX_CLIENTEDGE, "EDIT", "",
        WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL, 0, 0, 0,
        0, window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kMemoId)), instance, nullptr);
    SendMessageA(memo_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    SetWindowPos(window_, nullptr, 0, 0, kEditorOuterWidth, kEditorOuterHeight,
                 SWP_NOMOVE | SWP_NOZORDER);
    HDC dc = GetDC(window_);
    LayoutLabels(model_.controls, [dc](const Control& c) { return MeasureLabel(dc, c); });
    ReleaseDC(window_, dc);
    Resized();
    return memo_ != nullptr;
}

// ModFormResize: the places follow the window's outer size.
void MenuEditor::Resized() {
    RECT outer;
    GetWindowRect(window_, &outer);
    model_.ModFormResize(outer.right - outer.left, outer.bottom - outer.top);
    const Control& memo = model_.controls[kMemo];
    if (memo_ != nullptr) MoveWindow(memo_, memo.left, memo.top, memo.width, memo.height, TRUE);
    InvalidateRect(window_, nullptr, TRUE);
}

void MenuEditor::LinkClick(const std::string& link) {
    model_.LinkUp(link);
    InvalidateRect(window_, nullptr, TRUE);
    if (link == "Close") model_.result = TModMeniu1::Result::Cancel;
    if (link == "Help") OpenThroughShell(window_, ExecutableDirectory() + "\\" + kHelpMenuPage);
    if (link != "Save") return;
    const int length = GetWindowTextLengthA(memo_);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    GetWindowTextA(memo_, text.data(), length + 1);
    text.resize(static_cast<size_t>(length));
    model_.text = text;
    Win32EditorSystem system(window_);
    if (const auto error = model_.ClickSave(settings_, system)) {
        CentredMessageBox(window_, error->c_str(), "Error", MB_OK | MB_ICONERROR);
        return;  // the dialog stays open and the menu is not rebuilt
    }
    if (saved_) saved_();
}

LRESULT MenuEditor::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SIZE:
            Resized();
            return 0;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(window_, &ps);
            PaintControlsOver(dc, model_.controls, nullptr);
            EndPaint(window_, &ps);
            return 0;
        }
        case WM_ACTIVATE:
            if (LOWORD(wParam) != WA_INACTIVE && repaintOwner_) repaintOwner_();
            break;
        case WM_LBUTTONDOWN: {
            const Control* c = model_.controls.At(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
            pressed_ = c != nullptr && c->link ? c->name : "";
            if (!pressed_.empty()) {
                model_.LinkDown(pressed_);
                InvalidateRect(window_, nullptr, TRUE);
            }
            return 0;
        }
        case WM_LBUTTONUP: {
            const Control* c = model_.controls.At(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
            const std::string pressed = std::exchange(pressed_, {});
            if (c != nullptr && c->name == pressed) LinkClick(pressed);
            return 0;
        }
        case WM_MOUSEMOVE: {
            const Control* c = model_.controls.At(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
            if (c == nullptr || !c->link) {
                model_.Gesintuvas();
                InvalidateRect(window_, nullptr, TRUE);
            }
            return 0;
        }
        case WM_SETCURSOR:
            if (SetCursorOverLink(window_, model_.controls, hand_, lParam)) return TRUE;
            break;
        case WM_CLOSE:
            model_.result = TModMeniu1::Result::Cancel;
            return 0;
        default:
            break;
    }
    return DefWindowProcA(window_, message, wParam, lParam);
}

void MenuEditor::ShowModal(HWND owner, int mode, const MenuLists& menu,
                           const std::function<void()>& saved,
                           const std::function<void()>& repaintOwner) {
    saved_ = saved;
    repaintOwner_ = repaintOwner;
    model_.Starting(mode, menu);
    SetWindowTextA(window_, model_.caption.c_str());
    SetWindowTextA(memo_, model_.text.c_str());
    HDC dc = GetDC(window_);
    LayoutLabels(model_.controls, [dc](const Control& c) { return MeasureLabel(dc, c); });
    ReleaseDC(window_, dc);
    CentreOnScreen(window_);
    // Key presses reach the window before the text area: Esc closes it.
    RunModal(
        window_, owner, memo_, [this] { return model_.result == TModMeniu1::Result::Open; },
        [this](MSG& msg) {
            const bool esc = msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE &&
                             (msg.hwnd == window_ || msg.hwnd == memo_);
            if (esc) model_.result = TModMeniu1::Result::Cancel;
            return esc;
        });
}

}  // namespace zelk
