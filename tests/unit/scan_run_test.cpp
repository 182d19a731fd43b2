// The life of a scan on a real thread: open, stop, reopen. Every step is driven by serving
// the hand-off queue, so the order of events is fixed and no test waits on a clock.
#include <gtest/gtest.h>

#include "test_files.h"
#include "window/headless.h"

namespace zelk {
namespace {

struct ScanRun : ::testing::Test {
    ScanRun() : inspection(AnswerPolicy::Default) {}
    TZelkMnFrm& window() { return inspection.window; }
    Analysis& analysis() { return inspection.window.analysis; }
    // Serves hand-offs until the current engine's thread has ended.
    void ServeToEnd() {
        analysis().Gate().ServeUntil([&] { return analysis().Engine->Finished(); });
    }
    std::string File(const std::string& name) { return dir.Write(name, "%!PS-Adobe-3.0\n"); }

    test::TempDir dir;
    Inspection inspection;
};

TEST_F(ScanRun, ScanRunsOnItsThreadUntilTheMainThreadServesScanDone) {
    analysis().StopScan();  // while idle: nothing
    EXPECT_FALSE(inspection.host.stopPosted);
    analysis().SourcePath = File("a.ps");
    analysis().OpenDocument();
    ASSERT_NE(analysis().Engine, nullptr);
    // The thread is now held in its completion hand-off: the window still shows a scan.
    EXPECT_TRUE(window().ScanRunning());
    EXPECT_TRUE(window().fileTimerEnabled);
    ServeToEnd();
    EXPECT_FALSE(window().ScanRunning());
    EXPECT_FALSE(window().fileTimerEnabled);
    EXPECT_EQ(window()[kGauge].fillColour, kGrey);
    EXPECT_EQ(analysis().SourceStream, nullptr);  // the thread closed the file
    EXPECT_NE(analysis().Engine, nullptr);        // kept until the next reset
    analysis().StopScan();                        // after the end: still nothing
    EXPECT_FALSE(analysis().Engine->Terminated());
    EXPECT_FALSE(inspection.host.stopPosted);  // a normal end posts nothing
}

TEST_F(ScanRun, StopDuringAScanKeepsResultsAndPostsOnce) {
    analysis().SourcePath = File("a.ps");
    analysis().OpenDocument();
    analysis().StopScan();
    ServeToEnd();
    EXPECT_TRUE(inspection.host.stopPosted);
    EXPECT_FALSE(window().ScanRunning());
    EXPECT_EQ(window().caption, "Zelk in a.ps");  // results stay on screen
    analysis().OnScanStopped();                   // nothing pending: ignored
    EXPECT_EQ(window().caption, "Zelk in a.ps");
    EXPECT_FALSE(window().ScanRunning());  // not opened again
    // A reset while the thread waits in ScanDone serves that call, and does not deadlock.
    analysis().OpenDocument();
    window().ResetDisplay();
    EXPECT_EQ(analysis().Engine, nullptr);
    EXPECT_FALSE(window().ScanRunning());
}

// The thread is held in its first hand-off, inside chunk 1, when the stop comes; what only
// chunk 10 holds must then stay unread, in either scanner.
TEST_F(ScanRun, AStopDuringTheFirstChunkEndsTheScanAtItsEnd) {
    const std::string filler(9 * 65536, 'x');
    const std::pair<const char*, std::string> jobs[] = {
        {"a.ps", "%!PS-Adobe-3.0\n%%Title: T\n" + filler + "\n%%Pages: 7\n"},
        {"a.pdf", "%PDF-1.4\n/MediaBox [0 0 1 1]\n" + filler + "<< /Type /Pages /Count 7 >>"},
    };
    for (const auto& [name, text] : jobs) {
        analysis().SourcePath = dir.Write(name, text);
        analysis().RequestOpen();
        analysis().StopScan();
        ServeToEnd();
        EXPECT_EQ(window()[kPageCount].caption, "0") << name;
        EXPECT_TRUE(inspection.host.stopPosted) << name;
    }
}

TEST_F(ScanRun, RequestWhenIdleResetsThenOpens) {
    analysis().SourcePath = File("a.ps");
    analysis().OpenDocument();
    ServeToEnd();
    window()[kPageName].visible = true;
    window()[kPageCount].caption = "12";
    analysis().SourcePath = dir.PathOf("missing.ps");
    analysis().RequestOpen();
    // The open failed, so the window shows the cleared indicators.
    EXPECT_EQ(window().caption, "Zelk");
    EXPECT_EQ(window()[kReport].caption, "");
    EXPECT_EQ(window()[kPageCount].caption, "0");
    EXPECT_FALSE(window()[kPageName].visible);
    EXPECT_EQ(analysis().Engine, nullptr);
    ASSERT_EQ(inspection.host.messages.size(), 1u);
}

}  // namespace
}  // namespace zelk
