// Opening real files: recognition, the questions, the first report lines.
#include <gtest/gtest.h>

#include <chrono>
#include <ctime>
#include <filesystem>

#include "analysis/source_file.h"
#include "test_files.h"
#include "window/headless.h"

namespace zelk {
namespace {

using namespace std::string_literals;
using test::TempDir;

constexpr const char* kConformance =
    "The file seems not conform to the DSC.\n\rTry to scan it anyway?";

struct Opened {
    explicit Opened(const std::string& path, AnswerPolicy policy = AnswerPolicy::Default)
        : inspection(policy) {
        Inspect(inspection, path);
    }
    const std::string& Report() const { return inspection.window[kReport].caption; }
    const std::vector<RaisedMessage>& Messages() const { return inspection.host.messages; }
    Inspection inspection;
};

std::string DateLine(const std::string& path) {
    return "*File date: " + FileDateText(path) + "\n\r";
}

TEST(OpenDocument, PostScriptGetsItsThreeReportLines) {
    TempDir dir;
    const auto path = dir.Write("a.ps", "%!PS-Adobe-3.0\n" + std::string(1234552, '\n'));
    Opened o(path);
    EXPECT_TRUE(o.inspection.started);
    EXPECT_EQ(o.inspection.window.analysis.DocKind, "PS");
    EXPECT_EQ(o.inspection.window.caption, "Zelk in a.ps");
    EXPECT_EQ(o.Report(), "*PostScript file - a.ps\n\r*File size is 1.235 M\n\r" + DateLine(path));
    EXPECT_TRUE(o.Messages().empty());
    EXPECT_FALSE(o.inspection.window.ScanRunning());  // the run has ended: gauge grey again
}

TEST(OpenDocument, PostScriptWithoutAdobeHeaderIsAsked) {
    TempDir dir;
    const auto path = dir.Write("bare.ps", "%!PS");
    Opened yes(path, AnswerPolicy::AllYes);
    ASSERT_EQ(yes.Messages().size(), 1u);
    EXPECT_EQ(yes.Messages()[0].request.type, BoxType::Confirm);
    EXPECT_EQ(yes.Messages()[0].request.buttons, Buttons::YesNo);
    EXPECT_EQ(yes.Messages()[0].request.text, kConformance);
    EXPECT_TRUE(yes.inspection.started);
    EXPECT_EQ(yes.inspection.window.analysis.DocKind, "PS");

    Opened no(path, AnswerPolicy::AllNo);
    EXPECT_FALSE(no.inspection.started);
    EXPECT_EQ(no.inspection.window.caption, "Zelk");
    EXPECT_EQ(no.Report(), "");
    EXPECT_FALSE(no.inspection.window.ScanRunning());
    EXPECT_EQ(no.inspection.window.analysis.SourceStream, nullptr);
}

TEST(OpenDocument, EpsWithoutAdobeHeaderKeepsItsKind) {
    TempDir dir;
    Opened o(dir.Write("x.eps", "%!PS EPS\n"), AnswerPolicy::AllYes);
    EXPECT_EQ(o.inspection.window.analysis.DocKind, "EPS");
    EXPECT_EQ(o.Messages().size(), 1u);
}

TEST(OpenDocument, UnrecognisedFileIsOfferedAsPostScript) {
    TempDir dir;
    const auto path = dir.Write("job.bin", "\x01\x02\x03 no magic here");
    Opened yes(path, AnswerPolicy::AllYes);
    ASSERT_EQ(yes.Messages().size(), 1u);  // no conformance question after this one
    EXPECT_EQ(yes.Messages()[0].request.type, BoxType::Warning);
    EXPECT_EQ(yes.Messages()[0].request.text,
              "File job.bin was not recognized!\n\rDo You want to scan it like PostScript file?");
    EXPECT_EQ(yes.inspection.window.analysis.DocKind, "PS");
    EXPECT_TRUE(yes.Report().starts_with("*PostScript file - job.bin\n\r"));

    Opened byDefault(path);
    EXPECT_FALSE(byDefault.inspection.started);
    EXPECT_EQ(byDefault.inspection.window.caption, "Zelk");
}

TEST(OpenDocument, EmptyFileScansAsPostScriptWhenAccepted) {
    TempDir dir;
    Opened o(dir.Write("empty.ps", ""), AnswerPolicy::AllYes);
    EXPECT_TRUE(o.inspection.started);
    EXPECT_NE(o.Report().find("*File size is 0.000 M\n\r"), std::string::npos);
}

TEST(OpenDocument, UnreadablePathsGiveTheErrorBox) {
    TempDir dir;
    std::filesystem::create_directory(dir.Dir() / "folder");
    for (const auto& path : {dir.PathOf("missing.ps"), dir.PathOf("folder")}) {
        Opened o(path, AnswerPolicy::AllYes);
        ASSERT_EQ(o.Messages().size(), 1u) << path;
        EXPECT_EQ(o.Messages()[0].request.type, BoxType::Error);
        EXPECT_EQ(o.Messages()[0].request.buttons, Buttons::Ok);
        EXPECT_EQ(o.Messages()[0].request.text, "Could not read from: " + path);
        EXPECT_FALSE(o.inspection.started);
        EXPECT_EQ(o.inspection.window.caption, "Zelk");
    }
}

TEST(OpenDocument, NamesWithBlanksAndNonAscii) {
    TempDir dir;
#ifdef _WIN32
    const std::string name = "job with blanks \xE9.ps";  // the ANSI code page, as Windows gives it
#else
    const std::string name = "job with blanks \xC3\xA9.ps";
#endif
    const auto path = dir.Write(name, "%!PS-Adobe-3.0\n");
    Opened o(path);
    EXPECT_TRUE(o.inspection.started);
    EXPECT_EQ(o.inspection.window.caption, "Zelk in " + name);
}

TEST(OpenDocument, BigFileStartsAboveOneMillionBytes) {
    TempDir dir;
    const std::string head = "%!PS-Adobe-3.0\n";
    Opened exact(dir.Write("exact.ps", head + std::string(1000000 - head.size(), '\n')));
    Opened over(dir.Write("over.ps", head + std::string(1000001 - head.size(), '\n')));
    EXPECT_FALSE(exact.inspection.window.analysis.BigFile);
    EXPECT_TRUE(over.inspection.window.analysis.BigFile);
    EXPECT_NE(exact.Report().find("*File size is 1.000 M"), std::string::npos);
}

TEST(OpenDocument, SizesPastFourGigabytesAreTrue) {
    TempDir dir;
    // Page trailer, count and colours in the first chunk: the scan stops after the first page.
    const auto path =
        dir.Write("huge.ps", "%!PS-Adobe-3.0\n%%Pages: 1\n%%EndComments\n%%PageTrailer\n");
    std::error_code ec;
    std::filesystem::resize_file(path, 5LL * 1024 * 1024 * 1024, ec);  // sparse
    if (ec) GTEST_SKIP() << "no sparse files here: " << ec.message();
    Opened o(path);
    EXPECT_TRUE(o.inspection.window.analysis.BigFile);
    EXPECT_NE(o.Report().find("*File size is 5368.709 M"), std::string::npos);
    ASSERT_EQ(o.Messages().size(), 1u);  // the whole-file question, answered No
}

// A real file's reads move the position the gauge shows, and a seek sets it.
TEST(OpenDocument, ReadsMoveTheFilesPosition) {
    TempDir dir;
    auto file = OpenSourceFile(dir.Write("p.ps", std::string(100, 'x')));
    ASSERT_TRUE(file);
    uint8_t buffer[100];
    EXPECT_EQ(file->Read(buffer, 40), 40);
    EXPECT_EQ(file->Position(), 40);
    EXPECT_EQ(file->Read(buffer, 100), 60);
    EXPECT_EQ(file->Position(), 100);
    EXPECT_TRUE(file->Seek(10));
    EXPECT_EQ(file->Position(), 10);
}

// Sets a file's time from a local calendar time.
void SetLocalTime(const std::string& path, int hour, int minute, int second) {
    std::tm t{};
    t.tm_year = 2024 - 1900;
    t.tm_mon = 4;
    t.tm_mday = 17;
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_sec = second;
    t.tm_isdst = -1;
    const auto sys = std::chrono::system_clock::from_time_t(std::mktime(&t));
    std::filesystem::last_write_time(path, std::chrono::file_clock::from_sys(sys));
}

TEST(FileDateText, TwoSecondStepsAndDateOnlyAtMidnight) {
    TempDir dir;
    const auto a = dir.Write("a", ""), b = dir.Write("b", ""), c = dir.Write("c", ""),
               midnight = dir.Write("m", "");
    SetLocalTime(a, 10, 20, 30);
    SetLocalTime(b, 10, 20, 31);
    SetLocalTime(c, 10, 20, 32);
    SetLocalTime(midnight, 0, 0, 1);  // one second past midnight is still midnight
    EXPECT_EQ(FileDateText(a), FileDateText(b));
    EXPECT_NE(FileDateText(a), FileDateText(c));
    const std::string dateOnly = FileDateText(midnight);
    EXPECT_FALSE(dateOnly.empty());
    EXPECT_EQ(FileDateText(dir.PathOf("missing")), "");
    EXPECT_TRUE(FileDateText(a).starts_with(dateOnly + " "))
        << FileDateText(a) << " / " << dateOnly;
}

}  // namespace
}  // namespace zelk
