// Reading text and numbers out of the current chunk, never past its valid data.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "analysis/record.h"

namespace zelk {

// The DSC text that begins at chunk index `start`, at most `maxLen` characters. A line break
// is kept, and copying goes on, only when "%%+" follows within the next four bytes.
std::string ReadDscText(const AnalysisRecord& r, int64_t start, int maxLen);

// True when the bytes at `start` are exactly `word`, all within the valid data.
bool MatchAt(const AnalysisRecord& r, int64_t start, std::string_view word);

// The text without leading and trailing characters of code 32 or below.
std::string TrimControls(std::string_view text);

inline bool IsLineBreak(uint8_t c) {
    return c == '\n' || c == '\r';
}
inline bool IsDigit(uint8_t c) {
    return c >= '0' && c <= '9';
}

// The value of a run of decimal digits, saturating at the largest 32-bit integer.
int32_t SaturatingValue(std::string_view digits);

// Collects decimal digits in Token; any other byte completes a pending number.
class IntegerReader {
  public:
    explicit IntegerReader(std::string& token) : token_(token) { token_.clear(); }
    // Feeds one byte; true when it completed a number, which is then in `value`.
    bool Feed(uint8_t c, int32_t& value);
    // Completes a pending number at the end of the data; true when there was one.
    bool Flush(int32_t& value);

  private:
    std::string& token_;
};

}  // namespace zelk
