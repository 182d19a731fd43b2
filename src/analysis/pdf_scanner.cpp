// The PDF scanner: one forward walk over the bytes, without parsing the object structure,
// for the root page tree's count and the first MediaBox.
#include <cstring>
#include <string>
#include <string_view>

#include "analysis/analysis.h"
#include "analysis/dsc_text.h"

namespace zelk {

namespace {

constexpr int64_t kOverlap = 500;  // bytes each chunk repeats of the one before

class PdfScan {
  public:
    explicit PdfScan(Analysis& a) : a_(a) {}

    void Run() {
        for (;;) {
            Walk();
            if (a_.ChunkLength < kChunkSize) return;
            const int64_t next = a_.SourceStream->Position() - kOverlap;
            const int64_t got = a_.SourceStream->Seek(next)
                                    ? a_.SourceStream->Read(a_.ChunkBuffer.data(), kChunkSize)
                                    : -1;
            a_.ChunkLength = got < 0 ? 0 : static_cast<int32_t>(got);
            if (a_.StopRequested()) return;
        }
    }

  private:
    // Each test starts at a slash only where two bytes after it match: "/Type /Pages" has
    // "T" right after it and "P" seven on, "/MediaBox" "M" and "B" six on. The two tests are
    // independent, so each walks its own candidates, found by the rarer later byte: in most
    // jobs far fewer than the slashes, and none once its result is taken.
    void Walk() {
        gt_ = parent_ = typePages_ = count_ = digit_ = {};
        countFailsFrom_ = boxFailsFrom_ = 0;
        if (!a_.PagesFound)
            Candidates(
                'T', 'P', 7, [this] { PageCountTest(); }, a_.PagesFound);
        if (!a_.BoxFound)
            Candidates(
                'M', 'B', 6, [this] { MediaBoxTest(); }, a_.BoxFound);
    }

    template <typename Test>
    void Candidates(uint8_t next, uint8_t mark, int64_t distance, Test test, const bool& found) {
        const uint8_t* buffer = a_.ChunkBuffer.data();
        const int64_t length = a_.ChunkLength;
        for (int64_t q = distance + 1; q <= length && !found; ++q) {  // q: where `mark` stands
            const void* hit =
                std::memchr(buffer + q - 1, mark, static_cast<size_t>(length - q + 1));
            if (hit == nullptr) return;
            q = static_cast<const uint8_t*>(hit) - buffer + 1;
            const int64_t slash = q - distance;
            if (buffer[slash - 1] != '/' || buffer[slash] != next) continue;
            a_.ScanPos = static_cast<int32_t>(slash);
            test();
        }
    }

    // An item cut by the end of the chunk that began in its last 500 bytes is met whole in
    // the next chunk; any other cut item is evaluated as far as it goes.
    bool Defer() const {
        return a_.ChunkLength == kChunkSize && a_.ScanPos > a_.ChunkLength - kOverlap;
    }

    bool AtIs(int64_t i, uint8_t c) const { return a_.InChunk(i) && a_.At(i) == c; }

    // The first occurrence of `word` at chunk index `s` or after it, or ChunkLength + 1.
    // Candidates come in increasing order, and the answer found from one position holds for
    // every position up to it, so no byte is searched twice for the same word whatever the
    // file holds (1 MB of "/Type /Pages " without a ">" would otherwise cost every candidate
    // a search through the rest of its chunk).
    struct Found {
        int64_t from = 0;  // where the search that found `at` began; 0: none yet
        int64_t at = 0;
    };
    int64_t FirstFrom(Found& f, std::string_view word, int64_t s) const {
        if (f.from == 0 || s < f.from || s > f.at) {
            const std::string_view data(reinterpret_cast<const char*>(a_.ChunkBuffer.data()),
                                        static_cast<size_t>(a_.ChunkLength));
            const size_t at = data.find(word, static_cast<size_t>(s - 1));
            f = {s,
                 at == std::string_view::npos ? a_.ChunkLength + 1 : static_cast<int64_t>(at) + 1};
        }
        return f.at;
    }

