// The settings file on real files: defaults, conversions, writes that keep the rest.
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <thread>
#include <vector>
#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "settings/settings_file.h"
#include "test_files.h"

namespace zelk {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::TempDir;

struct Settings : ::testing::Test {
    SettingsFile Open(const std::string& text) {
        path = dir.Write("PreZelk.INI", text);
        return SettingsFile(path, MakePortableProfileStore(path));
    }
    TempDir dir;
    std::string path;
};

TEST_F(Settings, IntegersAcceptDecimalAndHexadecimal) {
    const auto s = Open(
        "[Init]\r\nFast_scan=0x640\r\nSlow_scan=$62E\r\nOnlyOne=2\r\n"
        "[Other]\r\na=-17\r\nb=0X10\r\nc=abc\r\nd=\r\ne=12abc\r\nf=2147483648\r\ng=-2147483648\r\n"
        "h=$FFFFFFFF\r\ni=+5\r\nj=0x\r\nk= 42 \r\nl=$\r\nm=$100000000\r\nn=\" 42\"\r\n");
    EXPECT_EQ(s.Read(settings::kFastScan), 1600);  // not the default
    EXPECT_EQ(s.Read(settings::kSlowScan), 1582);
    EXPECT_TRUE(s.Read(settings::kOnlyOneAtStart));
    const struct {
        const char* key;
        int32_t value;
    } cases[] = {{"a", -17}, {"b", 16}, {"c", 7}, {"d", 7},  {"e", 7}, {"f", 7}, {"g", INT32_MIN},
                 {"h", -1},  {"i", 5},  {"j", 7}, {"k", 42}, {"l", 7}, {"m", 7}, {"n", 42}};
    for (const auto& c : cases) EXPECT_EQ(s.ReadInteger("Other", c.key, 7), c.value) << c.key;
}

TEST_F(Settings, TextsLoseBlanksAndOnePairOfQuotesAndStayCaseSensitive) {
    auto s = Open(
        "[init]\r\n  UNITS  =  MM  \r\nOnlyOne=yes\r\n[Temp]\r\nOpen=\"C:\\my jobs\\a.ps\"\r\n"
        "q1='x'\r\nq2=\"\"y\"\"\r\nq3=\"z'\r\n");
    EXPECT_FALSE(s.Read(settings::kOnlyOneAtStart));  // nonsense: each caller's own default
    EXPECT_TRUE(s.Read(settings::kOnlyOneInDialog));
    EXPECT_EQ(s.Read(settings::kUnits), "MM");  // names ignore case, values do not
    EXPECT_EQ(s.Read(settings::kHandedOverPath), "C:\\my jobs\\a.ps");
    EXPECT_EQ(s.ReadString("temp", "q1", ""), "x");
    EXPECT_EQ(s.ReadString("temp", "q2", ""), "\"y\"");
    EXPECT_EQ(s.ReadString("temp", "q3", ""), "\"z'");
    s.WriteString("OpenWith", "1", std::string(2000, 'v'));
    EXPECT_EQ(s.ReadString("OpenWith", "1", ""), std::string(1023, 'v'));  // cut as Windows cuts
}

// Writes change their own lines and keep every other, the file's line ends included; the
// first write creates the file. A line without "=" is a key without a value.
TEST_F(Settings, WritesKeepEverythingElse) {
    const struct {
        const char* before;  // nullptr: no file
        const char* units;   // read before the writes
        const char* after;
    } cases[] = {
        {nullptr, "mm", "[init]\r\nunits=in\r\nFast_scan=2000\r\n[Temp]\r\nflag=1\r\n"},
        {"; Zelk settings\r\n[Init]\r\nUnits=pt\r\n\r\n[OpenWith]\r\nCount=1\r\n1=V=C:\\v.exe\r\n",
         "pt",
         "; Zelk settings\r\n[Init]\r\nunits=in\r\nFast_scan=2000\r\n\r\n[OpenWith]\r\nCount=1\r\n"
         "1=V=C:\\v.exe\r\n[Temp]\r\nflag=1\r\n"},
        {"[Init]\nUnits=pt", "pt", "[Init]\nunits=in\nFast_scan=2000\n[Temp]\nflag=1\n"},
        {"[Init]\r\nUnits\r\nFast_scan=1\r\n", "mm",
         "[Init]\r\nunits=in\r\nFast_scan=2000\r\n[Temp]\r\nflag=1\r\n"},
    };
    for (const auto& c : cases) {
        auto s = Open(c.before ? c.before : "");
        if (!c.before) fs::remove(path);
        EXPECT_EQ(s.Read(settings::kUnits), c.units) << c.after;
        EXPECT_EQ(fs::exists(path), c.before != nullptr) << "a read made the file";
        s.WriteString("init", "units", "in");
        s.WriteInteger("Init", "Fast_scan", 2000);
        s.WriteBool("Temp", "flag", true);
        EXPECT_EQ(ReadFile(path), c.after);
        EXPECT_EQ(s.Read(settings::kFastScan), 2000);
    }
}

TEST_F(Settings, NumberedItemsAboveCountStayInTheFile) {
    auto s = Open("");
    for (int i = 1; i <= 5; ++i) s.WriteString("SendTo", std::to_string(i), "n=C:\\d\\");
    s.WriteInteger("SendTo", "Count", 5);
    for (int i = 1; i <= 3; ++i) s.WriteString("SendTo", std::to_string(i), "m=C:\\e\\");
    s.WriteInteger("SendTo", "Count", 3);
    EXPECT_EQ(s.Read(settings::kSendToCount), 3);
    EXPECT_EQ(s.ReadString("SendTo", "5", ""), "n=C:\\d\\");
}

// Windows marks a file read-only with an attribute that stops even administrators;
// the permission bits play that part here, so the test holds when run as root too.
TEST_F(Settings, ReadOnlyFileGivesTheErrorAndLosesNothing) {
    const std::string original = "[Init]\r\nUnits=pt\r\n";
    auto s = Open(original);
    fs::permissions(path, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    try {
        s.WriteString("Init", "Units", "in");
        FAIL() << "the write was reported as done";
    } catch (const SettingsWriteError& e) {
        EXPECT_EQ(std::string(e.what()), "Unable to write to " + path);
    }
    fs::permissions(path, fs::perms::owner_write, fs::perm_options::add);
    EXPECT_EQ(ReadFile(path), original);
}

TEST_F(Settings, ReadOnlyFolderStopsTheOperationAtTheFailedWrite) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows folders are made read-only by their access rights, not an attribute";
#endif
    auto s = Open("[Init]\r\nUnits=pt\r\n");
    s.WriteString("Init", "Units", "in");
    fs::permissions(dir.Dir(),
                    fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    bool failed = false;
    try {
        s.WriteInteger("Init", "Fast_scan", 1000);
        s.WriteInteger("Init", "Slow_scan", 1000);
    } catch (const SettingsWriteError&) {
        failed = true;
    }
    fs::permissions(dir.Dir(), fs::perms::owner_write, fs::perm_options::add);
    EXPECT_TRUE(failed);
    EXPECT_EQ(ReadFile(path), "[Init]\r\nUnits=in\r\n");  // the earlier write stays
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Dir()), fs::directory_iterator()), 1);
}

