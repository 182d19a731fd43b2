// The walk of the DSC scanner: passes, restart points, the keyword dispatch and the finish.
#include "analysis/dsc_scanner.h"

#include <algorithm>
#include <cstring>

#include "analysis/dsc_text.h"

namespace zelk {

void ScanDsc(Analysis& a) {
    DscScan(a).Run();
}

bool DscScan::Match(int64_t offset, std::string_view word) const {
    return MatchAt(a_, a_.ScanPos + offset, word);
}

void DscScan::Run() {
    a_.PageCount = 0;
    a_.SpotColourCount = 0;
    a_.ProcessInks = {};
    a_.Separated = true;
    a_.SeparationKnown = false;
    a_.Mirrored = false;
    a_.ResourcesStarted = false;
    a_.NewResources.clear();
    chunkStart_ = 0;
    int64_t resumeOffset = 0;  // file offset of the first byte no pass has examined yet
    for (;;) {
        // The first two passes of a big file take the header and the trailer; every other
        // pass continues from a restart point, the start of the last whole line of the chunk,
        // so a comment the chunk end cuts is met whole in the next chunk.
        const bool seekRestart = !(a_.BigFile && (Pass == 1 || Pass == 2));
        const int64_t restart = seekRestart && !LastChunk() ? FindRestart() : 0;
        const int64_t deferFrom = restart > 0 ? FirstCut(restart + 1) : a_.ChunkLength + 1;
        const int64_t first = std::max<int64_t>(1, resumeOffset - chunkStart_ + 1);
        int64_t examinedTo = deferFrom - 1;
        bool endedEarly = false;
        if (a_.BigFile && Pass == 2) {
            BackwardPass();
        } else if (ForwardPass(first, deferFrom - 1)) {
            examinedTo = a_.ScanPos;
            endedEarly = true;
        }
        // A first page trailer that the first chunk's end cut ends pass 4 in place of pass 3.
        // What follows it is then what pass 4 reads: this chunk again, on from the trailer.
        const bool afterCutTrailer = endedEarly && a_.BigFile && Pass == 4;

        if (LastChunk() && !afterCutTrailer) return Finish();
        if (WholeFileQuestionFinishes()) {
            // No chunk follows to read the deferred tail whole: take it as it stands.
            if (examinedTo == deferFrom - 1) ForwardPass(deferFrom, a_.ChunkLength);
            return Finish();
        }
        // Stop only between chunks: a half-scanned chunk would leave the results inconsistent.
        if (a_.StopRequested()) return;

        int64_t next = a_.SourceStream->Position();
        if (afterCutTrailer)
            next = chunkStart_;
        else if (a_.BigFile && Pass == 1)
            next = a_.SourceStream->Size() - kChunkSize;
        else if (restart > 0)
            next = chunkStart_ + restart;
        else if (a_.BigFile && Pass == 2)
            next = 0;
        // The next chunk overlaps this one only when it starts at the restart point; what
        // this pass examined there is not examined again.
        resumeOffset = restart > 0 || afterCutTrailer ? chunkStart_ + examinedTo : 0;
        if (!SeekAndRead(next)) a_.ChunkLength = 0;
        ++Pass;
    }
}

// Whether examining a "%" at chunk index p would need bytes past the chunk: its text runs
// to the chunk end without the line break that ends it (and the four bytes after that break,
// which tell a continuation line from the next comment).
bool DscScan::CommentCut(int64_t p) const {
    for (int64_t q = p + 1; q + 4 <= a_.ChunkLength; ++q)
        if (IsLineBreak(a_.At(q)) && ReadDscText(a_, q, 1).empty()) return false;
    return true;
}

// The first index from `from` on whose examination the chunk end cuts, or ChunkLength + 1.
// Comments, a mirror operator and a header line break can each be cut.
int64_t DscScan::FirstCut(int64_t from) const {
    const int64_t last = a_.ChunkLength;
    for (int64_t p = from; p <= last; ++p) {
        const uint8_t c = a_.At(p);
        if (c == '%' && (p == last || a_.At(p + 1) == '%') && CommentCut(p)) return p;
        if (c == '-' && p + static_cast<int64_t>(kMirrorOperator.size()) - 1 > last &&
            MatchAt(a_, p, kMirrorOperator.substr(0, static_cast<size_t>(last - p + 1))))
            return p;
        if (p == last && IsLineBreak(c)) return p;
    }
    return last + 1;
}

bool DscScan::SeekAndRead(int64_t offset) {
    if (offset != a_.SourceStream->Position() && !a_.SourceStream->Seek(offset)) return false;
    ReadChunk();
    return true;
}

void DscScan::ReadChunk() {
    chunkStart_ = a_.SourceStream->Position();
    const int64_t got = a_.SourceStream->Read(a_.ChunkBuffer.data(), kChunkSize);
    a_.ChunkLength = got < 0 ? 0 : static_cast<int32_t>(got);
}

int64_t DscScan::FindRestart() const {
    const int64_t last = a_.ChunkLength;
    for (int64_t i = last - 8; i >= last - 254 && i >= 1; --i)
        if (IsLineBreak(a_.At(i)) && ReadDscText(a_, i, 5).find('+') == std::string::npos) return i;
    return 0;
}

namespace {

bool Interesting(uint8_t c, bool mirrorOpen, bool headerOpen) {
    return c == '%' || (mirrorOpen && c == '-') || (headerOpen && IsLineBreak(c));
}

}  // namespace

// The next chunk index from `from` on where the mirror operator stands whole in the valid
// data, or `last` + 1. Only there can the mirror test succeed, so a "-" anywhere else needs
// no look.
int64_t DscScan::NextMirror(int64_t from, int64_t last) const {
    const std::string_view data(reinterpret_cast<const char*>(a_.ChunkBuffer.data()),
                                static_cast<size_t>(a_.ChunkLength));
    const size_t at = data.find(kMirrorOperator, static_cast<size_t>(from - 1));
    return at == std::string_view::npos ? last + 1
                                        : std::min(static_cast<int64_t>(at) + 1, last + 1);
}

bool DscScan::ForwardPass(int64_t first, int64_t last) {
    const uint8_t* buffer = a_.ChunkBuffer.data();
    int64_t mirror = 0;  // the next mirror operator at or after p, once sought
    int64_t p = first;
    while (p <= last) {
        // Skip in bulk what cannot start anything: once the header is over, only a "%" or,
        // while its search is open, the mirror operator can.
        if (HeaderEnded) {
            const void* hit = std::memchr(buffer + p - 1, '%', static_cast<size_t>(last - p + 1));
            int64_t next =
                hit == nullptr ? last + 1 : static_cast<const uint8_t*>(hit) - buffer + 1;
            if (!MirrorSearchClosed) {
                if (mirror < p) mirror = NextMirror(p, last);
                next = std::min(next, mirror);
            }
            if (next > last) break;
            p = next;
        } else {
            while (p <= last && !Interesting(buffer[p - 1], !MirrorSearchClosed, !HeaderEnded)) ++p;
            if (p > last) break;
        }
        a_.ScanPos = static_cast<int32_t>(p);
        if (Examine()) return true;
        ++p;
    }
    return false;
}

bool DscScan::BackwardPass() {
    for (int64_t p = a_.ChunkLength - 2; p >= 1; --p) {
        a_.ScanPos = static_cast<int32_t>(p);
        if (Examine()) return true;
    }
    return false;
}

// One position; true when the pass ends here.
bool DscScan::Examine() {
    const int64_t p = a_.ScanPos;
    if (a_.At(p) != '%') return OtherByte();
    if (!a_.InChunk(p + 1) || a_.At(p + 1) != '%') return false;
    return Dispatch();
}

bool DscScan::Dispatch() {
    if (!HeaderEnded) {
        ShowHeaderComment();
        if (Match(kKeywordAt, "EndComments")) {
            HeaderEnded = true;
            return EndsPass(1);
        }
    }
    if (a_.BigFile && Pass == 2 && Match(kKeywordAt, "PageTrailer")) return OnLastPageTrailer();
    if (!TrailerSeen && Match(kKeywordAt, "PageTrailer")) {
        OnFirstPageTrailer();
        // Pass 3 reads the first chunk again up to the first page trailer; a trailer that the
        // chunk end cut is met at the start of pass 4 and ends that pass instead.
        // The keyword's last byte, at ScanPos + 12, decides which chunk holds the keyword.
        return EndsPass(3) || (EndsPass(4) && chunkStart_ + a_.ScanPos + 12 <= kChunkSize);
    }
    if (!a_.SeparationKnown) {
        if (Match(kKeywordAt, "PlateColor")) {
            OnSeparation(true);
            return false;
        }
        if (Match(kKeywordAt, "PageProcessColors") || Match(kKeywordAt, "PageSpotColors")) {
            OnSeparation(false);
            return false;
        }
    }
    if (!a_.ResourcesStarted && Match(kKeywordAt, "DocumentNeededResources")) {
        OnNeededResources();
    } else if (!PageSizeFound && Match(kKeywordAt, "BeginF") &&
               Match(kPageSizeFeatureAt, "eature: *PageSize")) {
        OnPageSize();
    } else if (!a_.BoxFound && Match(kKeywordAt, "BoundingBox")) {
        OnBoundingBox();
    } else if (!a_.PagesFound && Match(kKeywordAt, "Pages")) {
        OnPages();
    } else if (!a_.PagesFound && Match(kKeywordAt, "Page:")) {
        OnPage();
    } else if (CollectColours && Match(kKeywordAt, "RGBCustomColor")) {
        OnCustomColour(true);
    } else if (CollectColours && Match(kKeywordAt, "CMYKCustomColor")) {
        OnCustomColour(false);
    } else if (CollectColours && Match(kKeywordAt, "DocumentProcessColors")) {
        OnProcessColours();
    }
    return false;
}

bool DscScan::OtherByte() {
    if (!MirrorSearchClosed && MirrorTest()) return false;
    const int64_t p = a_.ScanPos;
    // The header ends at the first line that does not begin with "%"; blank lines do not end it.
    if (!HeaderEnded && IsLineBreak(a_.At(p)) && a_.InChunk(p + 1)) {
        const uint8_t next = a_.At(p + 1);
        if (!IsLineBreak(next) && next != '%') {
            HeaderEnded = true;
            return EndsPass(1);
        }
    }
    return false;
}

bool DscScan::WholeFileQuestionFinishes() {
    if (!(MayAsk && a_.BigFile && MirrorSearchClosed && a_.SeparationKnown && a_.PagesFound))
        return false;
    if (!CollectColours) return true;  // header and trailer gave the colours
    const Answer answer = a_.Ask({BoxType::Confirm,
                                  "The file header has no color declaration.\n\rWould You like to "
                                  "scan whole file for color names?",
                                  Buttons::YesNo, Question::WholeFile});
    if (answer != Answer::Yes) return true;
    MayAsk = false;
    return false;
}

void DscScan::Finish() {
    if (!TrailerSeen) a_.HandOff(&Presenter::ShowEmulsionMark);
}

namespace {

struct HeaderComment {
    std::string_view keyword;
    int offset;  // of the value from the comment's first "%"
    std::string_view prefix;
};

constexpr HeaderComment kHeaderComments[] = {
    {"Title:", 8, "*Made from - "},
    {"LanguageLevel", 16, "*PostScript Level "},
    {"CreationDate", 15, "*Date: "},
    {"Creator", 10, "*Coded by "},
    {"TargetDevice", 15, "*Target device - "},
    {"For", 6, "*Work by "},
    {"DocumentP", 26, "*Print on "},  // ...rinterRequired, checked below
    {"DocumentData", 15, "*Document data is "},
};

}  // namespace

void DscScan::ShowHeaderComment() {
    for (const auto& h : kHeaderComments) {
        if (!Match(kKeywordAt, h.keyword)) continue;
        if (h.keyword == "DocumentP" && !Match(kPrinterRequiredAt, "rinterRequired")) continue;
        const std::string value = TrimControls(ReadDscText(a_, a_.ScanPos + h.offset, 80));
        a_.HandOffReportLine(std::string(h.prefix) + value + kLineEnd);
        return;
    }
}

}  // namespace zelk
