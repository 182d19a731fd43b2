// Zelk.exe started as its own process, as operators and a second copy start it.
#include <gtest/gtest.h>

#include "program.h"

namespace zelk {
namespace {

using test::CaptionOf;
using test::Installed;
using test::NativePath;
using test::Program;
using test::WaitForCaption;

constexpr uint32_t kBlackPixel = 0x000000, kWhitePixel = 0xFFFFFF, kRedPixel = 0xFF0000;

TEST(Program, MainWindowIsFoundByClassWithTheDesignClientArea) {
    Installed zelkDir;
    Program zelk(zelkDir.Exe(), "");
    ASSERT_TRUE(zelk.Started());
    HWND window = zelk.Window();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(FindWindowA("TZelkMnFrm", nullptr), window);
    RECT client;
    GetClientRect(window, &client);
    EXPECT_EQ(client.right - client.left, 455);
    EXPECT_EQ(client.bottom - client.top, 334);
    EXPECT_EQ(CaptionOf(window), "Zelk");
    const LONG style = GetWindowLongA(window, GWL_STYLE);
    EXPECT_TRUE(style & WS_MINIMIZEBOX);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_FALSE(style & WS_MAXIMIZEBOX);
    EXPECT_FALSE(style & WS_THICKFRAME);
    RECT frame;
    GetWindowRect(window, &frame);
    EXPECT_NEAR((frame.left + frame.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 1);
    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(zelk.WaitForExit(), 0u);
}

// An A4 job: the snapshot shows the hatched plate, the red outline, the white page of
// 60 × 84 pixels, the emulsion mark and the gauge frame, pixel for pixel.
TEST(Program, SnapshotOfAnA4Job) {
    Installed zelkDir;
    const auto job = zelkDir.Dir().Write("a4 job.ps",
                                         "%!PS-Adobe-3.0\n%%BoundingBox: 0 0 595 842\n%%Pages: 1\n"
                                         "%%EndComments\n%%Page: 1 1\n%%PageTrailer\n");
    const auto png = zelkDir.Dir().PathOf("window.png");
    Program zelk(zelkDir.Exe(),
                 "\"" + NativePath(job) + "\" --snapshot \"" + NativePath(png) + "\"");
    ASSERT_TRUE(zelk.Started());
    EXPECT_EQ(zelk.WaitForExit(), 0u);
    // Standard output is in text mode: each line feed arrives as CR LF.
    EXPECT_EQ(zelk.Output().substr(0, 47), "Zelk in a4 job.ps\r\n*PostScript file - a4 job.ps");
    const auto p = test::ReadZelkPng(png);
    ASSERT_EQ(p.width, 455);
    ASSERT_EQ(p.height, 334);
    // The red plate outline, 158 × 213 at (64, 40), above the page.
    EXPECT_EQ(p.At(64, 40), kRedPixel);
    EXPECT_EQ(p.At(221, 40), kRedPixel);
    EXPECT_EQ(p.At(64, 252), kRedPixel);
    EXPECT_EQ(p.At(221, 252), kRedPixel);
    EXPECT_EQ(p.At(150, 252), kRedPixel);
    // The page: white inside a black outline, 60 × 84 pixels.
    EXPECT_EQ(p.At(123, 100), kBlackPixel);
    EXPECT_EQ(p.At(100, 123), kBlackPixel);
    EXPECT_EQ(p.At(122, 122), kWhitePixel);
    EXPECT_EQ(p.At(110, 110), kWhitePixel);
    // The hatch: both black and the window's colour between page and outline.
    int black = 0, other = 0;
    for (int x = 140; x < 200; ++x) (p.At(x, 200) == kBlackPixel ? black : other)++;
    EXPECT_GT(black, 5);
    EXPECT_GT(other, 20);
    // The emulsion mark reads forwards: upright stroke on the left.
    EXPECT_EQ(p.At(233, 300), kBlackPixel);
    EXPECT_EQ(p.At(270, 268), kBlackPixel);
    EXPECT_NE(p.At(270, 300), kBlackPixel);
    // The gauge frame.
    EXPECT_EQ(p.At(288, 240), kBlackPixel);
    EXPECT_EQ(p.At(440, 240), kBlackPixel);
    EXPECT_EQ(p.At(360, 228), kBlackPixel);
}

TEST(Program, SnapshotOfAMirroredJobShowsTheReversedMark) {
    Installed zelkDir;
    const auto job =
        zelkDir.Dir().Write("m.ps", "%!PS-Adobe-3.0\n%%EndComments\n-1 1 scale\n%%PageTrailer\n");
    const auto png = zelkDir.Dir().PathOf("m.png");
    Program zelk(zelkDir.Exe(),
                 "\"" + NativePath(job) + "\" --snapshot \"" + NativePath(png) + "\"");
    EXPECT_EQ(zelk.WaitForExit(), 0u);
    const auto p = test::ReadZelkPng(png);
    ASSERT_EQ(p.width, 455);
    EXPECT_EQ(p.At(270, 300), kBlackPixel);  // upright stroke on the right
    EXPECT_NE(p.At(233, 300), kBlackPixel);
    EXPECT_EQ(p.At(235, 318), kBlackPixel);  // the arms still start at 232
}

// The message box a doubtful file raises: exact text, caption, buttons, centred.
TEST(Program, ConformanceQuestionIsARealMessageBox) {
    Installed zelkDir;
    const auto job = zelkDir.Dir().Write("bare.ps", "%!PS\n");
    Program zelk(zelkDir.Exe(), "\"" + NativePath(job) + "\"");
    HWND box = zelk.WaitForWindow("#32770", "Confirm");
    ASSERT_NE(box, nullptr);
    char text[256] = {};
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
    EXPECT_STREQ(text, "The file seems not conform to the DSC.\n\rTry to scan it anyway?");
    GetDlgItemTextA(box, IDYES, text, sizeof text);
    EXPECT_STREQ(text, "&Yes");
    GetDlgItemTextA(box, IDNO, text, sizeof text);
    EXPECT_STREQ(text, "&No");
    RECT r;
    GetWindowRect(box, &r);
    EXPECT_NEAR((r.left + r.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 1);
    EXPECT_NEAR((r.top + r.bottom) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 1);
    PostMessageA(box, WM_COMMAND, IDNO, 0);
    HWND window = zelk.Window();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(CaptionOf(window), "Zelk");  // given up: nothing opened
    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(zelk.WaitForExit(), 0u);
}

// Paths that name no readable file: the error box, and the window stays usable.
TEST(Program, UnreadablePathsGiveTheErrorAndTheWindowStays) {
    Installed zelkDir;
    const auto held = zelkDir.Dir().Write("held.ps", "%!PS-Adobe-3.0\n");
    HANDLE holder = CreateFileA(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    for (const auto& path : {NativePath(zelkDir.Dir().PathOf("")), NativePath(held),
                             NativePath(zelkDir.Dir().PathOf("gone.ps"))}) {
        Program zelk(zelkDir.Exe(), "\"" + path + "\"");
        HWND box = zelk.WaitForWindow("#32770", "Error");
        ASSERT_NE(box, nullptr) << path;
        char text[512] = {};
        GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
        EXPECT_EQ(std::string(text), "Could not read from: " + path);
        PostMessageA(box, WM_COMMAND, IDOK, 0);
        HWND window = zelk.Window();
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(CaptionOf(window), "Zelk");
        PostMessageA(window, WM_CLOSE, 0, 0);
        EXPECT_EQ(zelk.WaitForExit(), 0u);
    }
    CloseHandle(holder);
}

}  // namespace
}  // namespace zelk
