#include "preflight/feed.h"

#include <algorithm>
#include <cstring>

#include "analysis/recognition.h"
#include "preflight/pdf_syntax.h"

namespace zelk::preflight {

// --- Feed

Feed::Feed() : slots_(kSlots, std::vector<uint8_t>(kHead + kRoom)) {
    for (size_t i = 0; i < kSlots; ++i) free_.push_back(i);
}

void Feed::Offer(int64_t offset, const uint8_t* bytes, size_t size) {
    while (size > 0) {
        std::unique_lock lock(mutex_);
        scanWaits_ = true;
        forScan_.wait(lock, [this] { return !free_.empty() || ended_ || left_; });
        scanWaits_ = false;
        if (ended_ || left_) return;
        const size_t slot = free_.back();
        free_.pop_back();
        lock.unlock();
        const size_t n = std::min(size, kRoom);
        uint8_t* at = slots_[slot].data() + kHead;
        std::memcpy(at, bytes, n);
        lock.lock();
        if (offset == 0 && first_.empty())
            first_.assign(reinterpret_cast<const char*>(at), std::min(n, kRecognitionWindow));
        ready_.push_back({at, offset, n, slot});
        // The first stretch wakes a reader that waits to know the file's kind.
        if (readerWaits_ && (ready_.size() >= kBatch || offset == 0)) forReader_.notify_one();
        offset += static_cast<int64_t>(n);
        bytes += n;
        size -= n;
    }
}

void Feed::End(bool abandon) {
    const std::lock_guard lock(mutex_);
    ended_ = true;
    abandoned_ = abandoned_ || abandon;
    forReader_.notify_all();
    forScan_.notify_all();
}

bool Feed::Take(Stretch& out) {
    std::unique_lock lock(mutex_);
    if (ready_.empty()) {
        // The scan never waits while fewer than kBatch slots are ready (kSlots leaves room
        // for the two the reader holds), so this wait always ends.
        readerWaits_ = true;
        forReader_.wait(lock, [this] { return ready_.size() >= kBatch || ended_; });
        readerWaits_ = false;
    }
    if (ready_.empty() || abandoned_) return false;
    out = ready_.front();
    ready_.pop_front();
    return true;
}

void Feed::Give(const Stretch& stretch) {
    const std::lock_guard lock(mutex_);
    free_.push_back(stretch.slot);
    if (scanWaits_ && free_.size() >= kBatch) forScan_.notify_one();
}

void Feed::Leave() {
    const std::lock_guard lock(mutex_);
    left_ = true;
    for (const Stretch& s : ready_) free_.push_back(s.slot);
    ready_.clear();
    forScan_.notify_all();
}

bool Feed::Abandoned() {
    const std::lock_guard lock(mutex_);
    return abandoned_;
}

std::string Feed::FirstBytes() {
    std::unique_lock lock(mutex_);
    readerWaits_ = true;
    forReader_.wait(lock, [this] { return !first_.empty() || ready_.size() >= kBatch || ended_; });
    readerWaits_ = false;
    return first_;
}

// --- FeedingSource

FeedingSource::FeedingSource(std::unique_ptr<SourceFile> file, Feed& feed)
    : file_(std::move(file)), feed_(feed) {
    size_ = file_->Size();
    position_ = file_->Position();
}

int64_t FeedingSource::Read(uint8_t* dst, int64_t count) {
    const int64_t at = Position();
    int64_t got = 0;
    if (at < tailEnd_ && at >= tailEnd_ - std::ssize(tail_)) {  // the overlap, from memory
        got = std::min(count, tailEnd_ - at);
        std::memcpy(dst, tail_.data() + (at - (tailEnd_ - std::ssize(tail_))),
                    static_cast<size_t>(got));
    }
    if (got < count) {
        const int64_t more = file_->Read(dst + got, count - got);
        if (more < 0 && got == 0) got = -1;
        if (more > 0) got += more;
    }
    position_ = got > 0 ? at + got : at;
    if (got > 0) {
        const int64_t kept = std::min<int64_t>(got, kTail);
        tail_.assign(dst + got - kept, dst + got);
        tailEnd_ = at + got;
    }
    if (ended_) return got;
    if (got < 0 || at > handed_) {  // a gap the feed cannot bridge
        feed_.End();
        ended_ = true;
    } else if (at + got > handed_) {
        feed_.Offer(handed_, dst + (handed_ - at), static_cast<size_t>(at + got - handed_));
        handed_ = at + got;
    }
    return got;
}

bool FeedingSource::Seek(int64_t offset) {
    // Within the bytes just read, up to where the file stands: no need to move the file.
    if (offset <= tailEnd_ && offset >= tailEnd_ - std::ssize(tail_) &&
        file_->Position() == tailEnd_) {
        position_ = offset;
        return true;
    }
    tail_.clear();  // the file moves away from the bytes kept
    const bool done = file_->Seek(offset);
    position_ = file_->Position();
    return done;
}

// --- SharedRead

SharedRead::SharedRead(std::string path) : path_(std::move(path)) {
    thread_ = std::thread([this] { Run(); });
}

SharedRead::~SharedRead() {
    if (thread_.joinable()) Finish(true);
}

std::unique_ptr<SourceFile> SharedRead::Source(std::unique_ptr<SourceFile> file) {
    return std::make_unique<FeedingSource>(std::move(file), feed_);
}

void SharedRead::Run() {
    // Whatever happens here, the scan must never wait for this thread again.
    struct Leaving {
        Feed& feed;
        ~Leaving() { feed.Leave(); }
    } leaving{feed_};
    if (RecognizeKind(feed_.FirstBytes()) != "PDF") return;
    auto file = OpenSourceFile(path_);
    if (!file) return;
    try {
        Facts facts;
        pdf::Reader reader(*file, feed_);
        facts.pdf = ReadPdf(reader, facts.notes);
        if (!feed_.Abandoned()) facts_ = std::move(facts);
    } catch (const std::exception&) {
        // Out of memory: the facts are read again after the scan, the usual way.
    }
}

std::optional<Facts> SharedRead::Finish(bool abandon) {
    feed_.End(abandon);
    if (thread_.joinable()) thread_.join();
    if (abandon) return std::nullopt;
    return std::move(facts_);
}

}  // namespace zelk::preflight
