#include "analysis/recognition.h"

#include <gtest/gtest.h>

namespace zelk {
namespace {

using namespace std::string_literals;

struct KindCase {
    std::string firstBytes;
    const char* kind;
};

TEST(RecognizeKind, FollowsTheOrderOfTheTests) {
    const KindCase cases[] = {
        {"%!PS-Adobe-3.0 EPSF-3.0\n", "EPS"},
        {"%!PS-Adobe-3.0\n%%Title: x\n", "PS"},
        {"%!PS-Adobe-3.0\n%%Title: EPS\n", "EPS"},        // "EPS" anywhere in 30 bytes
        {"%!PS-Adobe-3.0\n%%Title: xxxxxxxxxEPS", "PS"},  // ... but not past byte 30
        {"%!PS\n%PDF-1.4\n", "PS"},                       // PostScript wins over PDF
        {"%PDF-1.7\n", "PDF"},
        {"%PDF-", "PDF"},
        {"%!PS", "PS"},
        {"\x01\x02junk %PDF", "PDF"},           // anywhere in the window
        {"\0\0\0\0\0\0%!PS-Adobe-2.0"s, "PS"},  // NUL bytes are ordinary characters
        {"II*\0\x08\0\0\0"s, "TIF"},
        {"MM\0*\0\0\0\x08"s, "TIF"},
        {"II+\0\x08\0\0\0"s, "NA"},
        {"MM\0+"s, "NA"},
        {"II*", "NA"},  // shorter than 4 bytes
        {"", "NA"},
        {std::string(30, ' ') + "%!PS", "NA"},
        {"\xC5\xD0\xD3\xC6 DOS EPS preview header......", "NA"},
    };
    for (const auto& c : cases) EXPECT_EQ(RecognizeKind(c.firstBytes), c.kind) << c.firstBytes;
}

TEST(FormatFileSize, ThreeDecimalsRoundedHalfUp) {
    EXPECT_EQ(FormatFileSize(0), "0.000 M");
    EXPECT_EQ(FormatFileSize(1234567), "1.235 M");
    EXPECT_EQ(FormatFileSize(499), "0.000 M");
    EXPECT_EQ(FormatFileSize(500), "0.001 M");
    EXPECT_EQ(FormatFileSize(999999500), "1000.000 M");
}

}  // namespace
}  // namespace zelk
