#include "text_encoding.h"

#include <array>
#include <cstdint>

#include "preflight/utf8.h"

namespace zelk::cli {
namespace {

// Well-formed UTF-8 as RFC 3629 has it: no overlong forms, no surrogates, nothing past
// U+10FFFF. The JSON writer refuses anything else, so the test must be exactly as strict.
bool IsValidUtf8(const std::string& s) {
    size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<uint8_t>(s[i]);
        size_t extra = 0;
        uint8_t low = 0x80, high = 0xBF;  // the range of the byte after the lead
        if (c < 0x80) {
            ++i;
            continue;
        } else if (c >= 0xC2 && c <= 0xDF) {
            extra = 1;
        } else if (c >= 0xE0 && c <= 0xEF) {
            extra = 2;
            if (c == 0xE0) low = 0xA0;
            if (c == 0xED) high = 0x9F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            extra = 3;
            if (c == 0xF0) low = 0x90;
            if (c == 0xF4) high = 0x8F;
        } else {
            return false;
        }
        if (i + extra >= s.size()) return false;
        const auto second = static_cast<uint8_t>(s[i + 1]);
        if (second < low || second > high) return false;
        for (size_t k = 2; k <= extra; ++k)
            if ((static_cast<uint8_t>(s[i + k]) >> 6) != 0x2) return false;
        i += extra + 1;
    }
    return true;
}

// Windows-1252 for 0x80..0x9F; unassigned places keep their C1 code point.
constexpr std::array<char16_t, 32> kCp1252High{
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

}  // namespace

std::string ToUtf8(const std::string& text) {
    if (IsValidUtf8(text)) return text;
    std::string out;
    out.reserve(text.size() + text.size() / 4);
    for (char ch : text) {
        const auto c = static_cast<uint8_t>(ch);
        zelk::AppendUtf8(out, c >= 0x80 && c < 0xA0 ? kCp1252High[c - 0x80] : char16_t{c});
    }
    return out;
}

}  // namespace zelk::cli
