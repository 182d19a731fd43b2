// The open file under analysis, read in chunks. Implemented once with the standard
// library and once with Win32 (shared with readers, never with writers).
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

namespace zelk {

class SourceFile {
  public:
    virtual ~SourceFile() = default;
    // Reads up to `count` bytes at the current position; returns the number read, -1 on error.
    virtual int64_t Read(uint8_t* dst, int64_t count) = 0;
    // Moves the read position; false when the platform refuses.
    virtual bool Seek(int64_t offset) = 0;
    // The last-modification time as the report writes it (FileDateText); empty when unknown.
    virtual std::string DateText() const { return {}; }

    // Size and position may be read from the main thread while the scan thread reads:
    // they come from values the reader keeps, never from the handle itself.
    int64_t Size() const { return size_.load(std::memory_order_relaxed); }
    int64_t Position() const { return position_.load(std::memory_order_relaxed); }

  protected:
    std::atomic<int64_t> size_{0};
    std::atomic<int64_t> position_{0};
};

// Opens `path` for reading; nullptr when it cannot be opened (missing, a folder, locked).
std::unique_ptr<SourceFile> OpenSourceFile(const std::string& path);

// The file's last-modification time in local time at two-second resolution, written with the
// user's short date and long time format (date only at midnight); empty when unknown.
std::string FileDateText(const std::string& path);

}  // namespace zelk
