// Feeding fuzz input to the analysis through the same headless window as the command-line
// tool and the tests, from memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

#include "analysis/memory_source.h"
#include "window/headless.h"

namespace zelk::fuzz {

// A settings file that holds nothing: every read gives the default.
class DefaultsOnly final : public ProfileStore {
  public:
    std::string Read(const std::string&, const std::string&, const std::string& fallback) override {
        return fallback;
    }
    bool Write(const std::string&, const std::string&, const std::string&) override {
        return false;
    }
};

// The first byte chooses the answers and the file's length: as given, or the input repeated
// to several chunks (top bits 10) or past 1,000,000 bytes (top bits 1111), so chunk
// boundaries and the big-file passes are reached too without every run reading a megabyte.
inline int64_t FuzzFileSize(uint8_t control, size_t inputSize) {
    if (inputSize == 0) return -1;
    if ((control & 0xF0) == 0xF0) return kBigFileLimit + 1 + 4096 * (control & 0x0F);
    if ((control & 0xC0) == 0x80) return 3 * kChunkSize + 977 * (control & 0x3F);
    return -1;
}

// Scans the input as a file of the kind the magic bytes `magics` mark: the first is put in
// front when the input starts with none of them, so each target stays on its own scanner.
inline void ScanBytes(const uint8_t* data, size_t size,
                      std::initializer_list<std::string_view> magics) {
    if (size < 1) return;
    const uint8_t control = data[0];
    std::string bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    bool marked = false;
    for (std::string_view magic : magics) marked = marked || bytes.starts_with(magic);
    if (!marked) bytes.insert(0, *magics.begin());
    static SettingsFile settings("", std::make_unique<DefaultsOnly>());
    Inspection inspection(control & 1 ? AnswerPolicy::AllYes : AnswerPolicy::AllNo, settings);
    const int64_t fileSize = FuzzFileSize(control, bytes.size());
    Inspect(inspection, "fuzz", std::make_unique<MemorySourceFile>(std::move(bytes), fileSize));
}

}  // namespace zelk::fuzz
