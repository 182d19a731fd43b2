// The TIFF scanner: the header and the first image directory, read at absolute offsets.
// Every offset and count comes from the file, so each read is checked against its size.
#include <array>
#include <string>

#include "analysis/analysis.h"
#include "analysis/numeric.h"

namespace zelk {

namespace {

constexpr size_t kSmallBuffer = 254;

// The tags of TIFF 6.0 that the scan reads; the text tags are in the table below.
enum TiffTag : uint32_t {
    kImageWidth = 256,
    kImageLength = 257,
    kBitsPerSample = 258,
    kCompression = 259,
    kPhotometric = 262,
    kXResolution = 282,
    kYResolution = 283,
    kResolutionUnit = 296,
};
constexpr uint32_t kTypeShort = 3;  // a value of 2 bytes; otherwise read as 4
constexpr int64_t kEntrySize = 12;
constexpr int64_t kMaxEntries = (kChunkSize - 4) / kEntrySize;  // with the next-IFD offset

const char* CompressionName(uint32_t value) {
    switch (value) {
        case 1:
            return "off";
        case 2:
            return "CCITT 1D";
        case 3:
            return "Group 3 Fax";
        case 4:
            return "Group 4 Fax";
        case 5:
            return "LZW";
        case 6:
            return "JPEG";
        case 32773:
            return "PackBits";
        default:
            return "";
    }
}

// Values 0 and 1 name black and white when the first sample size starts with "1" or less.
std::string ColourModelName(uint32_t photometric, const std::string& bitsText) {
    const bool bilevel = !bitsText.empty() && static_cast<uint8_t>(bitsText[0]) <= '1';
    switch (photometric) {
        case 0:
            return bilevel ? "B&W (W=0) " : "Grayscale (W=0) ";
        case 1:
            return bilevel ? "B&W (B=0) " : "Grayscale (B=0) ";
        case 2:
            return "RGB ";
        case 3:
            return "Indexed RGB ";
        case 4:
            return "Alpha ";
        case 5:
            return "CMYK ";
        case 6:
            return "YCbCr ";
        case 8:
            return "CIE L*a*b* ";
        default:
            return "";
    }
}

struct TextTag {
    uint32_t tag;
    const char* prefix;
    int32_t maxLength;
};

// ImageDescription, Make, Model, Software, DateTime, Artist, HostComputer, TargetPrinter,
// Copyright: each gives a report line.
constexpr std::array<TextTag, 9> kTextTags{{
    {270, "*", 50},
    {271, "*Source - ", 40},
    {272, "*", 25},
    {305, "*Software - ", 38},
    {306, "*Date: ", 20},
    {315, "*Work by ", 16},
    {316, "*Host - ", 16},
    {337, "*Print on ", 15},
    {33432, "\xA9", 40},  // the copyright sign, in the ANSI code page
}};

// A failure that ends the scan with the damaged-file message.
struct Damaged {};

class TiffScan {
  public:
    explicit TiffScan(Analysis& a) : a_(a), mac_(a.TiffByteOrder == "Mac") {}

    void Run() {
        a_.TiffMultiPage = false;
        a_.TiffReport.clear();
        try {
            ReadDirectory();
            Report();
        } catch (const Damaged&) {
            a_.ReportDamaged();
        }
    }

  private:
    // Reads `count` bytes at the absolute `offset` (an unsigned 32-bit value in the file),
    // or nothing when they do not all lie inside the file.
    bool ReadAt(uint32_t offset, int64_t count, uint8_t* buffer) {
        if (count < 0 || static_cast<int64_t>(offset) + count > a_.SourceStream->Size())
            return false;
        if (!a_.SourceStream->Seek(offset)) return false;
        return a_.SourceStream->Read(buffer, count) == count;
    }

    void ReadOrDamaged(uint32_t offset, int64_t count, uint8_t* buffer) {
        if (!ReadAt(offset, count, buffer)) throw Damaged{};
    }

    // The 2- or 4-byte integer at 1-based `index` of `buffer`, in the file's byte order.
    uint32_t GetInt(const uint8_t* buffer, int64_t index, int length) const {
        uint32_t value = 0;
        for (int k = 0; k < length; ++k) {
            const uint8_t byte = buffer[index - 1 + (mac_ ? k : length - 1 - k)];
            value = (value << 8) | byte;
        }
        return value;
    }
    int32_t GetSigned(const uint8_t* buffer, int64_t index) const {
        return static_cast<int32_t>(GetInt(buffer, index, 4));
    }

    const uint8_t* Chunk() const { return a_.ChunkBuffer.data(); }

    void ReadDirectory() {
        ReadOrDamaged(4, 4, small_.data());
        const uint32_t ifd = GetInt(small_.data(), 1, 4);
        ReadOrDamaged(ifd, 2, small_.data());
        const int64_t entries = GetInt(small_.data(), 1, 2);
        // A directory larger than the chunk buffer cannot be held: no real image has one.
        if (entries > kMaxEntries) throw Damaged{};
        ReadOrDamaged(ifd + 2u, entries * kEntrySize + 4, a_.ChunkBuffer.data());
        for (int64_t e = 1; e <= entries * kEntrySize; e += kEntrySize) Entry(e);
        a_.TiffMultiPage = GetInt(Chunk(), entries * kEntrySize + 1, 4) != 0;
    }

