#include "analysis/dsc_text.h"

#include <cstring>
#include <limits>

namespace zelk {

namespace {

constexpr uint8_t kEndOfFileMark = 26;

// Whether "%%+" stands within the four bytes after index i.
bool ContinuationFollows(const AnalysisRecord& r, int64_t i) {
    for (int64_t k = i + 1; k + 2 <= i + 4; ++k)
        if (r.InChunk(k + 2) && r.At(k) == '%' && r.At(k + 1) == '%' && r.At(k + 2) == '+')
            return true;
    return false;
}

}  // namespace

std::string ReadDscText(const AnalysisRecord& r, int64_t start, int maxLen) {
    std::string text;
    for (int64_t i = start; static_cast<int>(text.size()) < maxLen && r.InChunk(i); ++i) {
        const uint8_t c = r.At(i);
        if ((IsLineBreak(c) || c == kEndOfFileMark) && !ContinuationFollows(r, i)) break;
        text += static_cast<char>(c);
    }
    return text;
}

bool MatchAt(const AnalysisRecord& r, int64_t start, std::string_view word) {
    if (start < 1 || !r.InChunk(start + static_cast<int64_t>(word.size()) - 1)) return false;
    return std::memcmp(&r.ChunkBuffer[static_cast<size_t>(start - 1)], word.data(), word.size()) ==
           0;
}

std::string TrimControls(std::string_view text) {
    size_t first = 0, last = text.size();
    while (first < last && static_cast<uint8_t>(text[first]) <= ' ') ++first;
    while (last > first && static_cast<uint8_t>(text[last - 1]) <= ' ') --last;
    return std::string(text.substr(first, last - first));
}

int32_t SaturatingValue(std::string_view digits) {
    constexpr int64_t kMax = std::numeric_limits<int32_t>::max();
    int64_t value = 0;
    for (char d : digits) {
        value = value * 10 + (d - '0');
        if (value > kMax) return static_cast<int32_t>(kMax);
    }
    return static_cast<int32_t>(value);
}

bool IntegerReader::Feed(uint8_t c, int32_t& value) {
    if (IsDigit(c)) {
        if (token_.size() < kShortTextMax) token_ += static_cast<char>(c);  // a short text
        return false;
    }
    return Flush(value);
}

bool IntegerReader::Flush(int32_t& value) {
    if (token_.empty()) return false;
    value = SaturatingValue(token_);
    token_.clear();
    return true;
}

}  // namespace zelk
