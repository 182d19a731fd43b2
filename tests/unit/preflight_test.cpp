// What zelk-inspect reads beyond the window: crafted files for what real tools do not make
// (inheritance, composite fonts, a decompression bomb, cut and damaged streams, deferred DSC
// comments, looping TIFF directories); the fixtures of real tools are in the golden test.
#include <gtest/gtest.h>
#include <zlib.h>

#include <nlohmann/json.hpp>

#include "analysis/memory_source.h"
#include "preflight/feed.h"
#include "preflight/preflight.h"
#include "preflight_output.h"
#include "test_files.h"

namespace zelk::preflight {
namespace {

std::string Deflate(const std::string& data) {
    uLongf size = compressBound(static_cast<uLong>(data.size()));
    std::string out(size, '\0');
    compress2(reinterpret_cast<Bytef*>(out.data()), &size,
              reinterpret_cast<const Bytef*>(data.data()), static_cast<uLong>(data.size()), 6);
    out.resize(size);
    return out;
}

// `v` as `bytes` bytes, the least significant first.
std::string LittleEndian(uint32_t v, int bytes = 4) {
    std::string out;
    for (int i = 0; i < bytes; ++i) out += static_cast<char>(v >> (8 * i) & 0xFF);
    return out;
}

// Object `number` as an object stream of `objects`; `cut` keeps only that many bytes of its
// compressed data (the length still says all of it).
std::string ObjectStream(int number, const std::vector<std::pair<int, std::string>>& objects,
                         size_t cut = std::string::npos,
                         const std::string& filter = "/FlateDecode") {
    std::string header, body;
    for (const auto& [n, text] : objects) {
        header += std::to_string(n) + " " + std::to_string(body.size()) + " ";
        body += text + "\n";
    }
    std::string data = filter.empty() ? header + body : Deflate(header + body);
    const size_t length = data.size();
    data = data.substr(0, cut);
    return std::to_string(number) + " 0 obj\n<< /Type /ObjStm /N " +
           std::to_string(objects.size()) + " /First " + std::to_string(header.size()) +
           (filter.empty() ? "" : " /Filter " + filter) + " /Length " + std::to_string(length) +
           " >>\nstream\n" + data + "\nendstream\nendobj\n";
}

// The facts zelk-inspect reads from the window's scan's own reads: `piece` bytes at a time,
// each read after the first stepping back `overlap`, as the scan of a PDF does; or jumping
// to the middle after the first read, which the feed cannot follow.
std::optional<Facts> SharedFacts(const std::string& path, int64_t piece, int64_t overlap,
                                 bool jump = false) {
    SharedRead shared(path);
    const auto source = shared.Source(OpenSourceFile(path));
    std::vector<uint8_t> chunk(static_cast<size_t>(piece));
    for (bool first = true; source->Read(chunk.data(), piece) == piece; first = false)
        source->Seek(jump && first ? source->Size() / 2 : source->Position() - overlap);
    return shared.Finish(false);
}

// The facts of a PDF in memory; and the same read in small pieces, and through a shared
// read in every way a scan reads, so that stretch ends fall inside every token, and when the
// scan stops halfway.
PdfFacts Pdf(const std::string& bytes, std::vector<std::string>& notes) {
    MemorySourceFile file(bytes), again(bytes);
    const PdfFacts facts = ReadPdf(file, notes);
    EXPECT_TRUE(Read(again, "PDF").pdf == facts);  // as read after a scan that shared nothing
    if (bytes.size() < (1 << 20)) {
        test::Trickle trickle(bytes);
        std::vector<std::string> trickleNotes;
        EXPECT_TRUE(ReadPdf(trickle, trickleNotes) == facts && trickleNotes == notes);
    }
    test::TempDir dir;
    const std::string path = dir.Write("job.pdf", bytes);
    const bool small = bytes.size() < (1 << 20);
    for (const auto& [piece, overlap, jump] :
         {std::tuple{65536, 500, false}, {1000, 500, false}, {61, 0, false}, {4096, 0, true}}) {
        if (piece < 4096 && !small) continue;
        const auto shared = SharedFacts(path, piece, overlap, jump);
        EXPECT_TRUE(shared && shared->pdf == facts && shared->notes == notes)
            << piece << (shared ? "" : ": no facts");
    }
    SharedRead abandoned(path);
    std::vector<uint8_t> chunk(100);
    abandoned.Source(OpenSourceFile(path))->Read(chunk.data(), 100);
    EXPECT_FALSE(abandoned.Finish(true));
    return facts;
}

TEST(PreflightPdf, ObjectStreamsInheritanceFontsAndInfo) {
    const std::string pdf =
        "%PDF-1.5\n19 0 obj << /Type /Pages /Count 99 >> endobj\n" +  // before the root
        ObjectStream(
            1,
            {{2, "<< /Type /Catalog /Pages 3 0 R >>"},
             {3, "<< /Type /Pages /Kids [4 0 R] /Count 7 /MediaBox [0 0 1000 500] /Rotate -450 >>"},
             {4,
              "<< /Type /Pages /Parent 3 0 R /Kids [5 0 R 13 0 R] /Count 7 "
              "/CropBox [990 490 10 20] >>"},
             {5,
              "<< /Type /Page /Parent 4 0 R /TrimBox [20.5 20 980 480] /Resources << "
              "/ColorSpace << /CS0 [/Separation /Spot#20One /DeviceCMYK 9 0 R] /CS1 "
              "[/DeviceN [/Black /None /Spot#20Two /Spot#20One] /DeviceCMYK 9 0 R] /CS2 "
              "[/Separation /All /DeviceCMYK 9 0 R] >> /Font << /F1 6 0 R >> >> >>"}},
            std::string::npos, "[/FlateDecode]") +  // the filter as an array of one
        "6 0 obj << /Type /Font /Subtype /Type0 /BaseFont /ABCDEF+Gothic-H /DescendantFonts [7 0 "
        "R] >> endobj\n"
        "7 0 obj << /Type /Font /Subtype /CIDFontType2 /BaseFont /ABCDEF+Gothic "
        "/FontDescriptor 8 0 R >> endobj\n"
        "8 0 obj << /Type /FontDescriptor /FontName /ABCDEF+Gothic /FontFile2 10 0 R >> endobj\n"
        "11 0 obj << /Type /Font /Subtype /Type1 /BaseFont /Helvetica >> endobj\n"
        "15 0 obj << /Type /Font /Subtype /Type0 /BaseFont /Direct-H\n"
        "/DescendantFonts [<< /Type /Font /FontDescriptor 16 0 R >>] >> endobj\n"
        "16 0 obj << /Type /FontDescriptor /FontFile3 17 0 R >> endobj\n"
        "13 0 obj << /Type /Page /Parent 4 0 R /MediaBox [0 0 1 1] >> endobj\n"
        "12 0 obj << /Title <FEFF00C4 004a D83D DE00 D800 DFFF E000 DC00 00> /Creator <FEFF>\n"
        "/Producer (A \\(B\\) C\\101\\7\\\r\nD\\\nE\\r\\n\\t\\b\\f\\\\) >> endobj\n"
        "14 0 obj << /Title (not the info) >> endobj\n"
        "18 0 obj << /Type /Catalog /Pages 19 0 R >> endobj\n"  // a catalog, not the trailer's
        "11 0 obj << /Type /Font /Subtype /Type1 /BaseFont /Helvetica-Bold >> endobj\n"
        "trailer << /Root 2 0 R /Info 12 0 R >>\n%%EOF\n";
    std::vector<std::string> notes;
    const PdfFacts facts = Pdf(pdf, notes);
    EXPECT_TRUE(notes.empty()) << notes.front();
    EXPECT_EQ(facts.objectStreams, 1);
    EXPECT_EQ(facts.pages, 7);
    ASSERT_TRUE(facts.firstPageFound);
    EXPECT_EQ(facts.mediaBox, (Box{0, 0, 1000, 500}));  // from the root
    EXPECT_EQ(facts.cropBox, (Box{10, 20, 990, 490}));  // from the nearer node, corners sorted
    EXPECT_EQ(facts.trimBox, (Box{20.5, 20, 980, 480}));
    EXPECT_FALSE(facts.bleedBox);
    EXPECT_EQ(facts.rotate, 270);
    const PageSize size = PdfPageSize(facts);
    EXPECT_EQ(size.width, 470);  // the crop box, turned
    EXPECT_EQ(size.height, 980);
    EXPECT_EQ(facts.spots, (std::vector<std::string>{"Spot One", "Spot Two"}));
    EXPECT_EQ(facts.processInks, std::vector<std::string>{"Black"});
    // A composite font once, embedded through its descendant (an object or a dictionary in
    // place); the later object 11 wins.
    EXPECT_EQ(facts.fonts, (std::vector<PdfFont>{{"ABCDEF+Gothic-H", "Type0", "FontFile2"},
                                                 {"Helvetica-Bold", "Type1", ""},
                                                 {"Direct-H", "Type0", "FontFile3"}}));
    // Two surrogate pairs and U+E000, then a lone surrogate is U+FFFD, a lone byte lost.
    EXPECT_EQ(facts.title, "\xC3\x84J\xF0\x9F\x98\x80\xF0\x90\x8F\xBF\xEE\x80\x80\xEF\xBF\xBD");
    EXPECT_EQ(facts.producer, "A (B) CA\aDE\r\n\t\b\f\\");  // lines continued, escapes
    EXPECT_EQ(facts.creator, "");                           // a byte-order mark alone
    // Without a catalog the root is the first node without a parent, wherever it lies; a
    // header without its numbers begins no object.
    const std::string orphan =
        "%PDF-1.4\nx obj << /Type /Pages /Count 9 >> endobj\n"
        "2 0 obj << /Type /Pages /Parent 1 0 R /Kids [3 0 R] /Count 1 >> endobj\n"
        "1 0 obj << /Type /Pages /Kids [2 0 R] /Count 5 >> endobj\n"
        "6 0 obj << /Type /Pages /Count 8 >> endobj\n"
        "3 0 obj << /Title <EFBBBF4 14> >>\ntrailer << /Info 3 0 R /Encrypt 4 0 R >>\n";
    const PdfFacts orphanFacts = Pdf(orphan, notes);
    EXPECT_EQ(orphanFacts.pages, 5);
    EXPECT_TRUE(orphanFacts.encrypted && !facts.encrypted);
    // UTF-8 without its mark, a blank inside a pair passed over, an odd last digit given a 0;
    // its object's missing "endobj" leaves the trailer whole.
    EXPECT_EQ(orphanFacts.title, "A@");
    // A composite font whose descendant is missing is not embedded, whatever object 1 is; nor
    // one whose descendant in place has no descriptor.
    const std::string lost =
        "%PDF-1.4\n1 0 obj << /Type /FontDescriptor /FontFile2 3 0 R >> endobj\n"
        "2 0 obj << /Type /Font /Subtype /Type0 /BaseFont /Lost-H /DescendantFonts [4 0 R] >>\n"
        "5 0 obj << /Type /Font /Subtype /Type0 /BaseFont /Bare-H /DescendantFonts [<< >>] >>\n";
    EXPECT_EQ(Pdf(lost, notes).fonts,
              (std::vector<PdfFont>{{"Lost-H", "Type0", ""}, {"Bare-H", "Type0", ""}}));
    // A simple font is no composite's descendant; a descendant's descriptor in place embeds.
    const std::string inPlace =
        "%PDF-1.4\n1 0 obj << /Type /Font /Subtype /Type1 /BaseFont /One >> endobj\n"
        "2 0 obj << /Type /Font /Subtype /Type0 /BaseFont /In-H /DescendantFonts [3 0 R] >>\n"
        "3 0 obj << /Type /Font /BaseFont /In /FontDescriptor << /FontFile 4 0 R >> >>\n";
    EXPECT_EQ(Pdf(inPlace, notes).fonts,
              (std::vector<PdfFont>{{"One", "Type1", ""}, {"In-H", "Type0", "FontFile"}}));
    EXPECT_FALSE(Pdf("%PDF-1.4\n1 0 obj << /Type /Pages /Count -1 >> endobj\n", notes).pages);
    // A stream's length, when right, is trusted over an "endstream" in its data; its data
    // starts after CR LF too. A string keeps an escaped NUL.
    std::string inside = "%PDF-1.5\n" +
                         ObjectStream(1, {{2, "<< /Title (endstream) >>"}}, std::string::npos, "") +
                         "trailer << /Info 2 0 R >>\n";
    EXPECT_EQ(Pdf(inside, notes).title, "endstream");
    EXPECT_EQ(Pdf(inside.replace(inside.find("stream\n"), 7, "stream\r\n"), notes).title,
              "endstream");
    // A wrong length is not trusted: the data runs to its "endstream".
    std::string wrong = "%PDF-1.5\n" +
                        ObjectStream(1, {{2, "<< /Title (x) >>"}}, std::string::npos, "") +
                        "trailer << /Info 2 0 R >>\n";
    EXPECT_EQ(Pdf(wrong.replace(wrong.find("/Length 21"), 10, "/Length 5 "), notes).title, "x");
    const char nul[] = "%PDF-1.4\n1 0 obj << /Title (a\\\0b) >> endobj trailer << /Info 1 0 R >>";
    EXPECT_EQ(Pdf(std::string(nul, sizeof nul - 1), notes).title, std::string("a\0b", 3));
    // A string keeps its first 64 KiB, however it is written; a name its first 256 bytes.
    const std::string name = "/" + std::string(300, 'F');
    for (const auto& [written, kept] : {std::pair{"(" + std::string(70000, 'A') + ")", 'A'},
                                        {"<" + std::string(140001, '4') + ">", 'D'}}) {
        const PdfFacts big = Pdf("%PDF-1.4\n1 0 obj << /Type /Font /BaseFont " + name + " /Title " +
                                     written + " >> endobj trailer << /Info 1 0 R >>",
                                 notes);
        EXPECT_EQ(big.title, std::string(65536, kept));
        EXPECT_EQ(big.fonts.at(0).name, std::string(256, 'F'));
    }
}

// An unfiltered object stream of 16 MiB and `more` bytes: its header "2 0 3 19 " (9 bytes),
// object 2 a title's dictionary (18 bytes and a line break), then object 3, a string of zeros
// (its parentheses and a line break are the last 3 bytes).
std::string Unfiltered16MiB(size_t more) {
    const std::string string = "(" + std::string((16 << 20) + more - 9 - 19 - 3, '0') + ")";
    return ObjectStream(1, {{2, "<< /Title (big) >>"}, {3, string}}, std::string::npos, "");
}

TEST(PreflightPdf, BombsCutAndDamagedStreamsAreNotedAndSkipped) {
    const std::string page =
        "20 0 obj << /Type /Catalog /Pages 21 0 R >> endobj\n"
        "21 0 obj << /Type /Pages /Kids [22 0 R] /Count 1 >> endobj\n"
        "22 0 obj << /Type /Page /Parent 21 0 R /MediaBox [0 0 200 100] >> endobj\n";
    std::string filler;  // compresses poorly, so a cut loses the objects behind it
    for (uint32_t x = 1; filler.size() < 20000; x = x * 1103515245 + 12345)
        filler += static_cast<char>('a' + (x >> 16) % 26);
    const struct {
        const char* what;
        std::string stream;
        const char* note;
        bool titleRead;
    } cases[] = {
        {"bomb",
         ObjectStream(1, {{2, "<< /Title (bomb) >>"}, {3, "(" + std::string(17 << 20, '0') + ")"}}),
         "inflates to over 16 MiB", false},
        {"cut", ObjectStream(1, {{2, "<< /Title (cut) >>"}, {3, "(" + filler + ")"}}, 2000),
         "cut short", true},
        {"not zlib",
         "1 0 obj << /Type /ObjStm /N 1 /First 4 /Filter /FlateDecode /Length 9 >>\n"
         "stream\nnot zlib!\nendstream endobj\n",
         "damaged", false},
        {"unfiltered, a byte too big", Unfiltered16MiB(1), "over 16 MiB", false},
        {"predictor",
         "1 0 obj << /Type /ObjStm /N 1 /First 4 /Filter /FlateDecode /DecodeParms << /Predictor "
         "12 >> /Length 9 >>\nstream\nnot zlib!\nendstream endobj\n",
         "uses a predictor", false},
        {"other filter",
         ObjectStream(1, {{2, "<< /Title (lzw) >>"}}, std::string::npos, "/LZWDecode"),
         "other than FlateDecode", false},
        {"no /N", "1 0 obj << /Type /ObjStm /Length 3 >>\nstream\n2 0\nendstream endobj\n",
         "no valid /N", false},
        {"short header",  // unfiltered: the header lists one object of three
         "1 0 obj << /Type /ObjStm /N 3 /First 4 /Length 20 >>\nstream\n2 0\n<< /Title (x) >>"
         "\nendstream endobj\n",
         "fewer objects", true},
        {"offset past the data",
         "1 0 obj << /Type /ObjStm /N 1 /First 5 /Length 21 >>\nstream\n2 16\n<< /Title (x) >>"
         "\nendstream endobj\n",
         "fewer objects", false},
    };
    for (const auto& c : cases) {
        std::vector<std::string> notes;
        const PdfFacts facts =
            Pdf("%PDF-1.5\n" + c.stream + page + "trailer << /Root 20 0 R /Info 2 0 R >>\n", notes);
        ASSERT_EQ(notes.size(), 1u) << c.what;
        EXPECT_NE(notes[0].find(c.note), std::string::npos) << c.what << ": " << notes[0];
        EXPECT_EQ(facts.title.has_value(), c.titleRead) << c.what;
        // The objects outside the stream are still read.
        EXPECT_EQ(facts.pages, 1) << c.what;
        EXPECT_EQ(PdfPageSize(facts).width, 200) << c.what;
    }
    std::vector<std::string> notes;  // exactly 16 MiB is read
    EXPECT_TRUE(
        Pdf("%PDF-1.5\n" + Unfiltered16MiB(0) + "trailer << /Info 2 0 R >>\n", notes).title);
}

TEST(PreflightPdf, DamageAroundObjects) {
    // A stray close (an object's "]", a dictionary's ")"), an unterminated dictionary, a stream
    // whose length is wrong or missing or whose object cannot be read, an object with no endobj,
    // an unbalanced string, a stream without end: each costs only itself. A word that only begins
    // with a keyword ("streams") is none.
    const std::string pdf =
        "%PDF-1.4\n1 0 obj << /Type /Catalog /Pages 2 0 R >> endobj\n"
        "10 0 obj ] endobj\n"
        "5 0 obj << /Broken [1 2 endobj\n"
        "11 0 obj << [ >> stream\n12 0 obj << /Type /Font /BaseFont /InData >>\nendstream endobj\n"
        "6 0 obj << /Length 3 >> stream\n13 0 obj << /Type /Font /BaseFont /D >>\n"
        "endstream endobj\n"
        "7 0 obj << /Length 8 0 R >> stream\n9 0 obj (x)\nendstream endobj\n"
        "2 0 obj << /Type /Pages /Stray ) /Kids [3 0 R] /Count 2 >>\n"
        "3 0 obj << /Type /Page /Parent 2 0 R /MediaBox [0 0 50 60] /CropBox [0 0 90 90]\n"
        "/Rotate 90x >> endobj\n"
        "8 0 obj << /Unbalanced (" +
        std::string(9 << 20, ' ') +
        "\nstreams\n9 0 obj << /Title (after the damage) >> endobj\ntrailer << /Info 9 0 R >>\n"
        "4 0 obj << /Length 10 >> stream\nnever ends";
    std::vector<std::string> notes;
    const PdfFacts facts = Pdf(pdf, notes);
    EXPECT_EQ(facts.pages, 2);
    EXPECT_EQ(facts.title, "after the damage");  // not the one in stream data
    EXPECT_TRUE(facts.fonts.empty());            // nor a font in stream data
    // The crop box clipped to the media box, not turned: "90x" is no number.
    const PageSize size = PdfPageSize(facts);
    EXPECT_EQ(size.width, 50);
    EXPECT_EQ(size.height, 60);
    PdfFacts beside = facts;  // a crop box wholly beside the media box gives way to it
    beside.cropBox = Box{60, 0, 90, 90};
    EXPECT_EQ(PdfPageSize(beside).width, 50);
    ASSERT_EQ(notes.size(), 5u);
    EXPECT_NE(notes[0].find("object 10"), std::string::npos) << notes[0];  // a stray "]"
    EXPECT_NE(notes[1].find("object 5"), std::string::npos) << notes[1];
    EXPECT_NE(notes[3].find("object 8"), std::string::npos) << notes[3];
    EXPECT_NE(notes[4].find("object 4 has no end"), std::string::npos) << notes[4];

    test::Trickle failing(pdf, 406);  // a read error is said, and what came before counts
    notes.clear();
    EXPECT_EQ(ReadPdf(failing, notes).pages, 2);
    EXPECT_EQ(notes.back(), "the file could not be read to its end");
    // A string never closed runs over the objects behind it: they are looked for within it.
    notes.clear();
    EXPECT_EQ(Pdf("%PDF-1.4\n1 0 obj << /Type /Catalog /Pages 2 0 R >> endobj\n5 0 obj (\n"
                  "2 0 obj << /Type /Pages /Kids [] /Count 3 >> endobj\n",
                  notes)
                  .pages,
              3);
    std::string strays = "%PDF-1.4\n";  // the first 50 notes are kept
    for (int i = 1; i <= 51; ++i) strays += std::to_string(i) + " 0 obj ] endobj\n";
    notes.clear();
    Pdf(strays, notes);
    EXPECT_EQ(notes.size(), 50u);
}

// One object's value is read to 32 levels of nesting, arrays past the items they keep
// included, and a string's first 64 KiB are kept.
TEST(PreflightPdf, LimitsOfOneObject) {
    for (const int depth : {32, 33}) {
        std::string deep;  // each inner array comes after the 256 items its outer one keeps
        for (int i = 0; i < depth * 257 - 256; ++i) deep += i % 257 == 0 ? "[" : "0 ";
        const std::string pdf = "%PDF-1.4\n1 0 obj << /Title (" + std::string(70000, 'a') +
                                ") /Deep " + deep + std::string(depth, ']') +
                                " >> endobj\ntrailer << /Info 1 0 R >>\n";
        std::vector<std::string> notes;
        const PdfFacts facts = Pdf(pdf, notes);
        EXPECT_EQ(facts.title.value_or("").size(), depth == 32 ? 64u * 1024 : 0u);
    }
}

// Past 4,096 pages only the pages already met are kept: a later update of the first page is
// the one read, whether the first page was met before the limit or only after it.
TEST(PreflightPdf, TheFirstPageUpdatedAfterManyPages) {
    for (const std::string first : {"2", "5001"}) {
        std::string pdf =
            "%PDF-1.4\n1 0 obj << /Type /Pages /Kids [" + first + " 0 R] /Count 5000 >> endobj\n";
        for (int i = 2; i <= 5001; ++i)
            pdf += std::to_string(i) + " 0 obj << /Type /Page /MediaBox [0 0 10 10] >> endobj\n";
        pdf += first + " 0 obj << /Type /Page /MediaBox [0 0 20 30] >> endobj\n";
        std::vector<std::string> notes;
        EXPECT_EQ(Pdf(pdf, notes).mediaBox, (Box{0, 0, 20, 30})) << first;
    }
}

// Streams longer than the scan's pieces: the shared read steps over their stretches, and
// each goes back to the scan (one kept would soon leave the scan waiting for a slot).
TEST(PreflightPdf, StreamsSteppedOver) {
    std::string pdf = "%PDF-1.4\n";
    for (int i = 1; i <= 40; ++i)
        pdf += std::to_string(i) + " 0 obj << /Length 300 >> stream\n" + std::string(300, 'x') +
               "\nendstream endobj\n";
    pdf += "41 0 obj << /Title (after) >> endobj\ntrailer << /Info 41 0 R >>\n";
    std::vector<std::string> notes;
    EXPECT_EQ(Pdf(pdf, notes).title, "after");
}

// A signal after the scan has ended still stops the reader where it stands; and the scan
// reads what the file holds wherever it seeks, back where a read ended after a jump too.
TEST(PreflightPdf, AnAbandonAfterTheScansEndAndTheScansSeeks) {
    Feed feed;
    std::string bytes(6000, 'a');
    bytes[100] = 'b';
    FeedingSource source(std::make_unique<MemorySourceFile>(bytes), feed);
    uint8_t got[100];
    source.Read(got, 100);
    source.Seek(5000);
    source.Seek(100);
    EXPECT_TRUE(source.Read(got, 1) == 1 && got[0] == 'b');
    feed.End(false);
    feed.End(true);
    EXPECT_TRUE(feed.Abandoned());
    // A read the file refuses is an error for the scan, not the file's end.
    EXPECT_EQ(FeedingSource(std::make_unique<test::Trickle>("x", 0), feed).Read(got, 1), -1);
}

TEST(PreflightFit, VerdictsAndMargins) {
    const struct {
        PageSize page;
        double fast, slow;
        Verdict verdict;
        bool turned;
        double fastMargin, slowMargin;
    } cases[] = {
        {{595, 842}, 1582, 2126, Verdict::Fits, false, 987, 1284},
        {{100, 200}, 100, 200, Verdict::Fits, false, 0, 0},       // exactly
        {{842, 595}, 595, 842, Verdict::FitsTurned, true, 0, 0},  // exactly, turned
        {{842, 595}, 700, 900, Verdict::FitsTurned, true, 105, 58},
        {{1000, 1000}, 900, 2000, Verdict::TooBig, false, -100, 1000},
        {{3000, 500}, 2000, 1000, Verdict::TooBig, false, -1000, 500},  // as is overhangs less
        {{500, 3000}, 2000, 1000, Verdict::TooBig, true, -1000, 500},   // turned overhangs less
        {{842, 596}, 595, 843, Verdict::TooBig, true, -1, 1},           // turned, by a point
        {{0, 842}, 1582, 2126, Verdict::Unknown, false, 0, 0},
    };
    for (const auto& c : cases) {
        const Fit fit = FitOnFormat(c.page, c.fast, c.slow);
        EXPECT_EQ(fit.verdict, c.verdict) << c.page.width << " x " << c.page.height;
        EXPECT_EQ(fit.turned, c.turned) << c.page.width << " x " << c.page.height;
        EXPECT_EQ(fit.fastScanMargin, c.fastMargin) << c.page.width << " x " << c.page.height;
        EXPECT_EQ(fit.slowScanMargin, c.slowMargin) << c.page.width << " x " << c.page.height;
    }
    for (const auto& [verdict, name] : {std::pair{Verdict::Fits, "fits"},  // the JSON's names
                                        {Verdict::FitsTurned, "fitsTurned"},
                                        {Verdict::TooBig, "tooBig"},
                                        {Verdict::Unknown, "unknown"}})
        EXPECT_STREQ(VerdictName(verdict), name);
}

TEST(PreflightDsc, DeferredCommentsContinuationsAndTheBinaryHeader) {
    const std::string ps =
        "%!PS-Adobe-3.0 EPSF-3.0\r\n%%HiResBoundingBox: (atend)\r\n%%DocumentMedia: (atend)\r\n"
        "%%EndComments\r\n%%HiResBoundingBox: 9 9 9 9\r\n"
        "%%Trailer\r\n%%HiResBoundingBox:1.5 2.5 100.25 200.75\r\n"
        "%%DocumentMedia: Plain 595 842 80 white ()\r\n%%+ (Heavy (card)) 612 792 300 () coated\r\n"
        "%%+Film 1000 1400 0\r\n%%DocumentFonts: A\r\n%%+ Fake 1 2 3 () ()\r\n"
        "%%EOF\r\n";
    const std::string dos = "\xC5\xD0\xD3\xC6" + LittleEndian(30) +
                            LittleEndian(static_cast<uint32_t>(ps.size())) + std::string(18, '\0') +
                            ps + "preview, not PostScript: %%Trailer\n%%HiResBoundingBox: 7";
    for (const std::string& bytes : {ps, dos}) {
        MemorySourceFile file(bytes);
        std::vector<std::string> notes;
        const DscFacts facts = ReadDsc(file, notes);
        EXPECT_EQ(facts.hiResBoundingBox, (Box{1.5, 2.5, 100.25, 200.75}));
        ASSERT_EQ(facts.media.size(), 3u);
        EXPECT_EQ(facts.media[0].name, "Plain");
        EXPECT_EQ(facts.media[0].colour, "white");
        EXPECT_EQ(facts.media[1].name, "Heavy (card)");
        EXPECT_EQ(facts.media[1].weight, 300);
        EXPECT_EQ(facts.media[1].height, 792);
        EXPECT_EQ(facts.media[1].type, "coated");
        EXPECT_EQ(facts.media[2].name, "Film");
        EXPECT_TRUE(notes.empty());
    }
    // Not deferred: the header's box stands, whatever a trailer read for the media says, from
    // the file's first byte on; words after its four numbers are left.
    MemorySourceFile header(
        "%%HiResBoundingBox: 1 2 3 4 x\n%%DocumentMedia: (atend)\n%%EndComments\n%%Trailer\n"
        "%%HiResBoundingBox: 5 6 7 8\n%%DocumentMedia: Late 1 2 3\n");
    std::vector<std::string> notes;
    const DscFacts headerFacts = ReadDsc(header, notes);
    EXPECT_EQ(headerFacts.hiResBoundingBox, (Box{1, 2, 3, 4}));
    EXPECT_EQ(headerFacts.media.at(0).name, "Late");
    for (const std::string end : {"%%EndComments\n", "newpath\n"}) {  // either ends the header
        MemorySourceFile body("%!PS-Adobe-3.0\n" + end + "%%HiResBoundingBox: 1 2 3 4\n");
        EXPECT_FALSE(ReadDsc(body, notes).hiResBoundingBox) << end;  // an embedded file's box
    }
    // Read from the file's first byte to its last, which ends no line; a continuation of
    // nothing is no medium, a box with a word for a number no box.
    MemorySourceFile bare(
        "%%+ Stray 1 2 3 () ()\n%%HiResBoundingBox: 5 6 x 8\n%%HiResBoundingBox: 5 6 7 8");
    const DscFacts bareFacts = ReadDsc(bare, notes);
    EXPECT_EQ(bareFacts.hiResBoundingBox, (Box{5, 6, 7, 8}));
    EXPECT_TRUE(bareFacts.media.empty());
}

// A little-endian TIFF: one directory of `entries` (tag, type, count, value), then `next`.
std::string Tiff(const std::vector<std::array<uint32_t, 4>>& entries, uint32_t next) {
    std::string t = std::string("II*\0", 4) + LittleEndian(8) +
                    LittleEndian(static_cast<uint32_t>(entries.size()), 2);
    for (const auto& [tag, type, count, value] : entries)
        t += LittleEndian(tag, 2) + LittleEndian(type, 2) + LittleEndian(count) +
             LittleEndian(value);
    return t + LittleEndian(next);
}

// The same directory ending the chain, pointing back at itself, pointing past the file (by
// all four bytes of the offset), and pointing at a directory cut short.
TEST(PreflightTiff, TagsAndTheDirectoryChain) {
    const uint32_t inline2 = 'K' | 0u << 8 | 'Y' << 16 | 'M' << 24;  // "K\0YM" in the entry
    const struct {
        uint32_t next;
        std::string note;
        int images;  // a directory cut short counts
    } chains[] = {{0, "", 1}, {8, "loops", 1}, {0x1000008, "outside", 1}, {62, "cut short", 2}};
    for (const auto& [next, note, images] : chains) {
        // The file ends with the directory, or with a second one's count of entries, at 62,
        // and no entries. Of an orientation of two values the first counts.
        MemorySourceFile file(
            Tiff({{274, 3, 2, 7}, {332, 3, 1, 2}, {333, 2, 4, inline2}, {34675, 7, 100, 1000}},
                 next) +
            std::string("\x05\0", next == 62 ? 2 : 0));
        std::vector<std::string> notes;
        const TiffFacts facts = ReadTiff(file, notes);
        EXPECT_EQ(facts.orientation, 7);
        EXPECT_EQ(facts.inkSet, 2);
        EXPECT_EQ(facts.inkNames, (std::vector<std::string>{"K", "YM"}));
        EXPECT_TRUE(facts.iccProfile);
        EXPECT_EQ(facts.images, images);
        EXPECT_TRUE(note.empty() ? notes.empty()
                                 : notes.size() == 1 && notes[0].find(note) != std::string::npos)
            << next;
    }
    // A chain of empty directories is followed for 100,000 of them, and no further.
    std::string chain("II*\0", 4);
    for (uint32_t next = 8; next < 8 + 6 * 100'002; next += 6)  // a pointer, then a count
        chain += LittleEndian(next) + std::string(2, '\0');
    MemorySourceFile many(chain);
    std::vector<std::string> notes;
    EXPECT_EQ(ReadTiff(many, notes).images, 100'000);
    notes.clear();
    MemorySourceFile big(std::string("II+\0\x08\0\0\0", 8) + std::string(24, '\0'));
    EXPECT_EQ(ReadTiff(big, notes).images, 0);
    EXPECT_EQ(notes, std::vector<std::string>{"not a classic TIFF: its directories are not read"});
    for (int32_t o : {1, 3, 6, 8}) EXPECT_FALSE(OrientationMirrors(o)) << o;
    for (int32_t o : {2, 4, 5, 7}) EXPECT_TRUE(OrientationMirrors(o)) << o;
}

TEST(PreflightCli, OutputFormatOptions) {
    const std::string job = test::NativePath(test::DataPath("pdf/qpdf-rotated.pdf"));
    const auto fit = [&job](const std::string& options) {
        const auto run = test::RunInspect("--json " + options + " \"" + job + "\"");
        EXPECT_EQ(run.status, 0) << options << run.err;
        return nlohmann::json::parse(run.out)["preflight"]["fit"];
    };
    // The rotated page is 822 x 575 pt.
    auto f = fit("--fast-scan 830pt --slow-scan=22cm");
    EXPECT_EQ(f["verdict"], "fits");
    EXPECT_EQ(f["formatFrom"], "options");
    EXPECT_EQ(f["slowScanMargin"], 48.622);  // 220 mm is 623.622 pt
    f = fit("--fast-scan=8in");
    EXPECT_EQ(f["formatFrom"], "options");  // one of the two is enough
    EXPECT_EQ(f["verdict"], "fitsTurned");
    EXPECT_EQ(f["slowScan"], 2126);  // the other limit from the settings
    EXPECT_EQ(f["fastScanMargin"], 1);
    for (const char* bad : {"--fast-scan 12", "--slow-scan 0mm", "--fast-scan 5 px", "--fast-scan",
                            "--slow-scanner 5mm", "--fast-scan=-3in"}) {
        const auto run = test::RunInspect(std::string(bad) + " \"" + job + "\"");
        EXPECT_EQ(run.status, 2) << bad;
        EXPECT_NE(run.err.find("usage"), std::string::npos) << bad;
        // Each refusal says what was wrong before the usage.
        EXPECT_NE(run.err.find(std::string(bad).find("scanner") != std::string::npos
                                   ? "unknown option --slow-scanner"
                                   : "wants a length above 0 with a unit"),
                  std::string::npos)
            << bad << ": " << run.err;
    }
    EXPECT_EQ(cli::ParseLength("558 mm").value_or(0), 558 * 72 / 25.4);
}

}  // namespace
}  // namespace zelk::preflight
