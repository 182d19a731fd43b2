// Kestrin.exe as Zelk's file menu starts it: deliveries beside other files and other
// deliveries, its progress window, and a Send to while Zelk scans the same job.
#include <gtest/gtest.h>

#include <filesystem>

#include "kestrin/progress_win.h"
#include "program.h"

namespace zelk {
namespace {

using test::Installed;
using test::NativePath;
using test::Program;
using test::Quoted;

namespace fs = std::filesystem;

// A foreign file named like an old working file stays; a working file that a killed delivery
// left goes; an item without a name delivers; so does a folder whose path leaves room for the
// job's name but not for a long working name.
TEST(KestrinDelivery, Issue22LeftoversForeignFilesEmptyNamesAndLongFolders) {
    Installed zelkDir;
    const auto job = zelkDir.Dir().Write("B.PS", "%!PS-Adobe-3.0\n%%Title: B\n");
    fs::create_directory(zelkDir.Dir().Dir() / "out");
    const std::string out = NativePath(zelkDir.Dir().PathOf("out")) + "\\";
    zelkDir.Dir().Write("out/B.PS.kestrin-partial", "the user's own");
    zelkDir.Dir().Write("out/~ks0000beef.kestrin", "left by a killed delivery");
    Program unnamed(zelkDir.Kestrin(), Quoted(job) + " \"" + out + "\" \"\"");
    EXPECT_EQ(unnamed.WaitForExit(), 0u);
    EXPECT_EQ(test::ReadFile(out + "B.PS"), test::ReadFile(job));
    EXPECT_EQ(test::ReadFile(out + "B.PS.kestrin-partial"), "the user's own");
    EXPECT_FALSE(fs::exists(out + "~ks0000beef.kestrin"));

    // 238 characters of folder, its final backslash the 239th: "B.PS" fits within 260.
    std::string deep = NativePath(zelkDir.Dir().PathOf("out"));
    while (deep.size() < 238) {
        deep += "\\" + std::string(std::min<size_t>(40, 238 - deep.size() - 1), 'd');
        ASSERT_TRUE(CreateDirectoryA(deep.c_str(), nullptr)) << deep;
    }
    ASSERT_EQ(deep.size(), 238u);
    Program longFolder(zelkDir.Kestrin(), Quoted(job) + " \"" + deep + "\\\" \"Deep\"");
    EXPECT_EQ(longFolder.WaitForExit(), 0u);
    EXPECT_EQ(test::ReadFile(deep + "\\B.PS"), test::ReadFile(job));
}

// The progress window sits in the middle of the screen; Esc, its close button and Cancel
// each cancel the copy.
TEST(KestrinProgress, Issue22CentredAndEscOrCloseCancels) {
    {
        ProgressWindow progress("Sending A.PS to Out");
        RECT r{};
        GetWindowRect(progress.Handle(), &r);
        EXPECT_NEAR((r.left + r.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 1);
        EXPECT_NEAR((r.top + r.bottom) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 1);
        EXPECT_TRUE(progress.Step(1, 10));
        PostMessageA(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0);
        EXPECT_FALSE(progress.Step(2, 10));
    }
    {
        ProgressWindow progress("Sending A.PS to Out");
        PostMessageA(progress.Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
        EXPECT_FALSE(progress.Step(1, 10));
        EXPECT_TRUE(IsWindow(progress.Handle()));  // it goes when the copy has stopped
    }
    {
        ProgressWindow progress("Sending A.PS to Out");
        PostMessageA(progress.Handle(), WM_COMMAND, IDCANCEL, 0);
        EXPECT_FALSE(progress.Step(1, 10));
    }
}

// While Zelk holds the job (its scan waits at the whole-file question), Send to delivers it.
TEST(KestrinDelivery, Issue22SendToDuringAScanOfTheSameJob) {
    Installed zelkDir;
    std::string job = "%!PS-Adobe-3.0\n%%Pages: 2\n%%EndComments\n%%Page: 1 1\n%%PageTrailer\n";
    while (job.size() < 1200000) job += "72 720 moveto (padding) show\n";
    job += "%%Page: 2 2\n%%PageTrailer\n%%EOF\n";
    const auto path = zelkDir.Dir().Write("held.ps", job);
    fs::create_directory(zelkDir.Dir().Dir() / "hot");
    const std::string hot = NativePath(zelkDir.Dir().PathOf("hot")) + "\\";
    zelkDir.WriteIni("[SendTo]\r\nCount=1\r\n1=Hot folder=" + hot + "\r\n");
    Program zelk(zelkDir.Exe(), Quoted(path));
    HWND question = zelk.WaitForWindow("#32770", "Confirm");
    ASSERT_NE(question, nullptr);
    PostMessageA(zelk.Window(), WM_COMMAND, 3001, 0);
    std::string arrived;
    for (int i = 0; i < 600 && arrived.size() < job.size(); ++i) {
        Sleep(50);
        arrived = test::ReadFile(hot + "held.ps");
    }
    EXPECT_TRUE(arrived == job) << arrived.size() << " bytes of " << job.size();
    EXPECT_EQ(FindWindowA("#32770", "Kestrin"), nullptr);  // no "held by another program"
    PostMessageA(question, WM_COMMAND, IDNO, 0);
    EXPECT_EQ(zelk.Close(), 0u);
}

}  // namespace
}  // namespace zelk
