#include "window/colour_bar.h"

#include <cmath>

namespace zelk {

namespace {

constexpr std::array<Rgb, 4> kInkColours{Rgb{0, 255, 255}, Rgb{255, 0, 255}, Rgb{255, 255, 0},
                                         Rgb{0, 0, 0}};

// Truncation toward zero, saturated to what a 32-bit integer holds (a value from a file may
// be anything).
int32_t Truncate(double x) {
    if (std::isnan(x)) return 0;
    if (x >= 2147483647.0) return 2147483647;
    if (x <= -2147483648.0) return -2147483647 - 1;
    return static_cast<int32_t>(x);
}

uint8_t Low8(int64_t x) {
    return static_cast<uint8_t>(static_cast<uint64_t>(x) & 0xFF);
}

// A filled rectangle leaves its last column and last row unpainted.
Chip Filled(int left, int top, int right, int bottom, Rgb colour) {
    return {left, top, right - 1, bottom - 1, colour};
}

}  // namespace

Rgb SpotChipColour(const std::array<double, 4>& v) {
    if (v[3] == 3.0)
        return {Low8(Truncate(255 * v[0])), Low8(Truncate(255 * v[1])), Low8(Truncate(255 * v[2]))};
    return {Low8(255 - int64_t{Truncate(224 * v[0] - 31 * v[3])}),
            Low8(255 - int64_t{Truncate(229 * v[1] - 26 * v[3])}),
            Low8(255 - int64_t{Truncate(232 * v[2] - 23 * v[3])})};
}

std::vector<Chip> BarChips(const ColourBarData& bar) {
    std::vector<Chip> chips;
    const int n = bar.spotCount;
    if (n > 0) {
        const int h = 218 / n;
        // From 37 colours a band is too low for its chip and the gap below it: such a chip
        // has no rows, and is not painted (its rectangle would reach above the bar).
        for (int i = 1; i <= n && h * i - 5 > h * (i - 1); ++i)
            chips.push_back(Filled(25, h * (i - 1), 45, h * i - 5,
                                   SpotChipColour(bar.spotValues[static_cast<size_t>(i - 1)])));
    }
    const int m = bar.processCount;
    if (m > 0) {
        const int h = 213 / m;
        const int width = n > 0 ? 20 : 45;
        int k = 0;
        for (size_t ink = 0; ink < bar.inks.size(); ++ink) {
            if (!bar.inks[ink]) continue;
            ++k;
            chips.push_back(Filled(0, h * (k - 1), width, h * k, kInkColours[ink]));
        }
    }
    return chips;
}

std::optional<PopUpPlace> PopUpAt(const ColourBarData& bar, int x, int y) {
    const int m = bar.processCount;
    if (x < 22 && m > 0) return PopUpPlace{bar.processText, x - 21 * m + 223, y + 40};
    const int n = bar.spotCount;
    if (n <= 0) return std::nullopt;
    const int h = 218 / n;
    std::optional<PopUpPlace> place;
    for (int i = 1; i <= n; ++i)  // a point on a band's boundary belongs to neither band
        if (h * (i - 1) < y && y < h * i)
            place = PopUpPlace{bar.spotNames[static_cast<size_t>(i - 1)], x + 240, y + 40};
    return place;
}

}  // namespace zelk
