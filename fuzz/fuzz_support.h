// Running a scanner on bytes from memory, on the calling thread, for the fuzz targets.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "analysis/memory_source.h"
#include "window/main_window.h"

namespace zelk::fuzz {

// Hand-offs run at once on the calling thread: there is no other thread here.
class InlineGate final : public MainThreadGate {
  public:
    void Invoke(const std::function<void()>& call) override { call(); }
    void ServeUntil(const std::function<bool()>& done) override { (void)done(); }
    void Wake() override {}
};

// A settings file that holds nothing: every read gives the default.
class DefaultsOnly final : public ProfileStore {
public:
    std::string Read(const std::string&, const std::string&, const std::string& fallback) override {
        return fallback;
    }
    bool Write(const std::string&, const std::string&, const std::string&) override { return false; }
};

// Answers each question with the next bit of `answers`.
class FuzzHost final : public WindowHost {
  public:
    explicit FuzzHost(uint32_t answers) : answers_(answers) {}
    void Repaint() override {}
    void CaptionChanged() override {}
    void SetFileTimer(bool) override {}
    Answer ShowMessage(const MessageRequest& request) override {
        if (request.buttons == Buttons::Ok) return Answer::Ok;
        const bool yes = answers_ & 1u;
        answers_ >>= 1;
        return yes ? Answer::Yes : Answer::No;
    }
    void PostScanStopped() override {}
    void RestoreIfMinimised() override {}

  private:
    uint32_t answers_;
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

template <typename Scanner>
void ScanBytes(const uint8_t* data, size_t size, const char* kind, Scanner scan) {
    if (size < 1) return;
    const uint8_t control = data[0];
    std::string bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    const int64_t fileSize = FuzzFileSize(control, bytes.size());
    InlineGate gate;
    FuzzHost host(control);
    static SettingsFile settings("", std::make_unique<DefaultsOnly>());
    TZelkMnFrm window(host, gate, settings);
    Analysis& a = window.analysis;
    a.SourcePath = "fuzz";
    a.DocKind = kind;
    a.TiffByteOrder = bytes.size() >= 2 && bytes[0] == 'M' ? "Mac" : "IBM";
    a.SourceStream = std::make_unique<MemorySourceFile>(bytes, fileSize);
    a.BigFile = a.SourceStream->Size() > kBigFileLimit;
    const int64_t got = a.SourceStream->Read(a.ChunkBuffer.data(), kChunkSize);
    a.ChunkLength = static_cast<int32_t>(got);
    scan(a);
}

}  // namespace zelk::fuzz
