// The Win32 file backend: shared for reading only, and the date through the user's locale.
#include <windows.h>

#include <gtest/gtest.h>

#include "analysis/source_file.h"
#include "test_files.h"
#include "window/headless.h"

namespace zelk {
namespace {

TEST(WinSourceFile, AFileAnotherProgramWritesCannotBeOpened) {
    test::TempDir dir;
    const auto path = dir.Write("held.ps", "%!PS-Adobe-3.0\n");
    HANDLE other = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(other, INVALID_HANDLE_VALUE);
    Inspection inspection(AnswerPolicy::AllYes);
    Inspect(inspection, path);
    CloseHandle(other);
    EXPECT_FALSE(inspection.started);
    ASSERT_EQ(inspection.host.messages.size(), 1u);
    EXPECT_EQ(inspection.host.messages[0].request.text, "Could not read from: " + path);
}

// While Zelk scans a job others may read it (Send to copies it) but not write it.
TEST(WinSourceFile, Issue22WhileZelkHoldsAFileOthersMayReadButNotWrite) {
    test::TempDir dir;
    const auto path = dir.Write("mine.ps", "%!PS-Adobe-3.0\n");
    auto file = OpenSourceFile(path);
    ASSERT_NE(file, nullptr);
    HANDLE reader = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_NE(reader, INVALID_HANDLE_VALUE);
    if (reader != INVALID_HANDLE_VALUE) CloseHandle(reader);
    HANDLE writer = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_EQ(writer, INVALID_HANDLE_VALUE);
    if (writer != INVALID_HANDLE_VALUE) CloseHandle(writer);
}

TEST(WinSourceFile, DateUsesTheUsersFormats) {
    test::TempDir dir;
    const auto path = dir.Write("d.ps", "x");
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    SYSTEMTIME local{2023, 11, 0, 24, 14, 5, 7, 0};  // 14:05:07 local: shown as 14:05:06
    FILETIME localFt, utc;
    SystemTimeToFileTime(&local, &localFt);
    LocalFileTimeToFileTime(&localFt, &utc);
    SetFileTime(h, nullptr, nullptr, &utc);
    CloseHandle(h);
    local.wSecond = 6;
    char date[128], time[128];
    GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &local, nullptr, date, sizeof date);
    GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &local, nullptr, time, sizeof time);
    EXPECT_EQ(FileDateText(path), std::string(date) + " " + time);
}

}  // namespace
}  // namespace zelk
