// Printing through a real spooler: CUPS with a queue whose backend writes each job to a file
// in ZELK_PRINT_CAPTURE, made the default printer by tests/print/run_print_tests.sh. Without
// that folder these tests are skipped (the ordinary run has no printer at all).
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <set>

#include "program.h"
#include "window/file_menu.h"

namespace zelk {
namespace {

using test::Installed;
using test::NativePath;
using test::Program;
using test::Quoted;

namespace fs = std::filesystem;

class Print : public ::testing::Test {
  protected:
    void SetUp() override {
        const char* capture = std::getenv("ZELK_PRINT_CAPTURE");
        if (capture == nullptr || *capture == '\0') GTEST_SKIP() << "no capture queue";
        capture_ = NativePath(capture);
        before_ = Jobs();
    }
    // The jobs the backend has finished, by name ("job-N"; the title beside it).
    std::set<std::string> Jobs() const {
        std::set<std::string> jobs;
        for (const auto& entry : fs::directory_iterator(capture_)) {
            const std::string name = entry.path().filename().string();
            if (name.find('.') == std::string::npos) jobs.insert(name);
        }
        return jobs;
    }
    // Waits for one new job to be finished; its name, or empty.
    std::string NextJob() {
        for (int i = 0; i < 2400; ++i) {  // two minutes: a 200 MB job goes through CUPS twice
            for (const auto& job : Jobs())
                if (!before_.contains(job)) {
                    before_.insert(job);
                    return job;
                }
            Sleep(50);
        }
        return {};
    }
    // The job arrived byte for byte under the file's name as its document name.
    void ExpectPrinted(const std::string& path) {
        const std::string job = NextJob();
        ASSERT_FALSE(job.empty()) << "no job for " << path;
        EXPECT_TRUE(test::ReadFile(capture_ + "\\" + job) == test::ReadFile(NativePath(path)))
            << fs::file_size(capture_ + "\\" + job) << " bytes of "
            << fs::file_size(NativePath(path));
        EXPECT_EQ(test::ReadFile(capture_ + "\\" + job + ".title"),
                  fs::path(path).filename().string());
    }
    std::string capture_;
    std::set<std::string> before_;
    Installed zelkDir_;
};

TEST_F(Print, Issue28PostScriptAndEpsGoRawToTheDefaultPrinter) {
    for (const std::string& path :
         {test::DataPath("ps/groff-letter.ps"), test::DataPath("ps/gs-eps2write.eps")}) {
        Program kestrin(zelkDir_.Kestrin(), Quoted(path) + " Printer Print");
        EXPECT_EQ(kestrin.WaitForExit(), 0u) << path;
        ExpectPrinted(path);
    }
}

TEST_F(Print, Issue28PrintFromTheFileMenu) {
    const std::string path = test::DataPath("ps/enscript-a4.ps");
    Program zelk(zelkDir_.Exe(), Quoted(path));
    HWND window = zelk.Window();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(test::WaitForCaption(window, "Zelk in enscript-a4.ps"));
    PostMessageA(window, WM_COMMAND, kPrintId, 0);
    ExpectPrinted(path);
    EXPECT_EQ(zelk.Close(window), 0u);
}

// A PDF goes to the program the shell has for printing it; under Wine there is none.
TEST_F(Print, Issue28APdfGoesToThePrintVerbNotTheSpooler) {
    Program kestrin(zelkDir_.Kestrin(),
                    Quoted(test::DataPath("pdf/qpdf-plain.pdf")) + " Printer Print");
    HWND box = kestrin.WaitForWindow("#32770", "Kestrin");
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(test::BoxText(box).starts_with("Could not print qpdf-plain.pdf: no program"))
        << test::BoxText(box);
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(kestrin.WaitForExit(), 1u);
    EXPECT_EQ(Jobs(), before_);
}

TEST_F(Print, Issue28ABigJobArrivesWhole) {
    std::string job = "%!PS-Adobe-3.0\n%%Title: big\n%%EndComments\n";
    std::string line;
    for (int i = 0; i < 100; ++i) line += static_cast<char>('A' + i % 26);
    line += "\n";
    job.reserve(200u << 20);
    while (job.size() < (200u << 20)) job += line;
    const auto path = zelkDir_.Dir().Write("big.ps", job + "%%EOF\n");
    job.clear();
    job.shrink_to_fit();
    Program kestrin(zelkDir_.Kestrin(), Quoted(path) + " Printer Print");
    EXPECT_EQ(kestrin.WaitForExit(120000), 0u);
    ExpectPrinted(path);
}

}  // namespace
}  // namespace zelk
