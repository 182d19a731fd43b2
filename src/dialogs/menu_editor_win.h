// The menu editor as a real Win32 window of class "TModMeniu1" around the TModMeniu1 model.
#pragma once

#include <windows.h>

#include <functional>

#include "dialogs/menu_editor.h"
#include "ui/modal_win.h"

namespace zelk {

inline constexpr const char* kMenuEditorClass = "TModMeniu1";
inline constexpr int kMemoId = 100;

// Save's questions to the platform: the file and folder functions and centred message boxes.
class Win32EditorSystem final : public MenuEditorSystem {
  public:
    explicit Win32EditorSystem(HWND owner) : owner_(owner) {}
    bool FirstMatchIsFile(const std::string& prefix) override;
    bool EnterDirectory(const std::string& path) override;
    bool MakeDirectory(const std::string& path) override;
    Answer Ask(const MessageRequest& request) override;

  private:
    HWND owner_;
};

class MenuEditor final : public WindowObject {
  public:
    explicit MenuEditor(SettingsFile& settings) : settings_(settings) {}
    ~MenuEditor() override;
    MenuEditor(const MenuEditor&) = delete;
    MenuEditor& operator=(const MenuEditor&) = delete;

    bool Create(HINSTANCE instance);  // hidden, as the program does at start
    // Shows the list of `mode` modally, centred; `saved` rebuilds the file menu after a Save.
    void ShowModal(HWND owner, int mode, const MenuLists& menu, const std::function<void()>& saved,
                   const std::function<void()>& repaintOwner);

  private:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void Resized();
    void LinkClick(const std::string& link);

    TModMeniu1 model_;
    SettingsFile& settings_;
    HWND memo_ = nullptr;
    HFONT font_ = nullptr;
    HCURSOR hand_ = nullptr;
    std::string pressed_;
    std::function<void()> saved_, repaintOwner_;
};

}  // namespace zelk
