// The colour bar beside the plate as data: which rectangles it fills in which colours, and
// which ink a point over it names. The Win32 layer fills exactly these.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "ui/controls.h"

namespace zelk {

inline constexpr int kBarPictureWidth = 40, kBarPictureHeight = 213;

// The colours as the colour bar paints them: a copy taken in the colour hand-off, while the
// scan thread waits, so a repaint at any time sees only complete colours.
struct ColourBarData {
    std::array<bool, 4> inks{};
    int32_t processCount = 0;
    std::string processText;
    int32_t spotCount = 0;
    std::vector<std::string> spotNames;             // from index 0
    std::vector<std::array<double, 4>> spotValues;  // from index 0
};

// A filled chip, in the bar's own pixels: columns left to right - 1, rows top to bottom - 1.
struct Chip {
    int left = 0, top = 0, right = 0, bottom = 0;
    Rgb colour;
    friend bool operator==(const Chip&, const Chip&) = default;
};

// The colour a spot chip is painted in: an RGB entry (fourth value 3.0) as it is, a CMYK one
// approximated, each channel's low eight bits taken, as the design paints it.
Rgb SpotChipColour(const std::array<double, 4>& values);

// The chips in painting order: the spot colours, then the process inks over them.
std::vector<Chip> BarChips(const ColourBarData& bar);

// What the pop-up shows for the pointer at x, y in the bar: its text and its place in the
// window; nothing when the point names no ink.
struct PopUpPlace {
    std::string text;
    int left = 0, top = 0;
};
std::optional<PopUpPlace> PopUpAt(const ColourBarData& bar, int x, int y);

}  // namespace zelk
