// Zelk.exe started as its own process, as operators and a second copy start it.
#include <gtest/gtest.h>

#include "program.h"

#include <sstream>

namespace zelk {
namespace {

using test::CaptionOf;
using test::Installed;
using test::NativePath;
using test::Program;
using test::Quoted;

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
    EXPECT_EQ(zelk.Close(window), 0u);
}

// Runs Zelk on `text` as the job `name` and returns the picture it saves of its window.
test::Picture Snapshot(const std::string& name, const std::string& text,
                       std::string* output = nullptr) {
    Installed zelkDir;
    const auto job = zelkDir.Dir().Write(name, text);
    const auto png = zelkDir.Dir().PathOf("window.png");
    Program zelk(zelkDir.Exe(), Quoted(job) + " --snapshot " + Quoted(png));
    EXPECT_EQ(zelk.WaitForExit(), 0u);
    if (output != nullptr) *output = zelk.Output();
    return test::ReadZelkPng(png);
}

struct Pixel {
    int x, y;
    uint32_t colour;
    bool is;  // false: any colour but this one
};

void ExpectPixels(const test::Picture& p, std::initializer_list<Pixel> pixels) {
    ASSERT_EQ(p.width, 455);
    ASSERT_EQ(p.height, 334);
    for (const auto& px : pixels)
        EXPECT_EQ(p.At(px.x, px.y) == px.colour, px.is) << px.x << ", " << px.y;
}

// A separated A4 job with two process inks and two spot colours: the snapshot shows the red
// plate outline, the white page of 60 × 84 pixels, the hatched plate, the emulsion mark, the
// gauge frame and the colour bar beside the plate, pixel for pixel.
TEST(Program, SnapshotOfAnA4Job) {
    std::string output;
    const auto p = Snapshot("a4 job.ps",
                            "%!PS-Adobe-3.0\n%%BoundingBox: 0 0 595 842\n%%Pages: 1\n"
                            "%%DocumentProcessColors: Cyan Black\n"
                            "%%CMYKCustomColor: 1 0 0 0 (Spot A)\n%%+ 0 0 0 1 (Spot B)\n"
                            "%%EndComments\n%%Page: 1 1\n%%PlateColor: Cyan\n%%PageTrailer\n",
                            &output);
    // Standard output is in text mode: each line feed arrives as CR LF.
    EXPECT_EQ(output.substr(0, 47), "Zelk in a4 job.ps\r\n*PostScript file - a4 job.ps");
    constexpr uint32_t kCyan = 0x00FFFF, kSpotA = 0x1FFFFF, kSpotB = 0x1E1916;
    ExpectPixels(p, {
                        {64, 40, kRedPixel, true},  // the outline's corners, above the page
                        {221, 40, kRedPixel, true},
                        {64, 252, kRedPixel, true},
                        {221, 252, kRedPixel, true},
                        {123, 100, kBlackPixel, true},  // the page's right and bottom edges
                        {100, 123, kBlackPixel, true},
                        {122, 122, kWhitePixel, true},
                        {110, 110, kWhitePixel, true},
                        {233, 300, kBlackPixel, true},  // the E reads forwards
                        {270, 268, kBlackPixel, true},
                        {270, 300, kBlackPixel, false},
                        {288, 240, kBlackPixel, true},  // the gauge frame
                        {440, 240, kBlackPixel, true},
                        {360, 228, kBlackPixel, true},
                        {235, 50, kCyan, true},  // the cyan chip, 20 wide beside spots
                        {248, 50, kCyan, true},  // its last column, 18
                        {249, 50, kCyan, false},
                        {235, 40 + 105, kCyan, false},  // the unpainted row between chips
                        {235, 40 + 105, kBlackPixel, false},
                        {235, 190, kBlackPixel, true},  // the black chip
                        {260, 90, kSpotA, true},        // C = 1 painted as 31, 255, 255
                        {273, 90, kSpotA, true},        // its last column, 43
                        {274, 90, kSpotA, false},
                        {260, 40 + 105, kSpotA, false},  // six unpainted rows after it
                        {260, 40 + 105, kSpotB, false},
                        {260, 190, kSpotB, true},  // K = 1 wraps to 30, 25, 22
                    });
    // The hatch: both black and the window's colour between page and outline.
    int black = 0;
    for (int x = 140; x < 200; ++x) black += p.At(x, 200) == kBlackPixel;
    EXPECT_GT(black, 5);
    EXPECT_LT(black, 40);
}

// A TIFF shows the picture of its colour model stretched over the bar.
TEST(Program, SnapshotOfATiffColourModel) {
    const auto cmyk = Snapshot("c.tif", test::ReadFile(test::DataPath("tif/cmyk-lzw.tif")));
    ExpectPixels(cmyk, {{240, 40 + 10, 0x00FFFF, true},
                        {262, 40 + 80, 0xFF00FF, true},
                        {262, 40 + 130, 0xFFFF00, true},
                        {240, 40 + 210, kBlackPixel, true}});
}

// The message box a doubtful file raises: exact text, caption, buttons, centred.
TEST(Program, ConformanceQuestionIsARealMessageBox) {
    Installed zelkDir;
    const auto job = zelkDir.Dir().Write("bare.ps", "%!PS\n");
    Program zelk(zelkDir.Exe(), Quoted(job));
    HWND box = zelk.WaitForWindow("#32770", "Confirm");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(test::BoxText(box),
              "The file seems not conform to the DSC.\n\rTry to scan it anyway?");
    EXPECT_EQ(test::BoxText(box, IDYES), "&Yes");
    EXPECT_EQ(test::BoxText(box, IDNO), "&No");
    RECT r;
    GetWindowRect(box, &r);
    EXPECT_NEAR((r.left + r.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 1);
    EXPECT_NEAR((r.top + r.bottom) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 1);
    PostMessageA(box, WM_COMMAND, IDNO, 0);
    HWND window = zelk.Window();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(CaptionOf(window), "Zelk");  // given up: nothing opened
    EXPECT_EQ(zelk.Close(window), 0u);
}

// A path Zelk cannot read gives the error box, cut to the path's start and its file name so
// that it stays on the screen, and the window stays usable. (Folders, missing files and files
// another program holds give the same box in the portable suite and the file backend's.)
TEST(Program, AnUnreadablePathGivesTheErrorAndTheWindowStays) {
    Installed zelkDir;
    const std::string path = NativePath(zelkDir.Dir().PathOf(std::string(1300, 'd') + "\\job.ps"));
    Program zelk(zelkDir.Exe(), "\"" + path + "\"");
    HWND box = zelk.WaitForWindow("#32770", "Error");
    ASSERT_NE(box, nullptr);
    const std::string text = test::BoxText(box);
    EXPECT_TRUE(text.starts_with("Could not read from: " + path.substr(0, 40) + "...")) << text;
    EXPECT_TRUE(text.ends_with("ddd\\job.ps")) << text;
    RECT r;
    GetWindowRect(box, &r);
    EXPECT_LE(r.right - r.left, GetSystemMetrics(SM_CXSCREEN));
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    HWND window = zelk.Window();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(CaptionOf(window), "Zelk");
    EXPECT_EQ(zelk.Close(window), 0u);
}

// The shell's association of `key` (".htm", "mailto") with the recorder, for this prefix.
void AssociateWithRecorder(const std::string& key) {
    const std::string handler = key == "mailto" ? "mailto" : "ZelkTest" + key;
    const std::string command = Quoted(RECORD_ARGS_EXE) + " \"%1\"";
    auto set = [](const std::string& path, const char* name, const std::string& value) {
        HKEY k = nullptr;
        RegCreateKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &k,
                        nullptr);
        RegSetValueExA(k, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>(value.size() + 1));
        RegCloseKey(k);
    };
    if (key != "mailto") set(key, nullptr, handler);
    if (key == "mailto") set(handler, "URL Protocol", "");
    set(handler + "\\shell\\open\\command", nullptr, command);
}

// The lines the recorder wrote, once there are `count` of them.
std::vector<std::string> Recorded(size_t count) {
    const std::string exe = NativePath(RECORD_ARGS_EXE);
    const std::string file = exe.substr(0, exe.find_last_of('\\') + 1) + "recorded.txt";
    std::vector<std::string> lines;
    for (int i = 0; i < 600 && lines.size() < count; ++i) {
        Sleep(50);
        lines.clear();
        std::istringstream text(test::ReadFile(file));
        for (std::string line; std::getline(text, line);) lines.push_back(line);
    }
    return lines;
}

void ClickAt(HWND window, int x, int y) {
    PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    PostMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

// Help, the about box and its mail link, on a copy of the program in a folder of its own:
// the pages are found beside the program wherever it was moved.
TEST(Program, HelpAboutAndTheMailLink) {
    AssociateWithRecorder(".htm");
    AssociateWithRecorder("mailto");
    const std::string exe = NativePath(RECORD_ARGS_EXE);
    DeleteFileA((exe.substr(0, exe.find_last_of('\\') + 1) + "recorded.txt").c_str());
    Installed zelkDir;
    Program zelk(zelkDir.Exe(), "");
    HWND window = zelk.Window();
    ASSERT_NE(window, nullptr);
    ClickAt(window, 365, 269);  // "Help"
    auto lines = Recorded(1);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find(NativePath(zelkDir.Dir().PathOf("ZelkHelp")) + "\\Zelk_Help_index.htm"),
              std::string::npos)
        << lines[0];

    ClickAt(window, 300, 314);  // "About Zelk"
    HWND about = zelk.WaitForWindow("TAbout", "About Zelk");
    ASSERT_NE(about, nullptr);
    RECT client;
    GetClientRect(about, &client);
    EXPECT_EQ(client.right, 326);
    EXPECT_EQ(client.bottom, 350);
    EXPECT_FALSE(IsWindowEnabled(window));  // modal
    ClickAt(about, 12, 332);                // the mail link
    lines = Recorded(2);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_NE(lines[1].find("mailto:zelk-remarks@example.org"), std::string::npos) << lines[1];
    PostMessageA(about, WM_KEYDOWN, VK_ESCAPE, 0);
    for (int i = 0; i < 200 && IsWindowVisible(about); ++i) Sleep(50);
    EXPECT_FALSE(IsWindowVisible(about));

    // The menu editor's Help opens the menu page and leaves the editor open.
    PostMessageA(window, WM_COMMAND, 20, 0);  // "Open with..."
    HWND editor = zelk.WaitForWindow("TModMeniu1", "Modify \"Open with\" menu");
    ASSERT_NE(editor, nullptr);
    ClickAt(editor, 197, 277);
    lines = Recorded(3);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_NE(lines[2].find(NativePath(zelkDir.Dir().PathOf("ZelkHelp")) + "\\Zelk_menu.htm"),
              std::string::npos)
        << lines[2];
    EXPECT_TRUE(IsWindowVisible(editor));
    PostMessageA(editor, WM_KEYDOWN, VK_ESCAPE, 0);
    for (int i = 0; i < 200 && IsWindowVisible(editor); ++i) Sleep(50);
    EXPECT_FALSE(IsWindowVisible(editor));
    EXPECT_EQ(zelk.Close(window), 0u);
}

TEST(Kestrin, PrintWithoutAPrinterSaysSo) {
    Installed zelkDir;
    const auto path = zelkDir.Dir().Write("a.ps", "%!PS-Adobe-3.0\nshowpage\n");
    Program print(zelkDir.Kestrin(), Quoted(path) + " Printer Print");
    HWND box = print.WaitForWindow("#32770", "Kestrin");
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(test::BoxText(box).starts_with("Could not print a.ps: no default printer"))
        << test::BoxText(box);
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(print.WaitForExit(), 1u);
}

}  // namespace
}  // namespace zelk
