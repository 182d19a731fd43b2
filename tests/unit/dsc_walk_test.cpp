// The walk over chunks: big files read from both ends, the whole-file question, restart
// points at chunk boundaries, and files cut anywhere.
#include <gtest/gtest.h>

#include "dsc_test_support.h"

namespace zelk {
namespace {

using test::ScanText;

constexpr const char* kQuestion =
    "The file header has no color declaration.\n\rWould You like to scan whole file for color "
    "names?";

// PostScript body lines up to `bytes` bytes.
std::string Body(size_t bytes) {
    const std::string line = "72 720 moveto (The quick brown fox) show\n";
    std::string body;
    while (body.size() + line.size() <= bytes) body += line;
    return body + std::string(bytes - body.size(), '\n');
}

// A job over 1,000,000 bytes: header, a first page, many pages, a trailer.
std::string BigJob(const std::string& header, const std::string& middle,
                   const std::string& trailer) {
    return "%!PS-Adobe-3.0\n" + header + "%%EndComments\n%%Page: 1 1\n" + Body(1000) +
           "%%PageTrailer\n" + Body(600000) + middle + Body(600000) +
           "%%Page: 2 2\n%%PageTrailer\n" + "%%Trailer\n" + trailer + "%%EOF\n";
}

TEST(DscBigFile, AskedWhenHeaderAndTrailerNameNoColour) {
    const std::string job = BigJob("%%Pages: 2\n", "%%CMYKCustomColor: 0 0 0 1 (Deep)\n", "");
    const auto no = ScanText(job);
    ASSERT_EQ(no.inspection.host.messages.size(), 1u);
    EXPECT_EQ(no.inspection.host.messages[0].request.text, kQuestion);
    EXPECT_EQ(no.inspection.host.messages[0].request.type, BoxType::Confirm);
    EXPECT_EQ(no.A().SpotColourCount, 0);
    EXPECT_EQ(no.Caption(kPageCount), "2");
    EXPECT_TRUE(no.inspection.complete);

    const auto yes = ScanText(job, AnswerPolicy::AllYes);
    EXPECT_EQ(yes.inspection.host.messages.size(), 1u);
    EXPECT_EQ(yes.A().SpotColourCount, 1);
    EXPECT_EQ(yes.A().SpotColourNames[1], "(Deep)");
    EXPECT_EQ(yes.Caption(kColourSummary), " 1 color separated ");
}

// The header ends at "%%EndComments" or at the first line without "%" before it.
TEST(DscBigFile, ColoursInTheHeaderEndTheScanAfterTheFirstPage) {
    const std::string job = BigJob("%%Pages: 2\n%%DocumentProcessColors: Black\n",
                                   "%%CMYKCustomColor: 0 0 0 1 (Never read)\n", "");
    for (const std::string header : {"%%EndComments\n", "newpath\n"}) {
        std::string text = job;
        text.replace(text.find("%%EndComments\n"), 14, header);
        const auto s = ScanText(text, AnswerPolicy::AllYes);
        EXPECT_TRUE(s.inspection.host.messages.empty()) << header;
        EXPECT_EQ(s.A().SpotColourCount, 0) << header;
        EXPECT_EQ(s.Caption(kColourSummary), " 1 color") << header;
    }
}

TEST(DscBigFile, TrailerIsReadBackwards) {
    std::string job = BigJob("%%Pages: (atend)\n%%DocumentNeededResources: (atend)\n", "",
                             "%%Pages: 2\n%%CMYKCustomColor: 0 0 0 1 (A)\n%%+ 0 0 1 0 (B)\n"
                             "%%RGBCustomColor: 1 0 0 (C)\n"
                             "%%DocumentNeededResources: font Times-Roman\n");
    // The backward read ends at the trailer: the last page's box is not the document's.
    job.insert(job.find("%%Page: 2 2\n") + 12, "%%BoundingBox: 0 0 100 100\n");
    const auto s = ScanText(job);
    EXPECT_EQ(s.A().PageWidth, 0);
    EXPECT_EQ(s.Caption(kPageCount), "2");
    ASSERT_EQ(s.A().SpotColourCount, 3);
    // Two comments met last one first; the lines of one comment keep their order.
    EXPECT_EQ(s.A().SpotColourNames[1], "(C)");
    EXPECT_EQ(s.A().SpotColourNames[2], "(A)");
    EXPECT_EQ(s.A().SpotColourNames[3], "(B)");
    EXPECT_EQ(s.W().need.ComboRes, std::vector<std::string>{" font Times-Roman"});
    EXPECT_TRUE(s.inspection.host.messages.empty());  // the trailer gave colours

    // A comment at the first byte of the last chunk, the one the backward read takes.
    const std::string edge = "%%CMYKCustomColor: 0 0 0 1 (Edge)\n";
    const size_t room = 65536 - edge.size() - 6;  // before the closing "%%EOF\n"
    const std::string filler = "%%" + std::string(room - 3, 'x') + "\n";
    const auto last = ScanText(BigJob("%%Pages: 2\n", "", edge + filler));
    EXPECT_EQ(last.A().SpotColourCount, 1);
}

TEST(DscBigFile, WithoutPageTrailersTheWholeFileIsReadWithoutAsking) {
    std::string job = "%!PS-Adobe-3.0\n%%Pages: 1\n%%EndComments\n" + Body(1100000) +
                      "%%CMYKCustomColor: 0 0 0 1 (Late)\n" + Body(1000);
    const auto s = ScanText(job);
    EXPECT_TRUE(s.inspection.host.messages.empty());
    EXPECT_EQ(s.A().SpotColourCount, 1);
    EXPECT_TRUE(s.W()[kEmulsionStem].visible);
}

TEST(DscBigFile, AHeaderLongerThanOneChunk) {
    std::string header;
    while (header.size() < 70000) header += "%%Title: part of a long header\n";
    const auto s = ScanText(BigJob(header + "%%Pages: 2\n%%DocumentProcessColors: Cyan\n", "", ""));
    EXPECT_EQ(s.Caption(kPageCount), "2");
    EXPECT_EQ(s.Caption(kColourSummary), " 1 color");
    EXPECT_TRUE(s.W()[kEmulsionStem].visible);
}

// The first page trailer's keyword ending anywhere from 65,510 to 65,545 (so cut by the first
// chunk's end, or its line break cut, or wholly in the second chunk), with each kind of line
// end and each answer. Page 2 follows after a few lines of body, so its comments lie past the
// first chunk's restart point and some pass must examine each of them exactly once.
TEST(DscBigFile, Issue21FirstTrailerAtTheFirstChunkEnd) {
    for (const std::string eol : {"\n", "\r", "\r\n"}) {
        const auto lines = [&](std::initializer_list<const char*> ls) {
            std::string out;
            for (const char* l : ls) out += l + eol;
            return out;
        };
        // Body lines for `bytes` bytes, the last one lengthened by blanks to fit.
        const auto body = [&](size_t bytes) {
            const std::string line = "72 720 moveto (fox) show" + eol;
            std::string out;
            while (out.size() + 2 * line.size() <= bytes) out += line;
            return out + std::string(bytes - out.size() - line.size(), ' ') + line;
        };
        const std::string page2 =
            body(300) +
            lines({"%%Page: 2 2", "%%CMYKCustomColor: 0 0 0 1 (Late)", "%%BoundingBox: 0 0 100 200",
                   "%%DocumentNeededResources: font A", "%%+ font B"});
        for (const bool countInHeader : {true, false}) {
            const std::string head =
                "%!PS-Adobe-3.0" + eol +
                (countInHeader ? lines({"%%Pages: 2"}) : lines({"%%Pages: (atend)"})) +
                lines({"%%EndComments", "%%Page: 1 1"});
            const std::string rest = page2 + (countInHeader ? "" : lines({"%%Pages: 4"}));
            for (int64_t end = 65510; end <= 65545; ++end) {  // 1-based, the keyword's last byte
                const size_t pad = static_cast<size_t>(end) - head.size() - 13;
                const std::string job = head + body(pad) + "%%PageTrailer" + eol + rest +
                                        Body(1100000) + lines({"%%Trailer", "%%EOF"});
                // The keyword is recognised in pass 3 when the first chunk holds it whole;
                // then, with the count known, the question comes before page 2. Otherwise
                // pass 4 meets the trailer and reads on through page 2, whose count comment
                // lets the question come after it.
                const bool inFirst = end <= 65536;
                for (const auto policy : {AnswerPolicy::AllYes, AnswerPolicy::AllNo}) {
                    const bool yes = policy == AnswerPolicy::AllYes;
                    const bool page2 = !countInHeader || yes || !inFirst;  // its comments taken
                    const auto s = ScanText(job, policy);
                    const std::string where = "end " + std::to_string(end) + " eol " +
                                              std::to_string(static_cast<int>(eol[0])) +
                                              (countInHeader ? " count" : " atend") +
                                              (yes ? " yes" : " no");
                    EXPECT_EQ(s.inspection.host.messages.size(), 1u) << where;
                    EXPECT_EQ(s.Caption(kPageCount), countInHeader ? "2" : "4") << where;
                    EXPECT_EQ(s.A().SpotColourCount, page2 ? 1 : 0) << where;
                    EXPECT_EQ(s.A().PageWidth, page2 ? 100 : 0) << where;
                    EXPECT_EQ(s.W().need.ComboRes.size(), page2 ? 2u : 0u) << where;
                }
            }
        }
    }
}

// The chunk after which the scan ends is examined to its end: nothing follows to read a
// deferred comment whole.
TEST(DscBigFile, TheLastChunkReadIsExaminedToItsEnd) {
    const std::string head = "%!PS-Adobe-3.0\n%%Pages: 2\n%%EndComments\n%%Page: 1 1\n";
    const std::string box = "%%BoundingBox: 0 0 300 400\n";
    // A line ends 8 bytes before the first chunk's end, so the second chunk starts at
    // 65,528 and ends at 131,064; the first page trailer stands in it.
    std::string job = head + Body(65528 - head.size()) + Body(30000) + "%%PageTrailer\n";
    for (size_t short_ = 0; short_ < 8; ++short_) {  // the box line ends this far before
        std::string whole = job + Body(131064 - short_ - box.size() - job.size()) + box;
        whole += std::string(short_, ' ') + "\n" + Body(1100000);
        const auto s = ScanText(whole);
        EXPECT_EQ(s.inspection.host.messages.size(), 1u) << short_;
        EXPECT_EQ(s.A().PageWidth, 300) << short_;
        EXPECT_EQ(s.A().PageHeight, 400) << short_;
    }
}

TEST(DscChunks, ACommentAcrossTheChunkBoundaryIsReadWhole) {
    for (size_t at = 65520; at <= 65540; ++at) {
        std::string job = "%!PS-Adobe-3.0\n%%EndComments\n";
        job += Body(at - job.size());
        job += "%%BoundingBox: 0 0 612 792\n%%Pages: 3\n" + Body(2000);
        const auto s = ScanText(job);
        EXPECT_EQ(s.A().PageWidth, 612) << at;
        EXPECT_EQ(s.A().PageHeight, 792) << at;
        EXPECT_EQ(s.Caption(kPageCount), "3") << at;
    }
}

// The first line that is not a comment ends the header also where the line break before it
// is the chunk's last byte: what follows is not shown as the header's.
TEST(DscChunks, TheHeaderEndsAtALineBreakThatEndsTheChunk) {
    std::string job = "%!PS-Adobe-3.0\n";
    while (job.size() < 65400) job += "% " + std::string(60, 'p') + "\n";
    job += "%" + std::string(65536 - job.size() - 2, 'q') + "\ngsave\n%%For: body\n" + Body(2000);
    EXPECT_EQ(ScanText(job).Comments().find("body"), std::string::npos);
}

TEST(DscChunks, AFileOfExactlyOneChunk) {
    std::string job = "%!PS-Adobe-3.0\n%%EndComments\n";
    const std::string tail = "%%Pages: 7\n%%CMYKCustomColor: 0 0 0 1 (Tail)\n";
    job += Body(65536 - job.size() - tail.size()) + tail;
    ASSERT_EQ(job.size(), 65536u);
    const auto s = ScanText(job);
    EXPECT_EQ(s.Caption(kPageCount), "7");
    EXPECT_EQ(s.A().SpotColourCount, 1);
}

TEST(DscChunks, MirrorAcrossTheBoundary) {
    std::string job = "%!PS-Adobe-3.0\n%%EndComments\n";
    job += Body(65530 - job.size()) + "-1 1 scale\n%%PageTrailer\n";
    EXPECT_TRUE(ScanText(job).A().Mirrored);
}

// Every prefix of a small job: no crash, and nothing taken from bytes the file does not have.
TEST(DscRobustness, EveryPrefixOfAJob) {
    const std::string job =
        "%!PS-Adobe-3.0\n%%Title: Prefix\n%%BoundingBox: 0 0 612 792\n%%Pages: 2\n"
        "%%DocumentNeededResources: font A\n%%+ font B\n%%DocumentProcessColors: Cyan Black\n"
        "%%CMYKCustomColor: 0 0 0 1 (A)\n%%+ 0 1 0 0 (B)\n%%RGBCustomColor: 1 0 0 (C)\n"
        "%%BeginFeature: *PageSize A4\n%%EndComments\n-1 1 scale\n%%Page: 1 1\n%%PlateColor: Cyan\n"
        "%%PageTrailer\n";
    for (size_t n = 4; n <= job.size(); ++n) {
        test::Scanned s("p.ps", job.substr(0, n), AnswerPolicy::AllYes);
        EXPECT_TRUE(s.inspection.complete);
        EXPECT_LE(s.A().PageWidth, 612);
        EXPECT_LE(s.A().SpotColourCount, 3);
        EXPECT_LE(s.W().need.ComboRes.size(), 2u);
    }
}

}  // namespace
}  // namespace zelk
