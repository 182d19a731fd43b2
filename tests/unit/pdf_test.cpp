// The PDF scanner on crafted files: the root page tree's count and the first MediaBox.
#include <gtest/gtest.h>

#include <vector>

#include "dsc_test_support.h"

namespace zelk {
namespace {

test::Scanned ScanPdfText(const std::string& body) {
    return test::Scanned("doc.pdf", "%PDF-1.4\n" + body);
}

struct PdfCase {
    const char* body;
    const char* count;
    int width, height;
};

TEST(Pdf, PageCountAndMediaBox) {
    const PdfCase cases[] = {
        // the first root stands
        {"1 0 obj << /Type /Pages /Kids [3 0 R] /Count 2 >> 6 0 obj << /Type /Pages /Count 8 >>",
         "2", 0, 0},
        {"5 0 obj << /Type /Pages /Parent 1 0 R /Count 5 >> endobj\n"
         "1 0 obj << /Type /Pages /Kids [5 0 R] /Count 9 >> endobj",
         "9", 0, 0},
        {"1 0 obj << /Parent 1 0 R /Type /Pages /Kids [2 0 R] /Count 5 >>", "5", 0, 0},
        {"1 0 obj << /Type/Pages /Count 5 >>", "0", 0, 0},
        {"1 0 obj << /Count 3 /Type /Pages>> endobj 7 0 obj", "7", 0, 0},
        {"1 0 obj << /Type /Pages /Count 99999999999 >>", "2147483647", 0, 0},
        {"3 0 obj << /Type /Page /MediaBox [0 0 612 792] >>", "0", 612, 792},
        {"/MediaBox[0 0 595 842] /MediaBox [0 0 1 1]", "0", 595, 842},
        {"/MediaBox [0 0 612.0 792.0]", "0", 612, 0},
        {"/MediaBox [-10 -10 602 782]", "0", 592, 772},
        {"/MediaBox [0 0 612 792", "0", 612, 792},  // cut by the end of the file, evaluated
        {"/MediaBox [0 0 612", "0", 0, 0},          // fewer than four numbers: no box
        {"/Mediabox [0 0 612 792]", "0", 0, 0},
        // cut by the end of the file before "/Count": evaluated as far as it goes
        {"1 0 obj << /Type /Pages /Kids [3 0 R 4 0 R]", "3", 0, 0},
        // Runs of items that never complete: every search from one candidate must still be
        // right for the next (a word or ">" just past the last one found, a number far on).
        {"/Type /Pages /Type /Pages /Parent >> /Type /Pages /Count 4 >>", "4", 0, 0},
        {"/Type /Pages /Count 2 >> /Type /Pages /Parent /Count 7 >>", "2", 0, 0},
        {"/Type /Pages /Count /Type /Pages x>> 6", "6", 0, 0},
        {"/MediaBox [ /MediaBox [ /MediaBox [1 2 /MediaBox [3 4 612 792]", "0", 2, 2},
    };
    for (const auto& c : cases) {
        const auto s = ScanPdfText(c.body);
        EXPECT_EQ(s.Caption(kPageCount), c.count) << c.body;
        EXPECT_EQ(s.A().PageWidth, c.width) << c.body;
        EXPECT_EQ(s.A().PageHeight, c.height) << c.body;
        EXPECT_EQ(s.Comments(), "") << c.body;  // a PDF adds no report lines
    }
}

// Filler that holds no "/" and no digit.
std::string Filler(size_t bytes) {
    return std::string(bytes, 'x');
}

TEST(Pdf, ItemsAcrossTheChunkBoundary) {
    const std::string root =
        "<< /Type /Pages /Kids [" + std::string(340, ' ') + "3 0 R] /Count 12 >>";  // ~400 bytes
    std::vector<size_t> cuts{65536 - 450, 65536 - 300, 65536 - 30, 65536 - 10, 65536 - 900};
    // The chunk's end after each byte from the last kid's numbers to the "/Count" key's end.
    const size_t kids = root.find("3 0 R"), count = root.find("/Count") + 6;
    for (size_t at = kids; at <= count; ++at) cuts.push_back(65536 - at);
    for (size_t before : cuts) {
        std::string body =
            Filler(before - 9) + root + "\n/MediaBox [0 0 612 792]\n" + Filler(70000);
        const auto s = ScanPdfText(body);
        EXPECT_EQ(s.Caption(kPageCount), "12") << before;
        EXPECT_EQ(s.A().PageWidth, 612) << before;
    }
    // What ran out of digits in one chunk says nothing of the next: a root with no count
    // after it, cut by the first chunk's end, then an updated root in the second chunk.
    const auto updated = ScanPdfText(Filler(10000) + "<< /Type /Pages /Count " + Filler(80000) +
                                     ">>\n<< /Type /Pages /Count 12 >>\n" + Filler(1000));
    EXPECT_EQ(updated.Caption(kPageCount), "12");
    // A root longer than the overlap, cut after it began in the last 500 bytes: the next chunk
    // starts at its "/Type".
    const std::string longRoot = "<< /Type /Pages /Count" + Filler(600) + " 7 >>";
    EXPECT_EQ(ScanPdfText(Filler(65036 - 12) + longRoot + Filler(100)).Caption(kPageCount), "7");
    // One that began before the last 500 bytes and whose "/Count" the chunk end cuts off gives
    // no count, rather than its first kid's number.
    const std::string cutRoot = "<< /Type /Pages /Kids [3 0 R" + Filler(700) + "] /Count 9 >>";
    EXPECT_EQ(ScanPdfText(Filler(65536 - 9 - 600) + cutRoot + Filler(100)).Caption(kPageCount),
              "0");
}

TEST(Pdf, EveryPrefixOfADocument) {
    const std::string doc =
        "%PDF-1.4\n1 0 obj << /Type /Catalog /Pages 2 0 R >> endobj\n"
        "2 0 obj << /Type /Pages /Kids [3 0 R] /Count 1 >> endobj\n"
        "3 0 obj << /Type /Page /Parent 2 0 R /MediaBox [0 0 595 842] >> endobj\n%%EOF\n";
    for (size_t n = 4; n <= doc.size(); ++n) {
        test::Scanned s("p.pdf", doc.substr(0, n));
        EXPECT_LE(s.A().PageWidth, 595);
        // Cut inside the root before "/Count", the first number after "/Type /Pages" is taken.
        const std::string pag = s.Caption(kPageCount);
        EXPECT_TRUE(pag == "0" || pag == "1" || pag == "3") << n << " " << pag;
    }
}

}  // namespace
}  // namespace zelk
