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

    // Reads one unsigned number from chunk index `p` on: non-digits are passed over until a
    // digit comes; the first non-digit after digits ends it and is left at `p`. At the end of
    // the data a pending number counts, unless the item is to be met whole in the next chunk.
    bool NumberFrom(int64_t& p, int32_t& value) {
        IntegerReader reader(a_.Token);
        for (; a_.InChunk(p); ++p)
            if (reader.Feed(a_.At(p), value)) return true;
        return !Defer() && reader.Flush(value);
    }

    // The root of the page tree: a "/Type /Pages" dictionary without "Parent".
    void PageCountTest() {
        const int64_t s = a_.ScanPos;
        if (!AtIs(s + 1, 'T') || !AtIs(s + 7, 'P')) return;
        a_.Token.clear();
        // The dictionary's text from the slash up to the next ">", within the chunk.
        const std::string_view rest(reinterpret_cast<const char*>(a_.ChunkBuffer.data()) + s - 1,
                                    static_cast<size_t>(a_.ChunkLength - s + 1));
        const size_t end = rest.find('>');
        const bool cut = end == std::string_view::npos;
        const std::string_view text = rest.substr(0, end);
        if (cut && Defer()) return;
        if (text.find("Parent") != std::string_view::npos ||
            text.find("/Type /Pages") == std::string_view::npos)
            return;
        const auto at = text.find("/Count");
        // A dictionary cut by a chunk end may hold its "/Count" in the part not read yet; at
        // the end of the file nothing more can come, so it is evaluated as far as it goes.
        if (cut && at == std::string_view::npos && a_.ChunkLength == kChunkSize) return;
        // Without "/Count" the digits are sought from the sixth byte after the slash of "/Type".
        int64_t from = s + (at == std::string_view::npos ? 0 : static_cast<int64_t>(at) + 1) + 6;
        int32_t count = 0;
        if (!NumberFrom(from, count)) return;  // no digits before the end of the data
        a_.PageCount = count;
        a_.PagesFound = true;
        a_.HandOff(&Presenter::ShowPageCount);
    }

    // The first "/MediaBox": four unsigned whole numbers, whatever stands between them.
    void MediaBoxTest() {
        const int64_t s = a_.ScanPos;
        if (!AtIs(s + 1, 'M') || !AtIs(s + 6, 'B') || !MatchAt(a_, s + 1, "MediaBox")) return;
        int32_t numbers[4] = {};
        int64_t p = s + 10;
        for (int32_t& n : numbers)
            if (!NumberFrom(p, n)) return;  // a box cut short is no box
        a_.PageWidth = numbers[2] - numbers[0];
        a_.PageHeight = numbers[3] - numbers[1];
        a_.HandOff(&Presenter::ShowPageGeometry);
        a_.BoxFound = true;
    }

    Analysis& a_;
};

}  // namespace

void ScanPdf(Analysis& a) {
    PdfScan(a).Run();
}

}  // namespace zelk
