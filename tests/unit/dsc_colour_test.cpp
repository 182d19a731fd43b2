// Colours and resources of DSC jobs.
#include <gtest/gtest.h>

#include "dsc_test_support.h"

namespace zelk {
namespace {

using test::ScanText;

const std::string kHead = "%!PS-Adobe-3.0\n";

struct Spot {
    std::string name;
    std::array<double, 4> values;
};

// The spots as the window's colour bar shows them, names and values.
void ExpectSpots(const test::Scanned& s, const std::vector<Spot>& expected) {
    const ColourBarData& bar = s.W().colourBar;
    ASSERT_EQ(bar.spotNames.size(), expected.size());
    ASSERT_EQ(bar.spotValues.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(bar.spotNames[i], expected[i].name) << i;
        EXPECT_EQ(bar.spotValues[i], expected[i].values) << expected[i].name;
    }
}

// One job with every way a colour or resource comment is written.
TEST(DscColour, ColoursAndResourcesOfTheHeader) {
    const auto s = ScanText(kHead + "%%DocumentProcessColors: Orange\n" +  // no ink
                            "%%DocumentProcessColors: Black Orange\n" +    // inks only add
                            "%%DocumentProcessColors:" + std::string(95, ' ') +
                            "Cyan\n"  // the value's last characters read
                            // The resources handler leaves numbers in Token; the colours after
                            // it must not read theirs behind that text.
                            "%%DocumentNeededResources: font Times-Roman\n%%+ font Helvetica\n"
                            "%%+ procset Prolog 1.0 0\n"
                            "%%CMYKCustomColor: 0.1 0.2 0.3 0.4 (Blue)\n"
                            "%%DocumentNeededResources: font Other\n"  // the first comment only
                            "%%CMYKCustomColor: 0 0.5 1 0 (Orange)\r\n%%+ 0 0 1 0 (B)\r"
                            "%%+ 1 0 0 0 (C)\n"
                            "%%RGBCustomColor: 1 0 0 (Red)\n"
                            "%%CMYKCustomColor: .5 0 0 .25 (Half)\n"
                            "%%CMYKCustomColor: 1.2.3 0 0 0 Odd\n"
                            "%%CMYKCustomColor: 1 1 (Short)\n"
                            "%%CMYKCustomColor: 1 (abc)\n"   // 8 characters or fewer: ignored
                            "%%CMYKCustomColor: 1 (abcd)\n"  // 9: taken
                            "%%CMYKCustomColor: (atend)\n"
                            "%%RGBCustomColor: 1 1 1 (Orange)\n"  // a repeated name keeps its first
                            "%%CMYKCustomColor: 1 1 1 1 (Red)\n");
    EXPECT_EQ(s.A().ProcessColourText, " C, K ");
    ExpectSpots(s, {{"(Blue)", {0.1, 0.2, 0.3, 0.4}},
                    {"(Orange)", {0, 0.5, 1, 0}},
                    {"(B)", {0, 0, 1, 0}},
                    {"(C)", {1, 0, 0, 0}},
                    {"(Red)", {1, 0, 0, 3.0}},
                    {"(Half)", {0.5, 0, 0, 0.25}},
                    {"Odd", {1.2, 0, 0, 0}},
                    {"(Short)", {1, 1, 0, 0}},  // missing numbers are zeros
                    {"(abcd)", {1, 0, 0, 0}}});
    EXPECT_EQ(s.Caption(kColourSummary), " 11 colors");
    EXPECT_EQ(s.W().need.ComboRes, (std::vector<std::string>{" font Times-Roman", " font Helvetica",
                                                             " procset Prolog 1.0 0"}));
    EXPECT_EQ(s.Caption(kResourceNotice), " 3 resources needed! ");
    // A continuation needs its blank, a value needs three characters, the value's 80th
    // character is read, and a count given at the end is read in the trailer.
    EXPECT_EQ(
        ScanText(kHead + "%%DocumentNeededResources: font A\n%%+font Symbol\n").W().need.ComboRes,
        (std::vector<std::string>{" font A", " ont Symbol"}));
    for (const auto& [value, list] :
         {std::pair{"ab", std::vector<std::string>{}}, {"abc", std::vector<std::string>{" abc"}}})
        EXPECT_EQ(ScanText(kHead + "%%DocumentNeededResources: " + value).W().need.ComboRes, list);
    const std::string name = " font " + std::string(74, 'x');
    EXPECT_EQ(ScanText(kHead + "%%DocumentNeededResources:" + name).W().need.ComboRes,
              std::vector<std::string>{name});
    const auto atend = ScanText(kHead +
                                "%%DocumentNeededResources: (atend)\n%%EndComments\n%%Trailer\n"
                                "%%DocumentNeededResources: font Late\n");
    EXPECT_EQ(atend.W().need.ComboRes, std::vector<std::string>{" font Late"});
    EXPECT_EQ(ScanText(kHead + "%%DocumentProcessColors: (atend)\n").Caption(kColourSummary),
              "<hidden>");
}

TEST(DscColour, SpotsPastTheTablesAreNotStored) {
    std::string text = kHead;
    for (int i = 1; i <= 130; ++i)
        text += "%%CMYKCustomColor: 0 0 0 1 (Spot " + std::to_string(i) + ")\n";
    const auto s = ScanText(text);
    EXPECT_EQ(s.A().SpotColourCount, 120);
    EXPECT_EQ(s.A().SpotColourNames[120], "(Spot 120)");
    EXPECT_EQ(s.Caption(kColourSummary), " 120 colors");
    EXPECT_EQ(s.W().colourBar.spotCount, 120);
}

TEST(DscColour, SeparationVerdict) {
    const auto separated =
        ScanText(kHead + "%%DocumentProcessColors: Cyan\n%%EndComments\n%%PlateColor: Cyan\n");
    EXPECT_EQ(separated.Caption(kColourSummary), " 1 color separated ");
    EXPECT_EQ(separated.W()[kColourSummary].background, kGreen);
    const auto composite =
        ScanText(kHead + "%%EndComments\n%%PageProcessColors: Cyan Magenta\n%%PlateColor: Cyan\n");
    EXPECT_EQ(composite.Caption(kColourSummary), " Color composite ");
    EXPECT_EQ(composite.W()[kColourSummary].background, kRed);
    EXPECT_FALSE(composite.A().Separated);
    // No declaration before the first trailer: separated, decided there.
    const auto byTrailer =
        ScanText(kHead +
                 "%%DocumentProcessColors: Cyan Magenta Yellow Black\n"
                 "%%EndComments\n%%Page: 1 1\n%%PageTrailer\n%%PageSpotColors: X\n"
                 "%%Trailer\n%%DocumentProcessColors: Cyan\n");
    EXPECT_EQ(byTrailer.Caption(kColourSummary), " 4 colors separated ");
    // The trailer shows the summary before it fixes the verdict.
    EXPECT_EQ(ScanText(kHead + "%%EndComments\n%%PageTrailer\n").Caption(kColourSummary), " Color");
}

}  // namespace
}  // namespace zelk