    // The first digit at chunk index `p` or after it, or ChunkLength + 1; found as FirstFrom
    // finds words, so the two tests share one search.
    int64_t FirstDigitFrom(int64_t p) {
        if (digit_.from == 0 || p < digit_.from || p > digit_.at) {
            int64_t at = p;
            while (at <= a_.ChunkLength && !IsDigit(a_.At(at))) ++at;
            digit_ = {p, at};
        }
        return digit_.at;
    }

    // Reads one unsigned number from chunk index `p` on: non-digits are passed over until a
    // digit comes; the first non-digit after digits ends it and is left at `p`. At the end of
    // the data a pending number counts, unless the item is to be met whole in the next chunk.
    bool NumberFrom(int64_t& p, int32_t& value) {
        p = FirstDigitFrom(p);  // what stands before the number is passed over
        IntegerReader reader(a_.Token);
        for (; a_.InChunk(p); ++p)
            if (reader.Feed(a_.At(p), value)) return true;
        return !Defer() && reader.Flush(value);
    }

    // Reads numbers from `p` as NumberFrom does, unless a read from `failsFrom` or before
    // already ran out of data: from further on fewer numbers can only remain.
    bool NumbersFrom(int64_t p, int32_t* numbers, int n, int64_t& failsFrom) {
        if (failsFrom != 0 && p >= failsFrom) return false;
        const int64_t from = p;
        for (int i = 0; i < n; ++i) {
            if (NumberFrom(p, numbers[i])) continue;
            if (failsFrom == 0 || from < failsFrom) failsFrom = from;
            return false;
        }
        return true;
    }

    // The root of the page tree: a "/Type /Pages" dictionary without "Parent".
    void PageCountTest() {
        const int64_t s = a_.ScanPos;
        if (!AtIs(s + 1, 'T') || !AtIs(s + 7, 'P')) return;
        a_.Token.clear();
        // The dictionary's text runs from the slash up to the next ">", within the chunk.
        const int64_t end = FirstFrom(gt_, ">", s);
        const bool cut = end > a_.ChunkLength;
        if (cut && Defer()) return;
        const auto inText = [&](Found& f, std::string_view word) {
            const int64_t at = FirstFrom(f, word, s);
            return at + static_cast<int64_t>(word.size()) <= end ? at : 0;
        };
        if (inText(parent_, "Parent") != 0 || inText(typePages_, "/Type /Pages") == 0) return;
        const int64_t at = inText(count_, "/Count");
        // A dictionary cut by a chunk end may hold its "/Count" in the part not read yet; at
        // the end of the file nothing more can come, so it is evaluated as far as it goes.
        if (cut && at == 0 && a_.ChunkLength == kChunkSize) return;
        // Without "/Count" the digits are sought from the sixth byte after the slash of "/Type".
        const int64_t from = (at == 0 ? s : at + 1) + 6;
        int32_t count = 0;
        if (!NumbersFrom(from, &count, 1, countFailsFrom_)) return;  // no digits in the data
        a_.PageCount = count;
        a_.PagesFound = true;
        a_.HandOff(&Presenter::ShowPageCount);
    }

    // The first "/MediaBox": four unsigned whole numbers, whatever stands between them.
    void MediaBoxTest() {
        const int64_t s = a_.ScanPos;
        if (!AtIs(s + 1, 'M') || !AtIs(s + 6, 'B') || !MatchAt(a_, s + 1, "MediaBox")) return;
        int32_t numbers[4] = {};
        if (!NumbersFrom(s + 10, numbers, 4, boxFailsFrom_)) return;  // a box cut short is none
        a_.PageWidth = numbers[2] - numbers[0];
        a_.PageHeight = numbers[3] - numbers[1];
        a_.HandOff(&Presenter::ShowPageGeometry);
        a_.BoxFound = true;
    }

    Analysis& a_;
    Found gt_, parent_, typePages_, count_, digit_;  // of the chunk at hand
    int64_t countFailsFrom_ = 0;                     // 0: no read has run out of data yet
    int64_t boxFailsFrom_ = 0;
};

}  // namespace

void ScanPdf(Analysis& a) {
    PdfScan(a).Run();
}

}  // namespace zelk
