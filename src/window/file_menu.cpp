#include "window/file_menu.h"

#include <algorithm>

namespace zelk {

namespace {

std::string Quoted(const std::string& text) {
    return "\"" + text + "\"";
}

}  // namespace

FileMenu::FileMenu()
    : items{{kOpenWithEditId, "Open with..."},
            {},
            {kSendToEditId, "Send to..."},
            {},
            {kPrintId, "Print..."}} {}

void FileMenu::Apply(const MenuOp& op) {
    const auto at = items.begin() + op.position;
    if (op.insert)
        items.insert(at, op.item);
    else
        items.erase(at);
}

std::vector<MenuOp> FileMenu::UpdateMenu(const SettingsFile& settings) {
    const int newOpenWith = std::clamp(settings.Read(settings::kOpenWithCount), 0, kMaxListItems);
    const int newSendTo = std::clamp(settings.Read(settings::kSendToCount), 0, kMaxListItems);
    const int n = static_cast<int>(OpenWithItems.size());
    const int m = static_cast<int>(SendToItems.size());
    std::vector<MenuOp> ops;
    for (int position = n + m + 2; position >= n + 3; --position)
        ops.push_back({false, position, {}});
    for (int position = n; position >= 1; --position) ops.push_back({false, position, {}});
    OpenWithItems.clear();
    SendToItems.clear();
    for (int k = 1; k <= newOpenWith; ++k) {
        OpenWithItems.push_back(settings.ReadString("OpenWith", std::to_string(k), ""));
        ops.push_back({true, k, {kOpenWithBase + k, ItemName(OpenWithItems.back())}});
    }
    for (int k = 1; k <= newSendTo; ++k) {
        SendToItems.push_back(settings.ReadString("SendTo", std::to_string(k), ""));
        ops.push_back({true, newOpenWith + 2 + k, {kSendToBase + k, ItemName(SendToItems.back())}});
    }
    for (const auto& op : ops) Apply(op);
    return ops;
}

std::optional<FileCommand> CommandFor(const FileMenu& menu, uint32_t id,
                                      const std::string& sourcePath,
                                      const std::string& executableDirectory, bool fileShown) {
    const std::string kestrin = executableDirectory + "Kestrin.exe ";
    if (id >= kOpenWithBase) {
        if (!fileShown) return std::nullopt;
        const auto& list = id < kSendToBase ? menu.OpenWithItems : menu.SendToItems;
        const uint32_t base = id < kSendToBase ? kOpenWithBase : kSendToBase;
        if (id >= kSendToBase + 1000u || id - base < 1 || id - base > list.size())
            return std::nullopt;
        const std::string& line = list[id - base - 1];
        if (id < kSendToBase) return FileCommand{ItemPath(line) + " " + Quoted(sourcePath)};
        return FileCommand{kestrin + Quoted(sourcePath) + " " + Quoted(ItemPath(line)) + " " +
                           Quoted(ItemName(line))};
    }
    if (id == kPrintId && fileShown)
        return FileCommand{kestrin + Quoted(sourcePath) + " Printer Print"};
    if (id == kOpenWithEditId) return FileCommand{"", kOpenWithBase};
    if (id == kSendToEditId) return FileCommand{"", kSendToBase};
    return std::nullopt;
}

}  // namespace zelk
