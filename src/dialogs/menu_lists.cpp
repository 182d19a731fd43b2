#include "dialogs/menu_lists.h"

namespace zelk {

std::string ItemName(const std::string& line) {
    const size_t at = line.find('=');
    return at == std::string::npos ? std::string() : line.substr(0, at);
}

std::string ItemPath(const std::string& line) {
    const size_t at = line.find('=');
    return at == std::string::npos ? std::string() : line.substr(at + 1);
}

}  // namespace zelk
