// A file held in memory, for tests and fuzzing: the scanners read it as they read a file.
#pragma once

#include <algorithm>
#include <cstring>
#include <string>

#include "analysis/source_file.h"

namespace zelk {

class MemorySourceFile final : public SourceFile {
  public:
    // `pattern` repeated to `size` bytes (once, when size is not given).
    explicit MemorySourceFile(std::string pattern, int64_t size = -1)
        : pattern_(std::move(pattern)) {
        size_ = size < 0 || pattern_.empty() ? static_cast<int64_t>(pattern_.size()) : size;
    }

    int64_t Read(uint8_t* dst, int64_t count) override {
        int64_t done = 0;
        while (done < count && Position() < Size()) {
            const auto at = static_cast<size_t>(Position()) % pattern_.size();
            const int64_t n = std::min(
                {count - done, Size() - Position(), static_cast<int64_t>(pattern_.size() - at)});
            std::memcpy(dst + done, pattern_.data() + at, static_cast<size_t>(n));
            done += n;
            position_ = Position() + n;
        }
        return done;
    }

    bool Seek(int64_t offset) override {
        if (offset < 0) return false;
        position_ = offset;
        return true;
    }

  private:
    std::string pattern_;
};

}  // namespace zelk
