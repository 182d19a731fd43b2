#include "ui/controls.h"

#include <stdexcept>

namespace zelk {

Control MakeLabel(std::string name, int left, int top, std::string caption) {
    Control c;
    c.name = std::move(name);
    c.left = left;
    c.top = top;
    c.caption = std::move(caption);
    c.autoSize = true;
    return c;
}

Control MakeLink(std::string name, int left, int top, std::string caption) {
    Control c = MakeLabel(std::move(name), left, top, std::move(caption));
    c.link = true;
    c.font.bold = true;
    c.font.underline = true;
    c.textColour = kBlue;
    return c;
}

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

void LayoutLabels(ControlSet& controls, const MeasureText& measure) {
    for (Control& c : controls.All()) {
        if (c.kind != ControlKind::Label || !c.autoSize) continue;
        const TextSize size = measure(c);
        if (c.align == Align::Right) c.left = c.anchorRight - size.width;
        c.width = size.width;
        c.height = size.height;
    }
}

}  // namespace zelk
