// Narrowing and real-to-integer rounding, in one place.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

namespace zelk {

// Nearest integer, halves to the even neighbour, saturating at the 32-bit limits.
inline int32_t RoundHalfEven(double x) {
    if (std::isnan(x)) return 0;
    if (x >= static_cast<double>(std::numeric_limits<int32_t>::max()))
        return std::numeric_limits<int32_t>::max();
    if (x <= static_cast<double>(std::numeric_limits<int32_t>::min()))
        return std::numeric_limits<int32_t>::min();
    const double floor = std::floor(x);
    const double diff = x - floor;
    double r = diff < 0.5   ? floor
               : diff > 0.5 ? floor + 1
                            : (std::fmod(floor, 2.0) == 0 ? floor : floor + 1);
    return static_cast<int32_t>(r);
}

// `x` in fixed-point notation with `decimals` decimals, halves rounded away from zero.
inline std::string FormatFixed(double x, int decimals) {
    const double scale = std::pow(10.0, decimals);
    const double scaled = std::round(x * scale);  // std::round: halves away from zero
    if (!std::isfinite(scaled) || std::fabs(scaled) >= 9.0e18) return std::to_string(x);
    const auto units = static_cast<long long>(scaled);
    const unsigned long long magnitude = units < 0 ? 0ull - static_cast<unsigned long long>(units)
                                                   : static_cast<unsigned long long>(units);
    const auto unit = static_cast<unsigned long long>(scale);
    std::string text = units < 0 ? "-" : "";
    text += std::to_string(magnitude / unit);
    if (decimals > 0) {
        const std::string fraction = std::to_string(magnitude % unit);
        text += '.';
        text.append(static_cast<size_t>(decimals) - fraction.size(), '0');
        text += fraction;
    }
    return text;
}

// Right-aligned in a field of at least `width` characters.
inline std::string PadLeft(std::string text, size_t width) {
    if (text.size() < width) text.insert(0, width - text.size(), ' ');
    return text;
}

}  // namespace zelk
