// What an unattended preflight asks of a job beyond what the window shows: the fonts, inks,
// boxes and info a PDF declares (also inside compressed object streams), a TIFF's
// orientation, inks and profile, an EPS's fine bounding box and media, and whether the page
// fits the imagesetter. Only zelk-inspect links this: the window's analysis reads no
// compressed data, by design.
//
// Everything here is what the file declares, not what its pages paint: a declared but unused
// spot colour is listed, a colour painted by a content stream without a colour space is not.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "analysis/source_file.h"

namespace zelk::preflight {

namespace pdf {
class Reader;
}

// What one object stream may inflate to: a decompression bomb stops here.
inline constexpr int64_t kMaxInflated = 16 << 20;

using Box = std::array<double, 4>;  // left, bottom, right, top, in points

struct PdfFont {
    std::string name;      // /BaseFont, subset prefix ("ABCDEF+") kept
    std::string subtype;   // /Subtype: Type1, TrueType, Type0, ...
    std::string fontFile;  // the key that embeds it (FontFile, FontFile2, FontFile3), or empty
    bool operator==(const PdfFont&) const = default;
};

struct PdfFacts {
    std::optional<int64_t> pages;  // /Count of the page tree's root
    // The first page's boxes; MediaBox, CropBox and Rotate inherited from the page tree.
    std::optional<Box> mediaBox, cropBox, bleedBox, trimBox;
    int32_t rotate = 0;
    bool firstPageFound = false;
    std::vector<std::string> spots;        // /Separation and /DeviceN colourants
    std::vector<std::string> processInks;  // Cyan, Magenta, Yellow, Black named there
    std::vector<PdfFont> fonts;            // in the order met, each name and file once
    std::optional<std::string> title, creator, producer;  // the Info dictionary's, as UTF-8
    int32_t objectStreams = 0;                            // object streams read
    bool encrypted = false;
    bool operator==(const PdfFacts&) const = default;
};

struct TiffFacts {
    std::optional<int32_t> orientation;  // tag 274
    std::optional<int32_t> inkSet;       // tag 332: 1 CMYK, 2 not CMYK
    std::vector<std::string> inkNames;   // tag 333
    bool iccProfile = false;             // tag 34675
    int32_t images = 0;                  // directories in the file
};

struct DocumentMedium {
    std::string name, colour, type;
    double width = 0, height = 0, weight = 0;
};

struct DscFacts {
    std::optional<Box> hiResBoundingBox;
    std::vector<DocumentMedium> media;
};

struct Facts {
    std::optional<PdfFacts> pdf;
    std::optional<TiffFacts> tiff;
    std::optional<DscFacts> dsc;
    std::vector<std::string> notes;  // what was skipped as damaged or too big, and why
};

// Reads the facts of a file of `kind` ("PS", "EPS", "PDF" or "TIF", as recognition names
// it) from `file`, whose position it moves. Damage is noted, never thrown.
Facts Read(SourceFile& file, const std::string& kind);

// Readers of each kind, for the tests and fuzz targets.
PdfFacts ReadPdf(SourceFile& file, std::vector<std::string>& notes);
PdfFacts ReadPdf(pdf::Reader& reader, std::vector<std::string>& notes);
TiffFacts ReadTiff(SourceFile& file, std::vector<std::string>& notes);
DscFacts ReadDsc(SourceFile& file, std::vector<std::string>& notes);

// The page the PDF's first page shows, turned by /Rotate: the CropBox within the MediaBox.
// Zero width and height when neither box is known.
struct PageSize {
    double width = 0, height = 0;
};
PageSize PdfPageSize(const PdfFacts& pdf);

enum class Verdict { Unknown, Fits, FitsTurned, TooBig };

// The page against the output format: "Fast scan" across (the page's width), "Slow scan"
// along. Margins are what is left on each axis in the orientation chosen; a negative margin
// is the overhang. A page too big either way is given in the orientation it overhangs least.
struct Fit {
    Verdict verdict = Verdict::Unknown;
    bool turned = false;
    double fastScanMargin = 0, slowScanMargin = 0;
};
Fit FitOnFormat(PageSize page, double fastScan, double slowScan);

const char* VerdictName(Verdict verdict);
// The name of a TIFF orientation (1 to 8), and whether it mirrors the image.
const char* OrientationName(int32_t orientation);
bool OrientationMirrors(int32_t orientation);

}  // namespace zelk::preflight
