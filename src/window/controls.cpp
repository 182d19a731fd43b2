#include "window/controls.h"

#include <stdexcept>

namespace zelk {

Control& ControlSet::operator[](const std::string& name) {
    for (auto& c : controls_)
        if (c.name == name) return c;
    throw std::out_of_range("no control " + name);
}

const Control& ControlSet::operator[](const std::string& name) const {
    return const_cast<ControlSet&>(*this)[name];
}

const Control* ControlSet::At(int x, int y) const {
    for (auto it = controls_.rbegin(); it != controls_.rend(); ++it)
        if (it->visible && x >= it->left && x < it->left + it->width && y >= it->top &&
            y < it->top + it->height)
            return &*it;
    return nullptr;
}

}  // namespace zelk
