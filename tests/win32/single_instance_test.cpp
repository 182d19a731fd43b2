// The single-instance rule: a second copy hands its file over through the settings file
// and a posted message, then ends.
#include <gtest/gtest.h>

#include "program.h"

namespace zelk {
namespace {

using test::CaptionOf;
using test::Installed;
using test::NativePath;
using test::Program;
using test::Quoted;
using test::WaitForCaption;

// A job over 1,000,000 bytes whose header and trailer name no colour: its scan stops at
// the whole-file question and waits there for the operator.
std::string QuestionJob() {
    std::string job = "%!PS-Adobe-3.0\n%%Pages: 2\n%%EndComments\n%%Page: 1 1\n%%PageTrailer\n";
    while (job.size() < 1200000) job += "72 720 moveto (padding) show\n";
    return job + "%%Page: 2 2\n%%PageTrailer\n%%EOF\n";
}

TEST(SingleInstance, SecondCopyHandsItsFileToTheRunningOne) {
    Installed zelkDir;
    zelkDir.WriteIni("[Init]\r\nOnlyOne=1\r\n");
    const auto job = zelkDir.Dir().Write("second job.ps", "%!PS-Adobe-3.0\n%%Title: handed over\n");
    Program first(zelkDir.Exe(), "");
    HWND window = first.Window();
    ASSERT_NE(window, nullptr);

    Program idle(zelkDir.Exe(), "");  // no argument: only comes to the front
    EXPECT_EQ(idle.WaitForExit(), 0u);
    EXPECT_EQ(test::ReadFile(zelkDir.Ini()), "[Init]\r\nOnlyOne=1\r\n");

    Program second(zelkDir.Exe(), Quoted(job) + " ignored.ps");
    EXPECT_EQ(second.WaitForExit(), 0u);
    EXPECT_NE(test::ReadFile(zelkDir.Ini()).find("Open=" + NativePath(job)), std::string::npos);
    EXPECT_TRUE(WaitForCaption(window, "Zelk in second job.ps")) << CaptionOf(window);
    EXPECT_EQ(first.Close(window), 0u);
}

TEST(SingleInstance, HandOffDuringAScanStopsItThenOpensTheNewFile) {
    Installed zelkDir;
    zelkDir.WriteIni("[Init]\r\nOnlyOne=1\r\n");
    const auto big = zelkDir.Dir().Write("big.ps", QuestionJob());
    const auto next = zelkDir.Dir().Write("next.ps", "%!PS-Adobe-3.0\n");
    Program first(zelkDir.Exe(), Quoted(big));
    HWND question = first.WaitForWindow("#32770", "Confirm");  // the scan waits here
    ASSERT_NE(question, nullptr);
    HWND window = first.Window();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(CaptionOf(window), "Zelk in big.ps");

    Program second(zelkDir.Exe(), Quoted(next));
    EXPECT_EQ(second.WaitForExit(), 0u);
    // The running copy took the hand-off inside the question's loop: still the old file.
    EXPECT_EQ(CaptionOf(window), "Zelk in big.ps");
    PostMessageA(question, WM_COMMAND, IDYES, 0);  // the scan goes on, sees the stop, ends
    EXPECT_TRUE(WaitForCaption(window, "Zelk in next.ps")) << CaptionOf(window);
    EXPECT_EQ(first.Close(window), 0u);
}

// "End task" sends WM_CLOSE whatever is on screen: with a box of the scan up, the box goes,
// the scan stops and the process ends, so the next copy finds no hidden window.
TEST(SingleInstance, ACloseWhileTheScanAsksEndsTheProcess) {
    Installed zelkDir;
    zelkDir.WriteIni("[Init]\r\nOnlyOne=1\r\n");
    const auto big = zelkDir.Dir().Write("big.ps", QuestionJob());
    const auto damaged = zelkDir.Dir().Write("bad.tif", std::string("II*\0\xF0\0\0\0", 8));
    for (const auto& [job, caption] : {std::pair{big, "Confirm"}, std::pair{damaged, "Error"}}) {
        Program first(zelkDir.Exe(), Quoted(job));
        ASSERT_NE(first.WaitForWindow("#32770", caption), nullptr) << caption;
        HWND window = first.Window();
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(first.Close(window), 0u) << caption;
        EXPECT_EQ(FindWindowA("TZelkMnFrm", nullptr), nullptr) << caption;
    }
}

TEST(SingleInstance, OffMeansCopiesRunSideBySide) {
    Installed zelkDir;
    Program first(zelkDir.Exe(), "");
    HWND one = first.Window();
    ASSERT_NE(one, nullptr);
    Program second(zelkDir.Exe(), "");
    HWND two = second.Window();
    ASSERT_NE(two, nullptr);
    EXPECT_NE(one, two);
    EXPECT_EQ(first.Close(one), 0u);
    EXPECT_EQ(second.Close(two), 0u);
}

TEST(SingleInstance, ANameThatNamesNothingIsReportedByTheRunningCopy) {
    Installed zelkDir;
    zelkDir.WriteIni("[Init]\r\nOnlyOne=1\r\n");
    Program first(zelkDir.Exe(), "");
    HWND window = first.Window();
    ASSERT_NE(window, nullptr);
    Program second(zelkDir.Exe(), "nothing-here.ps");
    EXPECT_EQ(second.WaitForExit(), 0u);
    HWND box = first.WaitForWindow("#32770", "Error");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(test::BoxText(box), "Could not read from: nothing-here.ps");
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(first.Close(window), 0u);
}

}  // namespace
}  // namespace zelk
