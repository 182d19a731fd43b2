// The TIFF scanner on crafted directories, in both byte orders, and on damaged files.
#include <gtest/gtest.h>

#include <map>

#include "dsc_test_support.h"

namespace zelk {
namespace {

using namespace std::string_literals;

// Writes a TIFF: header, then values that do not fit an entry, then one directory.
class TiffBuilder {
  public:
    explicit TiffBuilder(bool mac) : mac_(mac) {}

    TiffBuilder& Short(uint16_t tag, std::vector<uint16_t> values) {
        std::string bytes;
        for (uint16_t v : values) bytes += U16(v);
        return Add(tag, 3, static_cast<uint32_t>(values.size()), bytes);
    }
    TiffBuilder& Long(uint16_t tag, uint32_t value) { return Add(tag, 4, 1, U32(value)); }
    TiffBuilder& Rational(uint16_t tag, uint32_t num, uint32_t den) {
        return Add(tag, 5, 1, U32(num) + U32(den));
    }
    TiffBuilder& Ascii(uint16_t tag, const std::string& text) {
        return Add(tag, 2, static_cast<uint32_t>(text.size() + 1), text + '\0');
    }
    // An entry whose fields are given raw, for damaged files.
    TiffBuilder& Raw(uint16_t tag, uint16_t type, uint32_t count, uint32_t value) {
        entries_[Key(tag)] = U16(tag) + U16(type) + U32(count) + U32(value);
        return *this;
    }
    TiffBuilder& Without(uint16_t tag) {
        entries_.erase(Key(tag));
        return *this;
    }
    // A second entry of the same tag, right after the first.
    TiffBuilder& Repeat(uint16_t tag) {
        entries_[Key(tag) + 1] = entries_[Key(tag)];
        return *this;
    }
    TiffBuilder& NextDirectory(uint32_t offset) {
        next_ = offset;
        return *this;
    }
    // A typical RGB image: 1,000 × 800 pixels, 8 bits per sample, 300 pixels per inch.
    TiffBuilder& Rgb() {
        return Long(256, 1000)
            .Long(257, 800)
            .Short(258, {8, 8, 8})
            .Short(259, {5})
            .Short(262, {2})
            .Rational(282, 300, 1)
            .Rational(283, 300, 1)
            .Short(296, {2});
    }

    std::string Build() const {
        std::string file = (mac_ ? "MM\0*"s : "II*\0"s);
        file += U32(8 + static_cast<uint32_t>(data_.size()));
        file += data_;
        file += U16(static_cast<uint16_t>(entries_.size()));
        for (const auto& [tag, entry] : entries_) file += entry;
        return file + U32(next_);
    }

