// The main window as data: the plate and its captions, the gauge, the links, the reset.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <utility>

#include "analysis/memory_source.h"
#include "analysis/queue_gate.h"
#include "test_files.h"
#include "window/main_window.h"

namespace zelk {
namespace {

class TestHost final : public WindowHost {
  public:
    void Repaint() override { ++repaints; }
    void CaptionChanged() override {}
    void SetFileTimer(bool) override {}
    void SetPopUpTimer(bool on) override { popUpTimer.push_back(on); }
    Answer ShowMessage(const MessageRequest& request) override {
        messages.push_back(request.text);
        if (duringMessage) std::exchange(duringMessage, nullptr)();
        return Answer::Yes;
    }
    void PostScanStopped() override { ++stopsPosted; }
    void RestoreIfMinimised() override { ++restores; }
    void ScanFinished() override { ++finished; }
    void Quit() override { quit = true; }
    std::optional<std::string> AskOpenFile() override { return chosen; }
    void ShowSettings() override { ++settingsShown; }
    void ShowAbout() override { ++aboutShown; }
    void ShowResources() override { ++resourcesShown; }
    void OpenHelpPage(const std::string& page) override { helpPages.push_back(page); }

    std::vector<std::string> messages;
    int restores = 0, finished = 0, settingsShown = 0, aboutShown = 0, resourcesShown = 0;
    int repaints = 0;
    std::vector<std::string> helpPages;
    bool quit = false;
    std::optional<std::string> chosen;
    std::vector<bool> popUpTimer;         // each start (true) and stop
    std::function<void()> duringMessage;  // what arrives while a box is on screen
    int stopsPosted = 0;
};

// What a window stands on: a folder of its own for the settings file, and a host.
struct Ground {
    test::TempDir dir;
    SettingsFile settings{dir.PathOf("PreZelk.INI"),
                          MakePortableProfileStore(dir.PathOf("PreZelk.INI"))};
    TestHost host;
};

struct Window : ::testing::Test, Ground {
    Window() : window(host, gate, settings) {}
    void Ini(const std::string& text) { dir.Write("PreZelk.INI", text); }
    void Page(int32_t width, int32_t height) {
        window.analysis.PageWidth = width;
        window.analysis.PageHeight = height;
        window.Changer();
    }
    const Control& operator[](const char* name) const { return window[name]; }
    void Serve() {
        gate.ServeUntil([&] { return window.analysis.Engine->Finished(); });
    }
    // Drops a PostScript job of `text` after its header line and serves its scan to the end.
    void Open(const std::string& name, const std::string& text) {
        window.OnDroppedFile(dir.Write(name, "%!PS-Adobe-3.0\n" + text));
        Serve();
    }

