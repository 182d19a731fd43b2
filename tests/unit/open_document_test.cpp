// Opening real files: recognition, the questions, the first report lines.
#include <gtest/gtest.h>

#include <chrono>
#include <ctime>
#include <filesystem>

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

// The questions an open asks, one row a file and an answer: the box, and what opens after it
// (the kind, or nothing). Paths that name no readable file give the error box.
TEST(OpenDocument, QuestionsAndTheirAnswers) {
    TempDir dir;
    std::filesystem::create_directory(dir.Dir() / "folder");
    const auto unknown = [](const std::string& name) {
        return "File " + name +
               " was not recognized!\n\rDo You want to scan it like PostScript file?";
    };
    const struct {
        std::string name;
        const char* bytes;  // nullptr: no such file is written
        AnswerPolicy policy;
        BoxType box;
        std::string text;  // empty: "Could not read from: " and the path
        const char* kind;  // nullptr: nothing opens
    } cases[] = {
        {"bare.ps", "%!PS", AnswerPolicy::AllYes, BoxType::Confirm, kConformance, "PS"},
        {"bare.ps", "%!PS", AnswerPolicy::AllNo, BoxType::Confirm, kConformance, nullptr},
        {"x.eps", "%!PS EPS\n", AnswerPolicy::AllYes, BoxType::Confirm, kConformance, "EPS"},
        {"job.bin", "\x01\x02\x03 no magic", AnswerPolicy::AllYes, BoxType::Warning,
         unknown("job.bin"), "PS"},
        {"job.bin", "\x01\x02\x03 no magic", AnswerPolicy::Default, BoxType::Warning,
         unknown("job.bin"), nullptr},
        {"empty.ps", "", AnswerPolicy::AllYes, BoxType::Warning, unknown("empty.ps"), "PS"},
        {"missing.ps", nullptr, AnswerPolicy::AllYes, BoxType::Error, "", nullptr},
        {"folder", nullptr, AnswerPolicy::AllYes, BoxType::Error, "", nullptr},
    };
    for (const auto& c : cases) {
        const std::string path = c.bytes ? dir.Write(c.name, c.bytes) : dir.PathOf(c.name);
        const std::string text = c.text.empty() ? "Could not read from: " + path : c.text;
        Opened o(path, c.policy);
        ASSERT_EQ(o.Messages().size(), 1u) << path;  // never a second question after the first
        const MessageRequest& box = o.Messages()[0].request;
        EXPECT_EQ(box.type, c.box) << path;
        EXPECT_EQ(box.buttons, c.box == BoxType::Error ? Buttons::Ok : Buttons::YesNo) << path;
        EXPECT_EQ(box.text, text) << path;
        EXPECT_EQ(o.inspection.started, c.kind != nullptr) << path;
        EXPECT_FALSE(o.inspection.window.ScanRunning()) << path;
        if (c.kind == nullptr) {
            EXPECT_EQ(o.inspection.window.caption, "Zelk") << path;
            EXPECT_EQ(o.Report(), "") << path;
            EXPECT_EQ(o.inspection.window.analysis.SourceStream, nullptr) << path;
            continue;
        }
        EXPECT_EQ(o.inspection.window.analysis.DocKind, c.kind) << path;
        EXPECT_TRUE(o.Report().starts_with(
            std::string(c.kind[0] == 'E' ? "*Encapulated PostScript" : "*PostScript") + " file - " +
            c.name + "\n\r"))
            << o.Report();
    }
    // A long path is cut to its start and its end, so the box stays on the screen.
    const std::string deep = dir.PathOf(std::string(200, 'd') + "/job.ps");
    EXPECT_EQ(Opened(deep).Messages().at(0).request.text,
              "Could not read from: " + deep.substr(0, 40) + "..." + deep.substr(deep.size() - 60));
    // One of 103 characters is shown whole: cut, it would be no shorter.
    const std::string whole = dir.PathOf(std::string(103 - dir.PathOf("").size(), 'w'));
    EXPECT_EQ(Opened(whole).Messages().at(0).request.text, "Could not read from: " + whole);
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
    ASSERT_EQ(o.Messages().size(), 1u);      // the whole-file question, answered No
    const auto file = OpenSourceFile(path);  // a read past 4 GiB, and where it leaves the file
    uint8_t bytes[10];
    ASSERT_TRUE(file && file->Seek(9LL << 29) && file->Read(bytes, 10) == 10);
    EXPECT_EQ(file->Position(), (9LL << 29) + 10);
    // Big means over 1,000,000 bytes.
    const std::string head = "%!PS-Adobe-3.0\n";
    for (const size_t size : {1000000u, 1000001u})
        EXPECT_EQ(Opened(dir.Write("edge.ps", head + std::string(size - head.size(), '\n')))
                      .inspection.window.analysis.BigFile,
                  size > 1000000)
            << size;
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
