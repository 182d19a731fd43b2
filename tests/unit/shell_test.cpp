#include <gtest/gtest.h>
#include <zlib.h>

#include "app/command_line.h"
#include "ui/png.h"

namespace zelk {
namespace {

using Args = std::vector<std::string>;

TEST(SplitCommandLine, TakesArgumentsAfterTheProgramName) {
    EXPECT_EQ(SplitCommandLine("Zelk.exe"), Args{});
    EXPECT_EQ(SplitCommandLine("\"C:\\Program Files\\Zelk.exe\" a.ps b.ps"),
              (Args{"a.ps", "b.ps"}));
    EXPECT_EQ(SplitCommandLine("Zelk.exe \"C:\\my jobs\\a b.ps\""), Args{"C:\\my jobs\\a b.ps"});
    EXPECT_EQ(SplitCommandLine("Zelk.exe\t  x\r\ny  "), (Args{"x", "y"}));
    EXPECT_EQ(SplitCommandLine("Zelk.exe \"\" a.ps"), Args{"a.ps"});  // empty quotes skipped
    EXPECT_EQ(SplitCommandLine("Zelk.exe C:\\a\" \"b.ps"), Args{"C:\\a b.ps"});
    EXPECT_EQ(SplitCommandLine(""), Args{});
}

TEST(EncodePng, WritesAValidStoredImage) {
    const std::vector<uint8_t> rgb{255, 0, 0, 0, 0, 255};  // one red, one blue pixel
    const std::string png = EncodePng(2, 1, rgb);
    ASSERT_EQ(png.substr(0, 8), "\x89PNG\r\n\x1a\n");
    EXPECT_EQ(png.substr(12, 4), "IHDR");
    EXPECT_EQ(png.substr(16, 8), std::string("\0\0\0\x02\0\0\0\x01", 8));
    const size_t idat = 8 + 25;  // after the signature and IHDR: length, type, zlib data, CRC
    EXPECT_EQ(png.substr(idat + 4, 4), "IDAT");
    EXPECT_EQ(png.substr(png.size() - 8, 4), "IEND");
    EXPECT_EQ(png.substr(png.size() - 4), "\xAE\x42\x60\x82");  // the well-known IEND CRC

    // A window's worth, as zlib reads it back: many stored blocks, and the checksum.
    std::vector<uint8_t> window(455 * 334 * 3);
    for (size_t i = 0; i < window.size(); ++i) window[i] = static_cast<uint8_t>(i * 7 + i / 997);
    const std::string big = EncodePng(455, 334, window);
    const auto* chunk = reinterpret_cast<const uint8_t*>(big.data()) + idat;
    const uLong length =
        (uLong{chunk[0]} << 24) | (uLong{chunk[1]} << 16) | (chunk[2] << 8) | chunk[3];
    std::vector<uint8_t> raw(334 * (1 + 455 * 3));
    uLongf size = raw.size();
    ASSERT_EQ(uncompress(raw.data(), &size, chunk + 8, length), Z_OK);
    ASSERT_EQ(size, raw.size());
    for (size_t y = 0; y < 334; ++y) {
        EXPECT_EQ(raw[y * (1 + 455 * 3)], 0) << y;  // no filter
        EXPECT_TRUE(std::equal(window.begin() + y * 455 * 3, window.begin() + (y + 1) * 455 * 3,
                               raw.begin() + y * (1 + 455 * 3) + 1))
            << y;
    }
}

}  // namespace
}  // namespace zelk
