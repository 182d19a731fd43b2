// The file menu over the plate as data: its items, rebuilt by position from the settings
// file as the real menu is, and what each command starts.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "dialogs/menu_lists.h"
#include "settings/settings_file.h"

namespace zelk {

inline constexpr int kPrintId = 10, kOpenWithEditId = 20, kSendToEditId = 30;

struct MenuItem {
    int id = 0;  // 0 for a separator
    std::string text;
    friend bool operator==(const MenuItem&, const MenuItem&) = default;
};

// One change to the real menu, by position: a deletion, or an insertion of `item`.
struct MenuOp {
    bool insert = false;
    int position = 0;
    MenuItem item;
};

// The lists it shows are the MenuLists the menu editor edits.
class FileMenu : public MenuLists {
  public:
    FileMenu();  // the fixed items: "Open with...", "Send to...", "Print..." and separators

    std::vector<MenuItem> items;  // as the real menu holds them, top first

    // Rebuilds the variable part from the settings file; returns the changes, in order, that
    // bring a real menu built alike to the same items.
    std::vector<MenuOp> UpdateMenu(const SettingsFile& settings);

  private:
    void Apply(const MenuOp& op);
};

// What the file menu's command `id` does: a command line to start, or the editor to open
// in mode 2000 or 3000; nothing for an ID that names no command, or while no file is shown.
struct FileCommand {
    std::string commandLine;
    int editMode = 0;
};
std::optional<FileCommand> CommandFor(const FileMenu& menu, uint32_t id,
                                      const std::string& sourcePath,
                                      const std::string& executableDirectory, bool fileShown);

}  // namespace zelk
