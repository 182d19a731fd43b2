// The DSC scanner: walks a PostScript file chunk by chunk and dispatches its "%%" comments.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "analysis/analysis.h"

namespace zelk {

inline constexpr std::string_view kMirrorOperator = "-1 1 scale";

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
