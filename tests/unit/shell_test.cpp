#include <gtest/gtest.h>

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
    // IHDR 25 bytes, IDAT: length, type, zlib header, one stored block of 7 bytes, Adler, CRC.
    const size_t idat = 8 + 25;
    EXPECT_EQ(png.substr(idat + 4, 4), "IDAT");
    EXPECT_EQ(png.substr(idat + 8, 2), "\x78\x01");
    EXPECT_EQ(png.substr(idat + 10, 5), std::string("\x01\x07\x00\xF8\xFF", 5));
    EXPECT_EQ(png.substr(idat + 15, 7), std::string("\0\xFF\0\0\0\0\xFF", 7));
    EXPECT_EQ(png.substr(png.size() - 8, 4), "IEND");
    EXPECT_EQ(png.substr(png.size() - 4), "\xAE\x42\x60\x82");  // the well-known IEND CRC
}

}  // namespace
}  // namespace zelk
