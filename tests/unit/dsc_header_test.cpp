// Header comments and the page: what a DSC job's comments put on the window.
#include <gtest/gtest.h>

#include "dsc_test_support.h"

namespace zelk {
namespace {

using test::ScanText;

const std::string kHead = "%!PS-Adobe-3.0\n";

TEST(DscHeader, CommentsBecomeReportLinesInFileOrder) {
    const auto s = ScanText(kHead +
                            "%%Title: Poster\n"
                            "%%title: ignored, wrong case\n"
                            "%%Creator: groff\n"
                            "%%CreationDate: Mon Jan  1 2026\n"
                            "%%LanguageLevel: 2\n"
                            "%%For: Prepress\n"
                            "%%TargetDevice: (Lino) 2013\n"
                            "%%DocumentPrinterRequired: Lino\n"
                            "%%DocumentProcessColors: Black\n"  // also begins "DocumentP"
                            "%%DocumentData: Clean7Bit\n"
                            "%%Title: Second title\n"
                            "%%EndComments\n"
                            "%%Title: after the header\n");
    EXPECT_EQ(s.Comments(),
              "*Made from - Poster\n\r*Coded by groff\n\r*Date: Mon Jan  1 2026\n\r"
              "*PostScript Level 2\n\r*Work by Prepress\n\r*Target device - (Lino) 2013\n\r"
              "*Print on Lino\n\r*Document data is Clean7Bit\n\r*Made from - Second title\n\r");
}

TEST(DscHeader, TheHeaderEndsAtTheFirstLineWithoutPercent) {
    const auto s = ScanText(
        kHead + "%%Title: One\n\n% a plain comment\n%%For: Two\nnewpath\n%%Creator: Three\n");
    EXPECT_EQ(s.Comments(), "*Made from - One\n\r*Work by Two\n\r");
}

TEST(DscHeader, CarriageReturnsAloneEndLines) {
    const auto s = ScanText(
        "%!PS-Adobe-3.0\r%%Title: Mac job\r%%Creator: Quark\r%%Pages: 5\r"
        "%%EndComments\r%%Page: 1 1\rshowpage\r");
    EXPECT_EQ(s.Comments(), "*Made from - Mac job\n\r*Coded by Quark\n\r");
    EXPECT_EQ(s.Caption(kPageCount), "5");
}

TEST(DscHeader, ValuesAreEightyCharactersTrimmedAndFollowContinuations) {
    const std::string longTitle(100, 'T');
    const auto s = ScanText(kHead + "%%Title: " + longTitle + "\n%%Creator:   \t spaced \t\n" +
                            "%%For: First\n%%+ Second\n");
    EXPECT_EQ(s.Comments(), "*Made from - " + std::string(79, 'T') + "\n\r*Coded by spaced\n\r" +
                                "*Work by First\n%%+ Second\n\r");
}

struct BoxCase {
    const char* comments;
    int width, height;
};

TEST(DscHeader, AFloodOfCommentsKeepsTheReportBounded) {
    std::string header;
    for (int i = 0; i < 20000; ++i) header += "%%Title: " + std::string(70, 't') + "\n";
    const auto s = ScanText(kHead + header + "%%EndComments\n");
    const std::string& report = s.W()[kReport].caption;
    EXPECT_LE(report.size(), kReportLimit + std::string(kReportCutLine).size());
    EXPECT_TRUE(report.ends_with(kReportCutLine));
    EXPECT_EQ(report.find(kReportCutLine), report.size() - std::string(kReportCutLine).size());
}

TEST(DscPage, BoundingBoxGivesWidthAndHeight) {
    const BoxCase cases[] = {
        {"%%BoundingBox: 0 0 612 792\n", 612, 792},
        {"%%BoundingBox: 18 36 594 756\n", 576, 720},
        {"%%BoundingBox: -10 -20 600 800\n", 590, 780},  // signs are separators
        {"%%BoundingBox: 0 0 595.28 841.89\n", 595, 28},
        {"%%BoundingBox: (atend)\n%%BoundingBox: 0 0 100 200\n", 100, 200},
        {"%%BoundingBox: 0 0 1 1\n%%BoundingBox: 0 0 100 200\n", 1, 1},
        {"%%BoundingBox: 0 0 99999999999 5\n", 2147483647, 5},  // saturates
        {"%%BoundingBox: 0 0 612\n", 612, 0},      // cut by the end of the file: not taken
        {"%%BoundingBox: 0 0 300 400", 300, 400},  // its last number ends the file
        {"%%BoundingBox: (atend)\n%%Pages: 3\n%%For: 10 20 30\n", 0, 0},  // not later lines
    };
    for (const auto& c : cases) {
        const auto s = ScanText(kHead + c.comments);
        EXPECT_EQ(s.A().PageWidth, c.width) << c.comments;
        EXPECT_EQ(s.A().PageHeight, c.height) << c.comments;
    }
}

TEST(DscPage, MissingBoxNumbersComeFromTheNextLines) {
    const auto s = ScanText(kHead + "%%BoundingBox: 0 0 612\n%%Pages: 3\n");
    EXPECT_EQ(s.A().PageWidth, 612);
    EXPECT_EQ(s.A().PageHeight, 3);
    EXPECT_EQ(s.Caption(kPageCount), "3");  // the count comment is still handled at its own place
}

struct CountCase {
    const char* comments;
    const char* shown;
};

TEST(DscPage, PageCount) {
    const CountCase cases[] = {
        {"%%Pages: 12\n", "12"},
        {"%%Pages: 5 1\n", "1"},
        {"%%Page: 1 1\n%%Page: 2 2\n%%Page: 3 3\n", "3"},
        {"%%Page: 1 1\n%%Page: 2 2\n%%Page: 1 1\n", "2"},  // an embedded page never lowers it
        {"%%Page: 1 1\n%%Page: 2 2\n%%Page: 3 3\n%%Pages: 2\n", "2"},
        {"%%Pages: (atend)\n%%Page: 1 1\n%%Trailer\n%%Pages: 7\n", "7"},
        {"%%Pages: none\n%%Page: 4 4\n", "0"},  // a count without digits still closes the count
        {"%%Page: i ii\n", "0"},
        {"show (%%Pages: 9)\n", "9"},  // a comment position in the middle of a line
        {"%%Pages: 4", "4"},           // the last line without a line end
    };
    for (const auto& c : cases)
        EXPECT_EQ(ScanText(kHead + c.comments).Caption(kPageCount), c.shown) << c.comments;
}

TEST(DscPage, PageSizeNameBeforeTheFirstTrailerOnly) {
    EXPECT_EQ(ScanText(kHead + "%%BeginFeature: *PageSize A4\n").Caption(kPageName), "A4");
    EXPECT_EQ(ScanText(kHead + "%%BeginFeature:*PageSize A4\n").Caption(kPageName), "<hidden>");
    EXPECT_EQ(ScanText(kHead + "%%PageTrailer\n%%BeginFeature: *PageSize A4\n").Caption(kPageName),
              "<hidden>");
}

TEST(DscPage, MirrorBeforeTheFirstTrailerReversesTheEmulsionMark) {
    const auto mirrored = ScanText(kHead + "%%EndComments\n-1 1 scale\n%%PageTrailer\n");
    EXPECT_TRUE(mirrored.A().Mirrored);
    EXPECT_EQ(mirrored.W()[kEmulsionStem].left, 263);
    const auto late = ScanText(kHead + "%%EndComments\n%%PageTrailer\n-1 1 scale\n");
    EXPECT_FALSE(late.A().Mirrored);
    EXPECT_EQ(late.W()[kEmulsionStem].left, 232);
    EXPECT_TRUE(late.W()[kEmulsionBottom].visible);
}

TEST(DscPage, OnlyTheWholeMirrorOperatorCounts) {
    const std::string nearMisses = "-1 -1 scale\n- 1 1 scale\n-1 1 Scale\n-1 1\nscale\n";
    EXPECT_FALSE(ScanText(kHead + "%%EndComments\n-1 1 scal\n" + nearMisses).A().Mirrored);
    EXPECT_TRUE(
        ScanText(kHead + "%%EndComments\n" + nearMisses + "gsave -1 1 scale\n").A().Mirrored);
    EXPECT_TRUE(ScanText(kHead + "-1 1 scale\n").A().Mirrored);  // within the header too
    EXPECT_TRUE(ScanText(kHead + "%%EndComments\n-1 1 scalefont\n").A().Mirrored);  // ten bytes
}

TEST(DscPage, WithoutTrailersTheMarkIsShownAtTheEnd) {
    const auto s = ScanText(kHead + "%%EndComments\nshowpage\n");
    EXPECT_TRUE(s.W()[kEmulsionStem].visible);
    EXPECT_EQ(s.W()[kEmulsionStem].left, 232);
}

}  // namespace
}  // namespace zelk
