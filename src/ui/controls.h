// Controls as plain data: what a toolkit would keep for each label, shape and paint box.
// The Win32 layer paints them; tests read them.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace zelk {

struct Rgb {
    uint8_t r = 0, g = 0, b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

inline constexpr Rgb kBlack{0, 0, 0};
inline constexpr Rgb kWhite{255, 255, 255};
inline constexpr Rgb kRed{255, 0, 0};
inline constexpr Rgb kBlue{0, 0, 255};
inline constexpr Rgb kGrey{128, 128, 128};
inline constexpr Rgb kGreen{0, 128, 0};
inline constexpr Rgb kLightGrey{221, 221, 221};
inline constexpr Rgb kTooltip{255, 255, 225};

enum class ControlKind { Label, Shape, PaintBox };
enum class Align { Left, Right };
enum class Fill { None, Solid, BackDiagonal };

struct Font {
    std::string face = "MS Sans Serif";
    int height = 11;  // pixels
    bool bold = false;
    bool underline = false;
    bool fixedPitch = false;
};

struct Control {
    std::string name;
    ControlKind kind = ControlKind::Label;
    int left = 0, top = 0, width = 0, height = 0;
    bool visible = true;

    // Labels
    std::string caption;
    bool autoSize = false;  // sizes itself to its caption; a right-aligned one keeps its right edge
    int anchorRight = -1;   // that right edge, where the design face ends the design caption
    Align align = Align::Left;
    bool wordWrap = false;
    Font font;
    Rgb textColour = kBlack;
    std::optional<Rgb> background;  // none: transparent
    bool link = false;              // bold underlined blue, hand cursor

    // Shapes
    Fill fill = Fill::None;
    Rgb fillColour = kWhite;
    std::optional<Rgb> outline;
};

// A self-sizing label at its design place.
Control MakeLabel(std::string name, int left, int top, std::string caption);
// A link label: bold, underlined, blue, with the hand cursor.
Control MakeLink(std::string name, int left, int top, std::string caption);

// A window's controls in stacking order, lowest first.
class ControlSet {
  public:
    Control& Add(Control c) { return controls_.emplace_back(std::move(c)); }
    Control& operator[](const std::string& name);
    const Control& operator[](const std::string& name) const;
    const std::vector<Control>& All() const { return controls_; }
    std::vector<Control>& All() { return controls_; }
    // The topmost visible control under a point, or nullptr.
    const Control* At(int x, int y) const;

  private:
    std::vector<Control> controls_;
};

struct TextSize {
    int width = 0, height = 0;
};
using MeasureText = std::function<TextSize(const Control&)>;

// Sizes the self-sizing labels to their captions, as a toolkit does after each caption change.
void LayoutLabels(ControlSet& controls, const MeasureText& measure);

}  // namespace zelk
