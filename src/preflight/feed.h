// One read of a file for two readers. The window's scan reads the file through a
// FeedingSource, which copies each stretch it reads for the first time into a Feed; the
// PDF reader, on a thread of its own, parses those stretches where they lie. On data in the
// system's cache, copying it out of the system is most of what a read costs, so reading a
// file once instead of twice is most of what the facts would add to a scan.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "analysis/source_file.h"
#include "preflight/preflight.h"

namespace zelk::preflight {

class Feed {
  public:
    static constexpr size_t kRoom = 64 * 1024;  // bytes of one stretch
    // Room in front of each stretch, where the reader puts the few bytes it still needs of
    // the stretch before, so that it reads on without copying the stretch.
    static constexpr size_t kHead = 1024;
    static constexpr size_t kSlots = 16;
    // A side that waits is woken when this many stretches or slots are there for it, not
    // for each: waking a thread costs more than a stretch's parse.
    static constexpr size_t kBatch = 4;

    struct Stretch {
        uint8_t* bytes = nullptr;  // kHead bytes of room before them belong to the stretch
        int64_t offset = 0;
        size_t size = 0, slot = 0;
    };

    Feed();

    // The scan's side. Copies `size` bytes read at `offset`, the next in the file; waits
    // for a free slot while the reader is behind. Nothing is kept once the feed has ended or
    // the reader has left.
    void Offer(int64_t offset, const uint8_t* bytes, size_t size);
    // Nothing more will come: the reader reads the rest from the file itself, or, when
    // `abandon`, reads no more at all.
    void End(bool abandon = false);

    // The reader's side. The next stretch (waits for it); false once the feed has ended and
    // every stretch was taken.
    bool Take(Stretch& out);
    void Give(const Stretch& stretch);  // its slot back, for the next offer
    void Leave();                       // the reader takes no more stretches
    bool Abandoned();
    // The file's first bytes, as recognition looks at them (waits for the first stretch);
    // empty when the feed ended without one.
    std::string FirstBytes();

  private:
    std::mutex mutex_;
    std::condition_variable forReader_, forScan_;
    bool readerWaits_ = false, scanWaits_ = false;
    std::vector<std::vector<uint8_t>> slots_;
    std::vector<size_t> free_;
    std::deque<Stretch> ready_;
    std::string first_;
    bool ended_ = false, abandoned_ = false, left_ = false;
};

// The file the scan reads, handing each stretch it reads first to a feed. A read that does
// not go on from the stretches handed so far ends the feed: the reader goes on by itself.
class FeedingSource final : public SourceFile {
  public:
    FeedingSource(std::unique_ptr<SourceFile> file, Feed& feed);
    int64_t Read(uint8_t* dst, int64_t count) override;
    bool Seek(int64_t offset) override;
    std::string DateText() const override { return file_->DateText(); }

  private:
    std::unique_ptr<SourceFile> file_;
    Feed& feed_;
    int64_t handed_ = 0;  // the bytes before this offset went to the feed
    bool ended_ = false;
    // The last bytes read, up to the file's position: a scan that steps back a little to
    // read on with some overlap gets them from here, without asking the system to seek.
    static constexpr int64_t kTail = 4096;
    std::vector<uint8_t> tail_;
    int64_t tailEnd_ = 0;
};

// A PDF's facts read on a thread of their own from the bytes the scan of `path` reads:
// give the scan Source(), and call Finish once it is done. A file that is not a PDF is
// left to Read, after the scan, as before.
class SharedRead {
  public:
    explicit SharedRead(std::string path);
    ~SharedRead();
    std::unique_ptr<SourceFile> Source(std::unique_ptr<SourceFile> file);
    // Ends the feed and waits for the reader: the facts when the file was a PDF. With
    // `abandon`, the reader stops where it is and nothing is returned.
    std::optional<Facts> Finish(bool abandon);

  private:
    void Run();
    std::string path_;
    Feed feed_;
    std::optional<Facts> facts_;
    std::thread thread_;
};

}  // namespace zelk::preflight