    QueueGate gate;
    TZelkMnFrm window;
};

// The captions in each unit, on the default plate, with the page drawn to its scale.
struct CaptionCase {
    const char* units;
    int32_t pageWidth, pageHeight;
    const char *fast, *slow, *width, *height;
    int rectWidth, rectHeight;
};

struct PlateCase {
    const char* ini;
    int width, height, slowTop, fastLeft, pageWidth;
};

TEST_F(Window, CaptionsInEachUnit) {
    const CaptionCase cases[] = {
        {"", 0, 0, "558 mm", "750 mm", " 0 mm ", " 0 mm ", 0, 0},  // mm without a setting
        {"pt", 0, 0, "1582 pt", "2126 pt", " 0 pt ", " 0 pt ", 0, 0},
        {"in", 0, 0, "21.97 in", "29.53 in", " 0.00 in ", " 0.00 in ", 0, 0},
        {"mm", 595, 842, "558 mm", "750 mm", " 210 mm ", " 297 mm ", 60, 84},  // 59.5 goes to 60
        {"mm", 612, 792, "558 mm", "750 mm", " 216 mm ", " 279 mm ", 61, 79},
        {"in", 595, 842, "21.97 in", "29.53 in", " 8.26 in ", " 11.69 in ", 60, 84},
        {"in", 9, 9, "21.97 in", "29.53 in", " 0.13 in ", " 0.13 in ", 1, 1},  // 0.125 rounds up
        {"pt", 595, 842, "1582 pt", "2126 pt", " 595 pt ", " 842 pt ", 60, 84},
    };
    window.Krauk({});
    for (const auto& c : cases) {
        Ini(std::string("[Init]\nUnits=") + c.units + "\n");
        Page(c.pageWidth, c.pageHeight);
        EXPECT_EQ(window[kFastLabel].caption, std::string("Fast scan\n\r") + c.fast);
        EXPECT_EQ(window[kSlowLabel].caption, std::string("Slow scan\n\r") + c.slow);
        EXPECT_EQ(window[kWidthLabel].caption, c.width) << c.units << c.pageWidth;
        EXPECT_EQ(window[kHeightLabel].caption, c.height) << c.units << c.pageHeight;
        EXPECT_EQ(window[kPageRect].width, c.rectWidth) << c.units << c.pageWidth;
        EXPECT_EQ(window[kPageRect].height, c.rectHeight) << c.units << c.pageHeight;
    }
}

TEST_F(Window, PlateScalingBranches) {
    const PlateCase cases[] = {
        {"Fast_scan=2000\nSlow_scan=2126\n", 158, 168, 182, 176, 47},  // e = 0.791
        {"Fast_scan=1000\nSlow_scan=2126\n", 100, 213, 227, 130, 60},  // e = 1
        {"Fast_scan=791\nSlow_scan=1063\n", 158, 213, 227, 176, 119},  // exactly the design ratio
        {"Fast_scan=0\nSlow_scan=-5\n", 158, 213, 227, 176, 60},       // nonsense: the defaults
        {"Fast_scan=abc\nSlow_scan=\n", 158, 213, 227, 176, 60},
        {"Fast_scan=4000\nSlow_scan=500\n", 158, 20, 80, 176, 24},
        {"Fast_scan=1580\nSlow_scan=800\n", 158, 80, 80, 176, 60},  // as low as the label goes
    };
    for (const auto& c : cases) {
        Ini(std::string("[Init]\n") + c.ini);
        Page(595, 842);
        EXPECT_EQ(window[kPlateBox].width, c.width) << c.ini;
        EXPECT_EQ(window[kPlateBox].height, c.height) << c.ini;
        EXPECT_EQ(window[kPlateOutline].width, c.width) << c.ini;
        EXPECT_EQ(window[kSlowLabel].top, c.slowTop) << c.ini;
        EXPECT_EQ(window[kFastLabel].left, c.fastLeft) << c.ini;
        EXPECT_EQ(window[kPageRect].width, c.pageWidth) << c.ini;
    }
}

TEST_F(Window, UnknownUnitsRescaleButKeepTheCaptions) {
    Ini("[Init]\nUnits=MM\nFast_scan=1000\n");
    Page(595, 842);
    EXPECT_EQ(window[kPlateBox].width, 100);
    EXPECT_EQ(window[kFastLabel].caption, "Fastscan");
    EXPECT_EQ(window[kWidthLabel].caption, " Width ");
}

TEST_F(Window, GaugeFollowsThePosition) {
    auto& a = window.analysis;
    window.FileGauge();
    EXPECT_EQ(window[kGauge].width, 0);  // no scan: the timer tick changes nothing
    window.BeginScanDisplay();
    a.SourceStream = std::make_unique<MemorySourceFile>("x", 1000000);
    const struct {
        int64_t position;
        int width;
    } cases[] = {{0, 4}, {500000, 80}, {1000000, 157}, {1, 4}, {999999, 157}};
    for (const auto& c : cases) {
        a.SourceStream->Seek(c.position);
        window.FileGauge();
        EXPECT_EQ(window[kGauge].width, c.width) << c.position;
    }
    a.SourceStream = std::make_unique<MemorySourceFile>("");
    window.FileGauge();
    EXPECT_EQ(window[kGauge].width, 4);  // an empty file
}

// A link turns red while pressed and blue again when the pointer leaves it; only Close quits,
// and the pointer over the window's own surface also takes the colour pop-up away.
TEST_F(Window, LinksTurnRedWhilePressedAndOnlyCloseQuits) {
    window.LinkDown(kCloseLink);
    EXPECT_EQ(window[kCloseLink].textColour, kRed);
    window.LinkDown(kReport);  // not a link
    window.LinkClick(kReport);
    EXPECT_EQ(window[kReport].textColour, kBlack);
    window[kPopUp].visible = true;
    host.repaints = 0;
    window.Gesintuvas();
    EXPECT_GT(host.repaints, 0);
    EXPECT_EQ(window[kCloseLink].textColour, kBlue);
    EXPECT_FALSE(window[kPopUp].visible);
    window.LinkDown(kStopLink);
    host.repaints = 0;
    window.LinkClick(kStopLink);  // no scan: only the colour changes back, and is repainted
    EXPECT_EQ(window[kStopLink].textColour, kBlue);
    EXPECT_EQ(host.repaints, 1);
    window.LinkClick(kSettingsLink);
    EXPECT_EQ(host.settingsShown, 1);
    window.LinkClick(kAboutLink);
    window.LinkClick(kHelpLink);
    EXPECT_EQ(host.helpPages, std::vector<std::string>{"ZelkHelp\\Zelk_Help_index.htm"});
    EXPECT_FALSE(host.quit);
    window.LinkClick(kCloseLink);
    EXPECT_TRUE(host.quit);
    EXPECT_EQ(host.aboutShown, 1);  // for its own link only
}

// The pop-up names the chip under the pointer, beside it; a running pop-up timer is not
// restarted; a point off the chips shows none; each change is repainted.
TEST_F(Window, ThePopUpAndItsTimer) {
    window.colourBar.spotCount = 1;
    window.colourBar.spotNames = {"S1"};
    window.colourBar.spotValues = {{1, 0, 0, 0}};
    window.Poping(30, 10);
    EXPECT_GT(std::exchange(host.repaints, 0), 0);
    window.Poping(31, 20);
    EXPECT_TRUE(window[kPopUp].visible);
    EXPECT_EQ(window[kPopUp].caption, "S1");
    EXPECT_EQ(window[kPopUp].top, 60);
    EXPECT_GT(std::exchange(host.repaints, 0), 0);
    window.ClosePopUp();
    EXPECT_GT(host.repaints, 0);
    window.Poping(31, 218);  // below the last band: none shows
    EXPECT_FALSE(window[kPopUp].visible);
    window.Poping(30, 10);  // shown again: its timer starts again
    EXPECT_EQ(host.popUpTimer, (std::vector<bool>{true, false, true}));
}

// Each hand-off, and a reset, asks for the window to be painted again.
TEST_F(Window, EachHandOffAsksForARepaint) {
    for (const auto show :
         {&Presenter::ShowPageCount, &Presenter::ShowPageGeometry, &Presenter::ShowPageName,
          &Presenter::ShowEmulsionMark, &Presenter::ShowColourSummary,
          &Presenter::AddNeededResource, &Presenter::ShowTiffImage, &Presenter::ScanDone,
          &Presenter::ResetDisplay}) {
        host.repaints = 0;
        (static_cast<Presenter&>(window).*show)();
        EXPECT_GT(host.repaints, 0);
    }
    host.repaints = 0;
    window.AppendReport("*a line");
    EXPECT_GT(host.repaints, 0);
}

TEST_F(Window, FilesReachTheWindowThroughRequestOpen) {
    const auto a = dir.Write("a.ps", "%!PS-Adobe-3.0\n");
    const auto b = dir.Write("b.ps", "%!PS-Adobe-3.0\n");
    window.OnDroppedFile(a);
    Serve();
    EXPECT_EQ(window.caption, "Zelk in a.ps");
    host.chosen = b;
    window.Atidaryk();
    Serve();
    EXPECT_EQ(window.caption, "Zelk in b.ps");
    host.chosen.reset();
    window.Atidaryk();  // cancelled: nothing changes
    EXPECT_EQ(window.caption, "Zelk in b.ps");
}

TEST_F(Window, SecondInstanceHandOffReadsTheSettingsFile) {
    const auto a = dir.Write("handed over.ps", "%!PS-Adobe-3.0\n");
    Ini("[Temp]\nOpen=" + a + "\n");
    window.OnSecondInstance(0);
    EXPECT_EQ(host.restores, 1);
    EXPECT_EQ(window.caption, "Zelk");
    window.OnSecondInstance(1);
    Serve();
    EXPECT_EQ(window.caption, "Zelk in handed over.ps");
}

// A hand-off that arrives while the open asks its question is served after the question,
// not inside it: the first file opens, its scan is stopped, then the handed file opens.
TEST_F(Window, AHandOffDuringTheOpensQuestionWaitsForIt) {
    const auto doubtful = dir.Write("doubtful.ps", "%!PS\n");
    const auto handed = dir.Write("handed.ps", "%!PS-Adobe-3.0\n");
    host.duringMessage = [&] {
        window.analysis.SourcePath = handed;
        window.analysis.RequestOpen();
    };
    window.OnDroppedFile(doubtful);
    EXPECT_EQ(window.caption, "Zelk in doubtful.ps");
    EXPECT_TRUE(window.analysis.ReopenPending);
    Serve();
    ASSERT_EQ(host.stopsPosted, 1);
    window.OnScanStopped();
    EXPECT_EQ(window.caption, "Zelk in handed.ps");
    EXPECT_FALSE(window.analysis.ReopenPending);  // a later stop opens nothing again
    Serve();
    EXPECT_EQ(host.stopsPosted, 1);  // the hand-off was served once, not again
    EXPECT_EQ(host.finished, 2);     // and never opened inside the question
}

// The command-line file opens without a reset; a job without a page size still shows the
// plate of the chosen output format and the page's captions, not the design's.
TEST_F(Window, CommandLineFileOpensWithoutReset) {
    Ini("[Init]\nUnits=pt\nFast_scan=1000\nSlow_scan=3000\n");
    window[kReport].caption = "kept";  // a reset would clear it; OpenDocument replaces it
    window.Krauk({dir.Write("bare.ps", "%!PS-Adobe-3.0\n%%Pages: 1\n")});
    Serve();
    EXPECT_EQ(window.caption, "Zelk in bare.ps");
    EXPECT_EQ(window[kPlateOutline].height, 213);
    EXPECT_EQ(window[kFastLabel].caption, "Fast scan\n\r1000 pt");
    EXPECT_EQ(window[kWidthLabel].caption, " 0 pt ");
    EXPECT_EQ(window[kPageRect].width, 0);
}

// Nothing of a file stays with the next: its verdict (the next summary starts from grey), a
// composite verdict, its inks and their count, its page count, its page on the plate, its
// resources list and notice.
TEST_F(Window, Issue23NothingOfTheLastFileStays) {
    Ini("[Init]\nUnits=pt\n");
    Open("a.ps",
         "%%Pages: 3\n%%DocumentProcessColors: Cyan\n%%PlateColor: Cyan\n"
         "%%DocumentNeededResources: font A\n%%+ font B\n");
    EXPECT_EQ(window[kColourSummary].background, kGreen);
    Open("b.ps",
         "%%BoundingBox: 0 0 9 9\n%%Pages: 2\n%%DocumentProcessColors: Black\n"
         "%%DocumentNeededResources: font C\n");
    EXPECT_EQ(window[kColourSummary].caption, " 1 color");
    EXPECT_EQ(window[kPageCount].caption, "2");
    EXPECT_EQ(window[kColourSummary].background, kGrey);
    EXPECT_EQ(window.colourBar.inks, (std::array<bool, 4>{false, false, false, true}));
    EXPECT_EQ(window.colourBar.processText, " K ");
    EXPECT_EQ(window.colourBar.processCount, 1);
    EXPECT_EQ(window.need.ComboRes, std::vector<std::string>{" font C"});
    EXPECT_EQ(window[kResourceNotice].caption, " 1 resources needed! ");
    host.repaints = 0;
    window.ResourceLabelClick();  // the list is shown while its notice is, until it closes
    EXPECT_EQ(host.resourcesShown, 1);
    EXPECT_FALSE(window.need.visible);
    EXPECT_GT(host.repaints, 0);
    window.OnDroppedFile(dir.PathOf("missing.ps"));  // a failed open shows what a reset leaves
    EXPECT_FALSE(window[kResourceNotice].visible || window[kColourSummary].visible);
    EXPECT_EQ(window[kWidthLabel].caption + window[kHeightLabel].caption, " Width  Height ");
    // A file that opens but cannot be read (another program has locked its bytes) is
    // reported, and let go.
    window.analysis.OpenDocument(std::make_unique<test::Trickle>("%!PS-Adobe-3.0\n", 0));
    EXPECT_FALSE(window.analysis.SourceStream);
    Open("c.ps",
         "%%BoundingBox: 0 0 595 842\n%%EndComments\n%%PageProcessColors: Cyan "
         "Magenta\n%%PlateColor: Cyan\n");
    EXPECT_EQ(window[kColourSummary].background, kRed);
    EXPECT_GT(window[kPageRect].width, 0);
    EXPECT_FALSE(window[kResourceNotice].visible);
    window.ResourceLabelClick();
    EXPECT_EQ(host.resourcesShown, 1);
    window.need.visible = true;  // the last file's list still up
    Open("d.ps", "%%DocumentProcessColors: Black\n");
    EXPECT_FALSE(window.need.visible);
    EXPECT_EQ(window[kColourSummary].background, kGrey);
    EXPECT_EQ(window[kPageRect].width, 0);
    EXPECT_EQ(window[kPageRect].height, 0);
    window.Changer();  // as saved settings redraw the plate
    EXPECT_EQ(window[kHeightLabel].caption, " 0 pt ");
    // Each scan's end reached the window: the gauge is grey and the host was told each time.
    EXPECT_EQ(window[kGauge].fillColour, kGrey);
    EXPECT_EQ(host.finished, 4);
    Open("e.ps", "%%PlateColor: Cyan\n");  // no process colours: none of the last file's
    EXPECT_EQ(window[kColourSummary].caption, " Color separated ");
}

// Counts the hand-offs that reach the main thread.
class CountingGate final : public MainThreadGate {
  public:
    void Invoke(const std::function<void()>& call) override {
        ++invokes;
        queue.Invoke(call);
    }
    void ServeUntil(const std::function<bool()>& done) override { queue.ServeUntil(done); }
    void Wake() override { queue.Wake(); }
    QueueGate queue;
    std::atomic<int> invokes{0};
};

// Refreshes of the page count, the colours and the resources are carried at most once per
// interval, and the last before the scan ends, so the window ends with the final figures
// however few were carried; once the interval has passed, each is carried.
TEST(HandOffs, RefreshesAreCoalescedAndEndWithTheFinalFigures) {
    Ground g;
    CountingGate gate;
    TZelkMnFrm window(g.host, gate, g.settings);
    window.analysis.RefreshInterval = std::chrono::hours(1);
    std::string job = "%!PS-Adobe-3.0\n%%EndComments\n%%DocumentNeededResources: font F\n";
    for (int i = 0; i < 500; ++i) job += "%%+ font F" + std::to_string(i) + "\n";
    for (int i = 0; i < 100; ++i)
        job += "%%CMYKCustomColor: 0 0 0 1 (S" + std::to_string(i) + ")\n";
    for (int page = 1; page <= 2000; ++page)
        job += "%%Page: " + std::to_string(page) + " " + std::to_string(page) + "\n" +
               std::string(400, 'x') + "\n";  // about 13 chunks
    window.OnDroppedFile(g.dir.Write("pages.ps", job));
    gate.ServeUntil([&] { return window.analysis.Engine->Finished(); });
    EXPECT_EQ(window[kPageCount].caption, "2000");
    EXPECT_EQ(window.need.ComboRes.size(), 501u);
    EXPECT_EQ(window.need.ComboRes.back(), " font F499");
    EXPECT_EQ(window[kColourSummary].caption, " 100 colors");
    EXPECT_LE(gate.invokes, 4);  // the first refresh, the last, the emulsion mark, ScanDone
    window.analysis.RefreshInterval = std::chrono::hours(0);
    window.OnDroppedFile(g.dir.PathOf("pages.ps"));
    gate.ServeUntil([&] { return window.analysis.Engine->Finished(); });
    EXPECT_GT(gate.invokes, 2000);
}

// A window that goes while its scan waits for it stops the scan: nothing more is asked.
TEST(HandOffs, AWindowThatGoesStopsItsScan) {
    Ground g;
    QueueGate gate;
    std::string job = "%!PS-Adobe-3.0\n%%Pages: 2\n%%EndComments\n%%Page: 1 1\n%%PageTrailer\n";
    job += std::string(1200000, '\n') + "%%Page: 2 2\n%%PageTrailer\n";  // asks once read
    TZelkMnFrm(g.host, gate, g.settings).OnDroppedFile(g.dir.Write("big.ps", job));
    EXPECT_TRUE(g.host.messages.empty());
}

}  // namespace
}  // namespace zelk