#ifndef _WIN32
// A disk that fills while the copy is written: the write is reported, the settings stay as
// they were and the short copy goes. The file-size limit makes the failure real.
TEST_F(Settings, AShortCopyNeverReplacesTheSettings) {
    std::string original = "[Init]\r\nUnits=pt\r\n[OpenWith]\r\n";
    // Longer than the size limit, shorter than the stream's buffer: the failure comes when
    // the copy is flushed.
    for (int i = 1; i <= 200; ++i) original += std::to_string(i) + "=Program=C:\\Tools\\x.exe\r\n";
    auto s = Open(original);
    EXPECT_TRUE(test::UnderFileSizeLimit(4096, [&] {
        try {
            s.WriteString("Init", "Units", "in");
        } catch (const SettingsWriteError&) {
            return true;
        }
        return false;
    })) << "the failed write was not reported";
    EXPECT_EQ(ReadFile(path), original);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Dir()), fs::directory_iterator()), 1);
}

// A replace the system refuses (here a folder stands where the file should be) is reported
// and leaves no copy behind.
TEST_F(Settings, ARefusedReplaceLeavesNoCopy) {
    path = dir.PathOf("PreZelk.INI");
    fs::create_directory(path);
    SettingsFile s(path, MakePortableProfileStore(path));
    EXPECT_THROW(s.WriteString("Init", "Units", "in"), SettingsWriteError);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Dir()), fs::directory_iterator()), 1);
}
#endif

// Writers at once, each through its own store as separate programs would be: no write fails
// and none loses another's line; no copy is left beside the file.
TEST_F(Settings, Issue22ConcurrentWritersLoseNothing) {
    const std::string original = "[Init]\r\nOnlyOne=1\r\nUnits=pt\r\n";
    Open(original);
    const auto writer = [&](const std::string& section, int keys) {
        auto store = MakePortableProfileStore(path);
        bool ok = true;
        for (int k = 0; k < keys; ++k)
            ok = store->Write(section, "K" + std::to_string(k), "v") && ok;
        return ok;
    };
    // The processes are started first: a child forked while a thread holds the turn would
    // hold it too.
#ifndef _WIN32
    std::vector<pid_t> children;
    for (int p = 0; p < 4; ++p) {
        const pid_t child = fork();
        if (child == 0) _exit(writer("P" + std::to_string(p), 25) ? 0 : 1);
        children.push_back(child);
    }
#endif
    std::vector<std::thread> threads;
    std::atomic<int> failures = 0;
    for (int t = 0; t < 8; ++t)
        threads.emplace_back([&, t] { failures += !writer("T" + std::to_string(t), 25); });
#ifndef _WIN32
    for (const pid_t child : children) {
        int status = 0;
        waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
#endif
    for (auto& t : threads) t.join();
    EXPECT_EQ(failures, 0);
    const std::string text = ReadFile(path);
    EXPECT_TRUE(text.starts_with(original)) << text;
    auto store = MakePortableProfileStore(path);
    for (const std::string section : {"T0", "T7", "P0", "P3"}) {
        if (section[0] == 'P' && text.find("[P") == std::string::npos) continue;  // no fork
        for (int k = 0; k < 25; ++k)
            EXPECT_EQ(store->Read(section, "K" + std::to_string(k), "lost"), "v") << section << k;
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Dir()), fs::directory_iterator()), 1);
}

// A copy left by a writer that was killed goes with the next write; other files stay.
TEST_F(Settings, TheNextWriteRemovesACopyAKilledWriterLeft) {
    auto s = Open("[Init]\r\nUnits=pt\r\n");
    dir.Write("PreZelk.INI.4242-1.zelk-new", "[Init]\r\n");
    dir.Write("PreZelk.INI.bak", "mine");
    s.WriteString("Init", "Units", "in");
    EXPECT_FALSE(fs::exists(dir.PathOf("PreZelk.INI.4242-1.zelk-new")));
    EXPECT_EQ(ReadFile(dir.PathOf("PreZelk.INI.bak")), "mine");
    EXPECT_EQ(ReadFile(path), "[Init]\r\nUnits=in\r\n");
}

}  // namespace
}  // namespace zelk
