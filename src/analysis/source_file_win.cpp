// Win32 file access. The file is opened for reading shared with readers only: while Zelk
// holds a job no other program can change it under the scan, yet the file menu's programs
// (Send to, Print) and others can read it; a job another program writes cannot be opened.
#include <windows.h>

#include "analysis/source_file.h"

namespace zelk {
namespace {

class WinSourceFile final : public SourceFile {
  public:
    ~WinSourceFile() override {
        if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
    }

    std::string DateText() const override { return FileDateText(path_); }

    bool Open(const std::string& path) {
        path_ = path;
        // Others may read the job while it is scanned (the file menu's Send to and Print act
        // on it); none may write it, so what is scanned stays what was recognised.
        handle_ = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
        if (handle_ == INVALID_HANDLE_VALUE) return false;
        LARGE_INTEGER size;
        if (!GetFileSizeEx(handle_, &size)) return false;
        size_ = size.QuadPart;
        return true;
    }

    int64_t Read(uint8_t* dst, int64_t count) override {
        int64_t total = 0;
        while (total < count) {
            const DWORD want = static_cast<DWORD>(count - total);
            DWORD got = 0;
            if (!ReadFile(handle_, dst + total, want, &got, nullptr)) return total > 0 ? total : -1;
            if (got == 0) break;
            total += got;
            position_ = Position() + got;
        }
        return total;
    }

    bool Seek(int64_t offset) override {
        LARGE_INTEGER to;
        to.QuadPart = offset;
        if (!SetFilePointerEx(handle_, to, nullptr, FILE_BEGIN)) return false;
        position_ = offset;
        return true;
    }

  private:
    std::string path_;
    HANDLE handle_ = INVALID_HANDLE_VALUE;
};

}  // namespace

std::unique_ptr<SourceFile> OpenSourceFile(const std::string& path) {
    auto file = std::make_unique<WinSourceFile>();
    if (!file->Open(path)) return nullptr;
    return file;
}

std::string FileDateText(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return {};
    FILETIME local, rounded;
    WORD dosDate = 0, dosTime = 0;
    SYSTEMTIME st;
    // Going through a DOS date and time gives the two-second resolution operators know
    // from the file's age in other tools.
    if (!FileTimeToLocalFileTime(&data.ftLastWriteTime, &local) ||
        !FileTimeToDosDateTime(&local, &dosDate, &dosTime) ||
        !DosDateTimeToFileTime(dosDate, dosTime, &rounded) || !FileTimeToSystemTime(&rounded, &st))
        return {};
    char date[128] = {}, time[128] = {};
    GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &st, nullptr, date, sizeof date);
    if (st.wHour == 0 && st.wMinute == 0 && st.wSecond == 0) return date;
    GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &st, nullptr, time, sizeof time);
    return std::string(date) + " " + time;
}

}  // namespace zelk
