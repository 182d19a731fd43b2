// The DSC scanner: walks a PostScript file chunk by chunk and dispatches its "%%" comments.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "analysis/analysis.h"

namespace zelk {

inline constexpr std::string_view kMirrorOperator = "-1 1 scale";

// Offsets from a comment's first "%": the keyword stands right after "%%", and each value is
// read from a fixed place, just after the keyword and its colon, whatever stands there.
inline constexpr int kKeywordAt = 2;
inline constexpr int kPageSizeFeatureAt = 8;     // "eature: *PageSize" of "%%BeginFeature:"
inline constexpr int kPrinterRequiredAt = 11;    // "rinterRequired" of "%%DocumentPrinter..."
inline constexpr int kBoundingBoxValue = 13;     // "%%BoundingBox" then ":"
inline constexpr int kPagesValue = 7;            // "%%Pages" then ":"
inline constexpr int kPageValue = 7;             // "%%Page:"
inline constexpr int kProcessColoursValue = 23;  // "%%DocumentProcessColors"
inline constexpr int kResourcesValue = 26;       // "%%DocumentNeededResources:"
inline constexpr int kPageSizeValue = 26;        // "%%BeginFeature: *PageSize "
inline constexpr int kRgbColourValue = 17;       // "%%RGBCustomColor:"
inline constexpr int kCmykColourValue = 18;      // "%%CMYKCustomColor:"

class DscScan {
  public:
    explicit DscScan(Analysis& a) : a_(a) {}
    void Run();

  private:
    // Machinery
    bool ForwardPass(int64_t first, int64_t last);
    int64_t NextMirror(int64_t from, int64_t last) const;
    bool BackwardPass();
    bool Examine();
    bool Dispatch();
    bool OtherByte();
    int64_t FindRestart() const;
    int64_t FirstCut(int64_t from) const;
    bool CommentCut(int64_t p) const;
    void ReadChunk();
    bool SeekAndRead(int64_t offset);
    bool WholeFileQuestionFinishes();
    void Finish();
    bool EndsPass(int32_t pass) const { return a_.BigFile && Pass == pass; }
    bool Match(int64_t offset, std::string_view word) const;
    bool LastChunk() const { return a_.ChunkLength < kChunkSize; }

    // Header comments
    void ShowHeaderComment();

    // Page geometry and count
    void OnBoundingBox();
    void OnPageSize();
    void OnPages();
    void OnPage();
    bool MirrorTest();
    void OnFirstPageTrailer();
    void ShowPageCountNow();

    // Colours
    void OnSeparation(bool separated);
    void OnProcessColours();
    void OnCustomColour(bool rgb);
    int64_t ReadOneColour(int64_t valueStart, const std::string& value, bool rgb);
    bool OnLastPageTrailer();
    void ShowColourSummary();

    // Resources
    void OnNeededResources();

    Analysis& a_;
    int32_t Pass = 1;
    bool HeaderEnded = false;
    bool TrailerSeen = false;
    bool MirrorSearchClosed = false;
    bool PageSizeFound = false;
    bool CollectColours = true;
    bool MayAsk = true;

    int64_t chunkStart_ = 0;       // file offset of chunk index 1
    int32_t shownPageCount_ = -1;  // what Pag shows, so an unchanged count is not handed off
};

}  // namespace zelk
