// Several programs at the same moment: second copies writing the settings file together,
// Kestrin deliveries into one folder, a Send to while Zelk scans the same job.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>

#include "program.h"

namespace zelk {
namespace {

using test::Installed;
using test::Program;
using test::Quoted;

BOOL CALLBACK CountZelkWindow(HWND window, LPARAM counter) {
    char cls[32] = {};
    GetClassNameA(window, cls, sizeof cls);
    if (std::string(cls) == "TZelkMnFrm") ++*reinterpret_cast<int*>(counter);
    return TRUE;
}

int CountZelkWindows() {
    int count = 0;
    EnumWindows(CountZelkWindow, reinterpret_cast<LPARAM>(&count));
    return count;
}

// The file without its [Temp] section: what no hand-off may change.
std::string WithoutTemp(const std::string& ini) {
    std::string out;
    bool temp = false;
    size_t at = 0;
    while (at < ini.size()) {
        size_t end = ini.find('\n', at);
        end = end == std::string::npos ? ini.size() : end + 1;
        const std::string line = ini.substr(at, end - at);
        if (line.starts_with("[")) temp = line.starts_with("[Temp]");
        if (!temp) out += line;
        at = end;
    }
    return out;
}

std::vector<std::string> FolderNames(const std::filesystem::path& dir) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// Twenty second copies at once hand their files to one running copy, five rounds: every line
// but the hand-off's stays, no copy fails to write, no temporary file is left, one window.
TEST(Concurrency, Issue22SecondCopiesWriteTheSettingsTogether) {
    Installed zelkDir;
    // No blank lines: Wine's profile functions drop them when they rewrite a file.
    const std::string settings =
        "[Init]\r\nOnlyOne=1\r\nUnits=mm\r\nFast_scan=1000\r\n[OpenWith]\r\nCount=2\r\n"
        "1=Viewer=C:\\viewer.exe\r\n2=Editor=C:\\editor.exe\r\n[SendTo]\r\nCount=1\r\n"
        "1=Hot=C:\\hot\\\r\n";
    zelkDir.WriteIni(settings);
    std::vector<std::string> jobs;
    for (int i = 0; i < 20; ++i)
        jobs.push_back(zelkDir.Dir().Write("job" + std::to_string(i) + ".ps", "%!PS-Adobe-3.0\n"));
    const auto before = FolderNames(zelkDir.Dir().Dir());
    Program first(zelkDir.Exe(), "");
    ASSERT_NE(first.Window(), nullptr);
    for (int round = 0; round < 5; ++round) {
        std::vector<std::unique_ptr<Program>> copies;
        for (const auto& job : jobs)
            copies.push_back(std::make_unique<Program>(zelkDir.Exe(), Quoted(job)));
        for (auto& copy : copies) {
            DWORD code = STILL_ACTIVE;
            for (int tries = 0; tries < 600 && code == STILL_ACTIVE; ++tries) {
                code = copy->WaitForExit(100);
                if (HWND box = copy->Showing("#32770", nullptr)) {  // "Unable to write to ..."
                    ADD_FAILURE() << "round " << round << ": " << test::BoxText(box);
                    PostMessageA(box, WM_COMMAND, IDOK, 0);
                }
            }
            EXPECT_EQ(code, 0u) << "round " << round;
        }
        const std::string ini = test::ReadFile(zelkDir.Ini());
        EXPECT_EQ(WithoutTemp(ini), WithoutTemp(settings)) << "round " << round << "\n" << ini;
        EXPECT_NE(ini.find("[Temp]\r\nOpen="), std::string::npos) << ini;
        EXPECT_EQ(FolderNames(zelkDir.Dir().Dir()), before) << "round " << round;
        EXPECT_EQ(CountZelkWindows(), 1) << "round " << round;
    }
    EXPECT_EQ(first.Close(), 0u);
}

}  // namespace
}  // namespace zelk
