// DSC handlers for the page: bounding box, page-size name, page count, mirror, first trailer.
#include "analysis/dsc_scanner.h"
#include "analysis/dsc_text.h"

namespace zelk {

namespace {

// Reads integers from chunk index `from` to the end of its line (the line break itself
// still completes a pending number); calls `take` for each. At the end of the file's data
// a pending number is complete too.
template <typename Take>
void ReadLineIntegers(AnalysisRecord& r, int64_t from, Take take) {
    IntegerReader reader(r.Token);
    int32_t value = 0;
    int64_t p = from;
    for (; r.InChunk(p) && !IsLineBreak(r.At(p - 1)); ++p)
        if (reader.Feed(r.At(p), value)) take(value);
    if (!r.InChunk(p) && r.ChunkLength < kChunkSize && reader.Flush(value)) take(value);
}

}  // namespace

void DscScan::OnBoundingBox() {
    if (ReadDscText(a_, a_.ScanPos + kBoundingBoxValue, 80).find("atend") != std::string::npos)
        return;
    // The four numbers may run on into the lines that follow, but never past the data.
    IntegerReader reader(a_.Token);
    int count = 0;
    auto apply = [&](int32_t v) {
        switch (++count) {
            case 1:
                a_.PageWidth = -v;
                break;
            case 2:
                a_.PageHeight = -v;
                break;
            case 3:
                a_.PageWidth += v;
                break;
            case 4:
                a_.PageHeight += v;
                break;
        }
    };
    int32_t value = 0;
    for (int64_t p = a_.ScanPos + kBoundingBoxValue + 1; count < 4 && a_.InChunk(p); ++p)
        if (reader.Feed(a_.At(p), value)) apply(value);
    if (count < 4 && LastChunk() && reader.Flush(value)) apply(value);
    if (count < 4) return;  // cut by the end of the data: a later box may still be taken
    a_.HandOff(&Presenter::ShowPageGeometry);
    a_.BoxFound = true;
}

void DscScan::OnPageSize() {
    PageSizeFound = true;
    a_.PageName = CutShort(TrimControls(ReadDscText(a_, a_.ScanPos + kPageSizeValue, 80)));
    a_.HandOff(&Presenter::ShowPageName);
}

void DscScan::OnPages() {
    if (ReadDscText(a_, a_.ScanPos + kPagesValue, 80).find("atend") != std::string::npos) return;
    ReadLineIntegers(a_, a_.ScanPos + kPagesValue + 1, [&](int32_t v) { a_.PageCount = v; });
    ShowPageCountNow();
    a_.PagesFound = true;
}

void DscScan::OnPage() {
    int32_t ordinal = 0;
    ReadLineIntegers(a_, a_.ScanPos + kPageValue, [&](int32_t v) { ordinal = v; });
    if (ordinal > a_.PageCount) a_.PageCount = ordinal;
    ShowPageCountNow();  // Pag counts up with the pages, as often as refreshes are carried
}

void DscScan::ShowPageCountNow() {
    if (a_.PageCount == shownPageCount_) return;  // Pag already shows it
    shownPageCount_ = a_.PageCount;
    a_.HandOffRefresh(&Presenter::ShowPageCount);
}

bool DscScan::MirrorTest() {
    const int64_t p = a_.ScanPos;
    if (a_.At(p) != '-' || !a_.InChunk(p + 8) || a_.At(p + 8) != 'l') return false;
    if (ReadDscText(a_, p, 10) != kMirrorOperator) return false;
    MirrorSearchClosed = true;
    a_.Mirrored = true;
    a_.HandOff(&Presenter::ShowEmulsionMark);
    return true;
}

void DscScan::OnFirstPageTrailer() {
    // The page-level searches look only at the prolog, the setup and the first page.
    MirrorSearchClosed = true;
    a_.HandOff(&Presenter::ShowEmulsionMark);
    // Carried now, not coalesced: this summary shows the colours before the verdict is known.
    a_.HandOff(&Presenter::ShowColourSummary);
    a_.SeparationKnown = true;
    PageSizeFound = true;
    TrailerSeen = true;
}

}  // namespace zelk