    void Entry(int64_t e) {
        const uint32_t tag = GetInt(Chunk(), e, 2);
        const uint32_t type = GetInt(Chunk(), e + 2, 2);
        switch (tag) {
            case kImageWidth:
            case kImageLength: {
                const int32_t value = type == kTypeShort
                                          ? static_cast<int32_t>(GetInt(Chunk(), e + 8, 2))
                                          : GetSigned(Chunk(), e + 8);
                (tag == kImageWidth ? width_ : height_) = value;
                break;
            }
            case kBitsPerSample:
                BitsPerSample(e);
                break;
            case kCompression:
                a_.TiffReport = std::string("*Compression - ") +
                                CompressionName(GetInt(Chunk(), e + 8, 2)) + kLineEnd;
                break;
            case kPhotometric:
                photometric_ = GetInt(Chunk(), e + 8, 2);
                break;
            case kXResolution:
                xResolution_ = ReadRational(e);
                break;
            case kYResolution:
                yResolution_ = ReadRational(e);
                break;
            case kResolutionUnit:
                unit_ = GetInt(Chunk(), e + 8, 2);
                break;
            default:
                for (const auto& t : kTextTags)
                    if (t.tag == tag)
                        a_.TiffReport +=
                            std::string(t.prefix) + ReadTiffText(e, t.maxLength) + kLineEnd;
                break;
        }
    }

    void BitsPerSample(int64_t e) {
        const int64_t count = GetSigned(Chunk(), e + 4);
        const uint8_t* values = Chunk() + (e + 8 - 1);
        int64_t n = count < 0 ? 0 : count;
        if (n >= 3) {
            // The whole list must lie in the file; one longer than the small buffer is then
            // read as far as it fits: the text holds no more than that anyway.
            const uint32_t offset = GetInt(Chunk(), e + 8, 4);
            if (static_cast<int64_t>(offset) + n * 2 > a_.SourceStream->Size()) throw Damaged{};
            n = std::min<int64_t>(n, kSmallBuffer / 2);
            ReadOrDamaged(offset, n * 2, small_.data());
            values = small_.data();
        }
        // Each entry appends: the text is emptied once, when the directory is read.
        for (int64_t i = 0; i < n; ++i) {
            bitsText_ += std::to_string(GetInt(values, 2 * i + 1, 2));
            bitsText_ += i + 1 < n ? "+" : " bit";
        }
        bitsText_ = CutShort(bitsText_);
    }

    std::string ReadTiffText(int64_t e, int32_t maxLength) {
        const int32_t count = std::clamp(GetSigned(Chunk(), e + 4), 0, maxLength);
        const uint8_t* bytes = Chunk() + (e + 8 - 1);
        if (count > 4) {
            ReadOrDamaged(GetInt(Chunk(), e + 8, 4), count, small_.data());
            bytes = small_.data();
        }
        std::string text(reinterpret_cast<const char*>(bytes), static_cast<size_t>(count));
        return text.substr(0, text.find('\0'));
    }

    double ReadRational(int64_t e) {
        std::array<uint8_t, 8> bytes{};
        ReadOrDamaged(GetInt(Chunk(), e + 8, 4), 8, bytes.data());
        const int32_t denominator = GetSigned(bytes.data(), 5);
        return denominator == 0 ? 0.0
                                : static_cast<double>(GetSigned(bytes.data(), 1)) / denominator;
    }

    void Report() {
        if (width_ == 0 || height_ == 0 || xResolution_ == 0 || yResolution_ == 0 ||
            bitsText_.empty())
            throw Damaged{};
        double factor = 0;
        std::string suffix;
        if (unit_ <= 1) {
            factor = 72;
            suffix = "! ";
            a_.PageName = "Resolution unit undefined.\n\rImage size may be\n\runpredictable!";
            a_.HandOff(&Presenter::ShowPageName);
        } else if (unit_ == 2) {
            factor = 72;
            suffix = "i ";
        } else if (unit_ == 3) {
            factor = 28.346438836888921645;  // points per centimetre: 1 / 0.0352778
            suffix = "cm ";
        }
        if (factor != 0) {
            a_.PageWidth = RoundHalfEven(width_ / xResolution_ * factor);
            a_.PageHeight = RoundHalfEven(height_ / yResolution_ * factor);
        }
        a_.HandOff(&Presenter::ShowPageGeometry);
        a_.TiffColourText =
            CutShort(ColourModelName(photometric_, bitsText_) + bitsText_ + " " + kLineEnd + " " +
                     std::to_string(width_) + " x " + std::to_string(height_) + " pixels " +
                     kLineEnd + " " + PadLeft(FormatFixed(xResolution_, 2), 5) + " x " +
                     PadLeft(FormatFixed(yResolution_, 2), 5) + " dp" + suffix);
        a_.HandOff(&Presenter::ShowTiffImage);
    }

    Analysis& a_;
    const bool mac_;
    std::array<uint8_t, kSmallBuffer> small_{};
    int32_t width_ = 0, height_ = 0;
    uint32_t photometric_ = 0, unit_ = 0;
    double xResolution_ = 0, yResolution_ = 0;
    std::string bitsText_;
};

}  // namespace

void ScanTiff(Analysis& a) {
    TiffScan(a).Run();
}

}  // namespace zelk