  private:
    TiffBuilder& Add(uint16_t tag, uint16_t type, uint32_t count, const std::string& value) {
        std::string field = value;
        if (value.size() > 4) {
            field = U32(8 + static_cast<uint32_t>(data_.size()));
            data_ += value;
        }
        field.resize(4, '\0');
        entries_[Key(tag)] = U16(tag) + U16(type) + U32(count) + field;
        return *this;
    }
    std::string U16(uint16_t v) const {
        return mac_ ? std::string{char(v >> 8), char(v)} : std::string{char(v), char(v >> 8)};
    }
    std::string U32(uint32_t v) const {
        std::string b{char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
        return mac_ ? b : std::string(b.rbegin(), b.rend());
    }

    static uint32_t Key(uint16_t tag) { return tag * 2u; }

    bool mac_;
    std::map<uint32_t, std::string> entries_;  // in tag order, as TIFF wants
    std::string data_;
    uint32_t next_ = 0;
};

test::Scanned ScanTiffBytes(const std::string& bytes) {
    return test::Scanned("image.tif", bytes);
}

const std::string kDamaged =
    "Can not scan this file. \"image.tif\" may be damaged or wrong format!";

bool WasDamaged(const test::Scanned& s) {
    return s.inspection.host.messages.size() == 1 &&
           s.inspection.host.messages[0].request.text == kDamaged &&
           s.inspection.host.messages[0].request.type == BoxType::Error;
}

struct BitsCase {
    std::vector<uint16_t> bits;
    uint16_t photometric;
    const char* firstLine;
};

TEST(Tiff, BitsAndColourModel) {
    const BitsCase cases[] = {
        {{8}, 0, "Grayscale (W=0) 8 bit "},
        {{1}, 0, "B&W (W=0) 1 bit "},
        {{16}, 0, "B&W (W=0) 16 bit "},  // only the first character is compared
        {{4}, 1, "Grayscale (B=0) 4 bit "},
        {{8, 8}, 1, "Grayscale (B=0) 8+8 bit "},  // two values stand in the entry itself
        {{8, 8, 8, 8}, 5, "CMYK 8+8+8+8 bit "},
        {{8}, 3, "Indexed RGB 8 bit "},
        {{8, 8, 8}, 4, "Alpha 8+8+8 bit "},
        {{8, 8, 8}, 6, "YCbCr 8+8+8 bit "},
        {{8, 8, 8}, 8, "CIE L*a*b* 8+8+8 bit "},
        {{8, 8, 8}, 7, "8+8+8 bit "},
    };
    for (const auto& c : cases) {
        const auto s = ScanTiffBytes(
            TiffBuilder(true).Rgb().Short(258, c.bits).Short(262, {c.photometric}).Build());
        EXPECT_EQ(s.A().TiffColourText.substr(0, s.A().TiffColourText.find('\n')), c.firstLine);
    }
    // Without the Photometric tag the model reads as its value 0 would; a resolution below 10
    // keeps its column; an unknown unit gives no page size.
    TiffBuilder noModel(false);
    noModel.Rgb().Short(258, {8}).Without(262).Rational(282, 15, 2).Short(296, {4});
    const auto none = ScanTiffBytes(noModel.Build());
    EXPECT_EQ(none.A().PageWidth, 0);
    EXPECT_TRUE(none.A().TiffColourText.starts_with("Grayscale (W=0) 8 bit "))
        << none.A().TiffColourText;
    EXPECT_NE(none.A().TiffColourText.find("\r  7.50 x 300.00 dp"), std::string::npos)
        << none.A().TiffColourText;
    // Each entry of the tag appends its sizes.
    const auto twice = ScanTiffBytes(TiffBuilder(false).Rgb().Short(258, {8}).Repeat(258).Build());
    EXPECT_TRUE(twice.A().TiffColourText.starts_with("RGB 8 bit8 bit "))
        << twice.A().TiffColourText;
}

// Each text entry gives a report line, cut to its own length.
TEST(Tiff, TextEntries) {
    TiffBuilder tiff(true);
    tiff.Rgb().Short(259, {9});
    // Each text tag, and tag 0, which is none.
    const std::pair<uint16_t, char> texts[] = {{0, 'z'},   {270, 'a'},  {271, 'b'}, {272, 'c'},
                                               {305, 'd'}, {306, 'e'},  {315, 'f'}, {316, 'g'},
                                               {337, 'h'}, {33432, 'i'}};
    for (const auto& [tag, letter] : texts) tiff.Ascii(tag, std::string(60, letter));
    auto s = ScanTiffBytes(tiff.Build());
    const auto line = [](const std::string& prefix, int length, char letter) {
        return prefix + std::string(length, letter) + "\n\r";
    };
    EXPECT_TRUE(s.Comments().ends_with("*Compression - \n\r" + line("*", 50, 'a') +
                                       line("*Source - ", 40, 'b') + line("*", 25, 'c') +
                                       line("*Software - ", 38, 'd') + line("*Date: ", 20, 'e') +
                                       line("*Work by ", 16, 'f') + line("*Host - ", 16, 'g') +
                                       line("*Print on ", 15, 'h') + line("\xA9", 40, 'i')))
        << s.Comments();
    // The next file in the same window, without a compression tag, shows none of them.
    Inspect(s.inspection, "next.tif",
            std::make_unique<MemorySourceFile>(TiffBuilder(false).Rgb().Without(259).Build()));
    EXPECT_EQ(s.Comments(), "*IBM byte order\n\r");
    const auto jpeg = ScanTiffBytes(TiffBuilder(false).Rgb().Short(259, {6}).Build());
    EXPECT_NE(jpeg.Comments().find("*Compression - JPEG\n\r"), std::string::npos)
        << jpeg.Comments();
}

TEST(Tiff, DamagedFiles) {
    const std::string good = TiffBuilder(false).Rgb().Build();
    const std::vector<std::pair<const char*, std::string>> cases = {
        {"shorter than 8 bytes", "II*\0\x08\0"s},
        {"directory past the end", "II*\0\xF0\0\0\0"s},
        {"directory near 4 GiB", "II*\0\xFC\xFF\xFF\xFF"s},
        {"entries past the end", good.substr(0, good.size() - 10)},
        {"no x resolution", TiffBuilder(false).Rgb().Without(282).Build()},
        {"rational near 4 GiB", TiffBuilder(false).Rgb().Raw(282, 5, 1, 0xFFFFFFF8u).Build()},
        {"zero denominator", TiffBuilder(false).Rgb().Rational(283, 300, 0).Build()},
        {"no width", TiffBuilder(false).Rgb().Without(256).Build()},
        {"no height", TiffBuilder(false).Rgb().Long(257, 0).Build()},
        {"no bits per sample", TiffBuilder(false).Rgb().Raw(258, 3, 0, 0).Build()},
        {"bits list past the end", TiffBuilder(false).Rgb().Raw(258, 3, 3, 0xFFFFFF00u).Build()},
        {"text past the end", TiffBuilder(false).Rgb().Raw(305, 2, 30, 0x7FFFFFFFu).Build()},
    };
    for (const auto& [name, bytes] : cases) {
        const auto s = ScanTiffBytes(bytes);
        EXPECT_TRUE(WasDamaged(s)) << name;
        EXPECT_EQ(s.A().TiffColourText, "") << name;
        EXPECT_EQ(s.Caption(kColourSummary), "<hidden>") << name;
        EXPECT_FALSE(s.W().ScanRunning()) << name;
    }
}

TEST(Tiff, OversizedCountsReadNothingPastTheBuffers) {
    // 65,535 entries cannot be held: damaged.
    std::string huge = "II*\0\x08\0\0\0\xFF\xFF"s + std::string(65535 * 12 + 4, '\0');
    EXPECT_TRUE(WasDamaged(ScanTiffBytes(huge)));
    // 200 sample sizes: read as far as the buffer holds them when all lie in the file, and
    // damaged when only the first 254 bytes do.
    const std::string image = TiffBuilder(false).Rgb().Build();
    const auto listed = TiffBuilder(false).Rgb().Raw(258, 3, 200, uint32_t(image.size())).Build();
    std::string eights;
    for (int i = 0; i < 200; ++i) eights += "\x08\0"s;
    const auto s = ScanTiffBytes(listed + eights);
    EXPECT_FALSE(WasDamaged(s));
    EXPECT_TRUE(s.A().TiffColourText.starts_with("RGB 8+8+8+")) << s.A().TiffColourText;
    EXPECT_LE(s.A().TiffColourText.size(), 255u);
    EXPECT_TRUE(WasDamaged(ScanTiffBytes(listed + eights.substr(0, 254))));
    // As many entries as one chunk holds with the next directory's offset, and one more.
    for (const int entries : {5461, 5462}) {
        TiffBuilder many(false);
        many.Rgb();
        for (int i = 8; i < entries; ++i) many.Raw(static_cast<uint16_t>(40000 + i), 3, 1, 0);
        EXPECT_EQ(WasDamaged(ScanTiffBytes(many.Build())), entries > 5461) << entries;
    }
}

}  // namespace
}  // namespace zelk
