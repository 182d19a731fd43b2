// Header comments and the page: what a DSC job's comments put on the window.
#include <gtest/gtest.h>

#include "dsc_test_support.h"

namespace zelk {
namespace {

using test::ScanText;

const std::string kHead = "%!PS-Adobe-3.0\n";

// Comments become report lines in file order; values are cut at 80 characters, trimmed and
// keep their continuations; blank lines and plain comments stay in the header, the first
// other line ends it.
TEST(DscHeader, CommentsBecomeReportLines) {
    const auto s = ScanText(kHead +
                            "%%Title: Poster\032DOS\n"  // ends at a DOS end-of-file mark
                            "%%title: ignored, wrong case\n"
                            "%%Creator:   \t spaced \t\n"
                            "%%CreationDate: Mon Jan  1 2026\n"
                            "%%LanguageLevel: 2\n\n% a plain comment\n"
                            "%%For: First\n%%+ Second\n"
                            "%%TargetDevice: (Lino) 2013\n"
                            "%%DocumentPrinterRequired: Lino\n"
                            "%%DocumentProcessColors: Black\n"  // also begins "DocumentP"
                            "%%DocumentData:Clean7Bit\n"        // no blank needed
                            "%%Title: " +
                            std::string(100, 'T') +
                            "\nnewpath\n"
                            "%%Creator: after the header\n");
    EXPECT_EQ(s.Comments(),
              "*Made from - Poster\n\r*Coded by spaced\n\r*Date: Mon Jan  1 2026\n\r"
              "*PostScript Level 2\n\r*Work by First\n%%+ Second\n\r"
              "*Target device - (Lino) 2013\n\r*Print on Lino\n\r*Document data is Clean7Bit\n\r"
              "*Made from - " +
                  std::string(79, 'T') + "\n\r");
}

// Carriage returns alone end lines; a blank value gives a line of its own, and what follows
// is read.
TEST(DscHeader, CarriageReturnsAloneEndLines) {
    const auto s = ScanText(
        "%!PS-Adobe-3.0\r%%Title: Mac job\r%%Creator:Quark\r%%For: \t \r%%Pages: 5\r"
        "%%EndComments\r%%For: after the header\r%%Page: 1 1\rshowpage\r");
    EXPECT_EQ(s.Comments(), "*Made from - Mac job\n\r*Coded by Quark\n\r*Work by \n\r");
    EXPECT_EQ(s.Caption(kPageCount), "5");
}

struct BoxCase {
    const char* comments;
    int width, height;
};

// Lines of 88 bytes after the first three's 64 fill the report's limit exactly: the last line
// that fits is kept, and the cut line follows it.
TEST(DscHeader, AFloodOfCommentsKeepsTheReportBounded) {
    std::string header;
    for (int i = 0; i < 20000; ++i) header += "%%Title: " + std::string(73, 't') + "\n";
    const auto s = ScanText(kHead + header + "%%EndComments\n");
    const std::string& report = s.W()[kReport].caption;
    EXPECT_EQ(report.size(), kReportLimit + std::string(kReportCutLine).size());
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
        {"%%BoundingBox: 0 0 612\n", 612, 0},              // cut by the end of the file: not taken
        {"%%BoundingBox: 0 0 612\n%%Pages: 3\n", 612, 3},  // the next line gives the rest
        {"%%BoundingBox: 0 0 300 400", 300, 400},          // its last number ends the file
        {"%%BoundingBox: (atend)\n%%Pages: 3\n%%For: 10 20 30\n", 0, 0},  // not later lines
    };
    for (const auto& c : cases) {
        const auto s = ScanText(kHead + c.comments);
        EXPECT_EQ(s.A().PageWidth, c.width) << c.comments;
        EXPECT_EQ(s.A().PageHeight, c.height) << c.comments;
    }
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

// Only the whole operator before the first trailer turns the emulsion mark; without
// trailers the mark is shown at the end.
TEST(DscPage, TheMirrorBeforeTheFirstTrailerTurnsTheMark) {
    const std::string nearMisses = "-1 -1 scale\n- 1 1 scale\n-1 1 Scale\n-1 1\nscale\n";
    const std::pair<std::string, bool> cases[] = {
        {"%%EndComments\n-1 1 scale\n%%PageTrailer\n", true},
        {"%%EndComments\n%%PageTrailer\n-1 1 scale\n", false},
        {"%%EndComments\n-1 1 scal\n" + nearMisses, false},
        {"%%EndComments\n" + nearMisses + "gsave -1 1 scale\n", true},
        {"-1 1 scale\n", true},                     // within the header too
        {"%%EndComments\n-1 1 scalefont\n", true},  // ten bytes
    };
    for (const auto& [body, mirrored] : cases) {
        const auto s = ScanText(kHead + body);
        EXPECT_EQ(s.A().Mirrored, mirrored) << body;
        EXPECT_TRUE(s.W()[kEmulsionStem].visible) << body;
        EXPECT_EQ(s.W()[kEmulsionStem].left, mirrored ? 263 : 232) << body;
    }
}

}  // namespace
}  // namespace zelk
