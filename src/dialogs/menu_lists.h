// The file menu's two user lists, "Open with" programs and "Send to" folders, as the menu
// editor edits them and the file menu shows them: lines "NAME=PATH", numbered from 1.
#pragma once

#include <string>
#include <vector>

namespace zelk {

inline constexpr int kOpenWithBase = 2000, kSendToBase = 3000;  // item k has base + k
// Each list's IDs must stay below the next range: more items would collide with it.
inline constexpr int kMaxListItems = 999;

std::string ItemName(const std::string& line);  // the text before the first "="
std::string ItemPath(const std::string& line);  // the text after it

struct MenuLists {
    std::vector<std::string> OpenWithItems, SendToItems;
};

}  // namespace zelk
