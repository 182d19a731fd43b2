// The analysis record: everything known about the file under analysis.
// The scan thread writes it; the main thread reads it inside hand-offs and paint handlers.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "analysis/source_file.h"

namespace zelk {

inline constexpr int32_t kChunkSize = 65536;
inline constexpr int64_t kBigFileLimit = 1000000;  // bytes; larger files are "big"
inline constexpr int kMaxSpotColours = 120;
inline constexpr size_t kShortTextMax = 255;

// A short text holds at most `max` characters; longer values are cut.
inline std::string CutShort(std::string text, size_t max = kShortTextMax) {
    if (text.size() > max) text.resize(max);
    return text;
}

// The report's line ending: line feed, then carriage return.
inline constexpr const char* kLineEnd = "\n\r";

struct AnalysisRecord {
    // File and chunk
    std::string SourcePath;
    std::unique_ptr<SourceFile> SourceStream;
    std::array<uint8_t, kChunkSize> ChunkBuffer{};
    int32_t ChunkLength = 0;
    bool BigFile = false;
    std::string FileSizeText;
    std::string DocKind;
    std::string TiffByteOrder;
    int32_t ScanPos = 0;
    std::string Token;

    // The chunk is addressed from 1 by the scanners; any index outside the valid
    // data reads as absent, so no scanner can read past what the file gave.
    bool InChunk(int64_t index) const { return index >= 1 && index <= ChunkLength; }
    uint8_t At(int64_t index) const { return ChunkBuffer[static_cast<size_t>(index - 1)]; }

    // Page results
    int32_t PageWidth = 0;
    int32_t PageHeight = 0;
    int32_t PageCount = 0;
    std::string PageName;
    bool Mirrored = false;

    // Colour results; index 0 of the spot tables is unused, as the tables count from 1
    std::array<bool, 4> ProcessInks{};
    int32_t ProcessColourCount = 0;
    int32_t SpotColourCount = 0;
    std::array<std::string, kMaxSpotColours + 1> SpotColourNames{};
    std::array<std::array<double, 4>, kMaxSpotColours + 1> SpotColourValues{};
    std::string ProcessColourText;
    bool Separated = true;
    bool SeparationKnown = false;
    bool ResourcesStarted = false;
    // Resources found and not yet handed off, each marked when it starts the list anew (the
    // first of a scan): the resources hand-off takes them all at once.
    struct NeededResource {
        std::string name;
        bool startsList;
    };
    std::vector<NeededResource> NewResources;

    // TIFF results
    std::string TiffReport;
    std::string TiffColourText;
    bool TiffMultiPage = false;

    // Per-run flags of the scan run
    bool BoxFound = false;
    bool PagesFound = false;
    bool GaveUp = false;  // the scan ended at the damaged-file message
};

}  // namespace zelk
