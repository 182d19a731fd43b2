// The menu editor as data: the "Open with" or "Send to" list as text, checked line by line on
// Save, stored in the settings file and renumbered. The Win32 layer shows it.
#pragma once

#include <optional>
#include <string>

#include "analysis/presenter.h"
#include "dialogs/menu_lists.h"
#include "settings/settings_file.h"
#include "ui/controls.h"

namespace zelk {

inline constexpr int kEditorOuterWidth = 417, kEditorOuterHeight = 325;
inline constexpr const char* kMemo = "Memo1";

// What Save asks of the platform: FindFirstFileA, SetCurrentDirectoryA, CreateDirectoryA and
// the message boxes. A test gives it real folders and answers.
class MenuEditorSystem {
  public:
    virtual ~MenuEditorSystem() = default;
    // Whether the first match of the pattern `prefix` + "*" exists and is not a directory.
    virtual bool FirstMatchIsFile(const std::string& prefix) = 0;
    virtual bool EnterDirectory(const std::string& path) = 0;  // false: it does not exist
    virtual bool MakeDirectory(const std::string& path) = 0;   // one level
    virtual Answer Ask(const MessageRequest& request) = 0;
};

// The extension of a path, the dot included: from the last "." after the last "\" or ":".
std::string PathExtension(const std::string& path);

class TModMeniu1 {
  public:
    TModMeniu1();

    int MenuEditMode = 0;  // 2000 "Open with", 3000 "Send to"
    std::string caption = "Modify menu";
    std::string text;     // Memo1: one item a line, lines ended by CR LF
    ControlSet controls;  // Memo1's bounds, Label1, Label2 and the links Save, Close, Help
    enum class Result { Open, Ok, Cancel };
    Result result = Result::Open;

    void Starting(int mode, const MenuLists& menu);  // each opening
    // Checks and stores the lines; on success the caller rebuilds the menu (UpdateMenu). A
    // failed write stops Save there: its text comes back and the dialog stays open.
    std::optional<std::string> ClickSave(SettingsFile& settings, MenuEditorSystem& system);
    void ModFormResize(int outerWidth, int outerHeight);
    void LinkDown(const std::string& link);
    void LinkUp(const std::string& link);  // the link turns blue
    void Gesintuvas();

  private:
    bool Accept(const std::string& line, MenuEditorSystem& system, std::string& stored);
};

}  // namespace zelk
