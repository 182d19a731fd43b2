// The portable settings store against the platform's private-profile functions: the same
// reads and writes on the same files must give the same answers, so the two cannot drift.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "settings/settings_file.h"
#include "test_files.h"

namespace zelk {
namespace {

namespace fs = std::filesystem;

struct Fixture {
    const char* name;
    std::string text;
};

const Fixture kFixtures[] = {
    {"odd spacing",
     "  [ Init ]  \r\n  Units  =  pt  \r\nFast_scan=\t0x62E\r\n\t[Temp]\r\nOpen =C:\\a.ps\r\n"},
    {"quotes", "[Init]\r\nUnits=\"mm\"\r\nA='x'\r\nB=\"y'\r\nC=\"\"\r\nD=\"a\"b\"\r\nE=' q '\r\n"},
    {"duplicates",
     "[Init]\r\nUnits=pt\r\nUnits=in\r\n[Other]\r\nx=1\r\n[INIT]\r\nUnits=mm\r\nFast_scan=5\r\n"},
    {"keys before any section", "Units=in\r\nx=2\r\n[Init]\r\nSlow_scan=3\r\n"},
    {"no final line end", "[Init]\r\nUnits=pt"},
    {"long value", "[Init]\r\nUnits=" + std::string(3000, 'x') + "\r\nFast_scan=9\r\n"},
    {"line feeds only", "[Init]\nUnits=pt\n\n[Temp]\nOpen=C:\\a.ps\n"},
    {"comments and blanks", "; settings\r\n\r\n[Init]\r\n;Units=in\r\n\r\nUnits=pt\r\n\r\n"},
    {"empty file", ""},
    {"line without equals", "[Init]\r\nUnits\r\nFast_scan=1\r\n"},
    {"menu lists", "[OpenWith]\r\nCount=3\r\n1=View=C:\\v.exe\r\n3=Edit=C:\\e.exe\r\n"},
};

struct Key {
    const char* section;
    const char* key;
};

const Key kKeys[] = {
    {"Init", "Units"}, {"INIT", "units"}, {"Init", "Fast_scan"}, {"Init", "Slow_scan"},
    {"Init", "A"},     {"Init", "B"},     {"Init", "C"},         {"Init", "D"},
    {"Init", "E"},     {"Temp", "Open"},  {"Other", "x"},        {"Init", "x"},
    {"OpenWith", "1"}, {"OpenWith", "2"}, {"OpenWith", "Count"}, {"Missing", "Units"},
    {"Init", "NEW"},   {"Fresh", "k"},
};

const struct {
    const char* section;
    const char* key;
    std::string value;
} kWrites[] = {
    {"Init", "Units", "in"},
    {"init", "NEW", "a value with blanks"},
    {"Fresh", "k", "v"},
    {"Temp", "Open", "C:\\jobs\\x y.ps"},
    {"OpenWith", "2", "Mid=C:\\m.exe"},
    {"Init", "Fast_scan", std::string(1500, '7')},
};

std::vector<std::string> ReadAll(ProfileStore& store) {
    std::vector<std::string> values;
    for (const auto& k : kKeys) values.push_back(store.Read(k.section, k.key, "<default>"));
    return values;
}

TEST(SettingsBackends, PortableStoreAnswersAsThePlatformDoes) {
    test::TempDir dir;
    for (const auto& f : kFixtures) {
        const auto platformPath = dir.Write(std::string(f.name) + ".platform.ini", f.text);
        const auto portablePath = dir.Write(std::string(f.name) + ".portable.ini", f.text);
        auto platform = MakePlatformProfileStore(platformPath);
        auto portable = MakePortableProfileStore(portablePath);
        EXPECT_EQ(ReadAll(*portable), ReadAll(*platform)) << f.name << ", before writing";
        for (const auto& w : kWrites) {
            ASSERT_TRUE(platform->Write(w.section, w.key, w.value));
            ASSERT_TRUE(portable->Write(w.section, w.key, w.value));
            EXPECT_EQ(ReadAll(*portable), ReadAll(*platform)) << f.name << ", after " << w.key;
        }
        // Each store also reads what the other wrote.
        auto crossPlatform = MakePlatformProfileStore(portablePath);
        EXPECT_EQ(ReadAll(*crossPlatform), ReadAll(*platform)) << f.name << ", crossed";
    }
}

// A write never leaves a half-written file: both stores edit a sibling that replaces the
// file in one step, which shows as a new file where the old one stood.
TEST(SettingsBackends, BothStoresReplaceTheFileInOneStep) {
    test::TempDir dir;
    auto identity = [](const std::string& path) {
        HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
        BY_HANDLE_FILE_INFORMATION info{};
        GetFileInformationByHandle(file, &info);
        CloseHandle(file);
        return (uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow;
    };
    for (auto make : {MakePlatformProfileStore, MakePortableProfileStore}) {
        const auto path = dir.Write("PreZelk.INI", "; kept\r\n[Init]\r\nUnits=pt\r\n");
        const auto before = identity(path);
        SettingsFile settings(path, make(path));
        settings.WriteString("Temp", "Open", "C:\\a.ps");
        EXPECT_NE(identity(path), before);
        const std::string text = test::ReadFile(path);
        EXPECT_TRUE(text.starts_with("; kept\r\n[Init]\r\nUnits=pt\r\n")) << text;
        EXPECT_NE(text.find("Open=C:\\a.ps"), std::string::npos) << text;
        EXPECT_FALSE(fs::exists(path + ".new"));
    }
}

// Wine running as root writes through a read-only attribute, so the platform store's
// failure is shown with paths no process can write: a missing folder and a folder itself.
// (The portable store's read-only cases are in the portable suite.)
TEST(SettingsBackends, BothStoresReportAFailedWrite) {
    test::TempDir dir;
    fs::create_directory(dir.Dir() / "folder");
    for (const auto& path : {dir.PathOf("missing/PreZelk.INI"), dir.PathOf("folder")}) {
        for (auto make : {MakePlatformProfileStore, MakePortableProfileStore}) {
            SettingsFile settings(path, make(path));
            try {
                settings.WriteString("Temp", "Open", "C:\\a.ps");
                ADD_FAILURE() << path << ": the write was reported as done";
            } catch (const SettingsWriteError& e) {
                EXPECT_EQ(std::string(e.what()), "Unable to write to " + path);
            }
        }
    }
    EXPECT_TRUE(fs::is_directory(dir.Dir() / "folder"));
}

}  // namespace
}  // namespace zelk
