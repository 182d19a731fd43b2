// The platform's own private-profile functions.
#include <windows.h>

#include <cctype>
#include <cstdint>

#include "settings/settings_file.h"

namespace zelk {
namespace {

class WinProfileStore final : public ProfileStore {
  public:
    explicit WinProfileStore(std::string path) : path_(std::move(path)) {}

    std::string Read(const std::string& section, const std::string& key,
                     const std::string& fallback) override {
        char buffer[kProfileValueMax + 1] = {};
        const DWORD n = GetPrivateProfileStringA(section.c_str(), key.c_str(), fallback.c_str(),
                                                 buffer, sizeof buffer, path_.c_str());
        return std::string(buffer, n);
    }

    // The platform's function rewrites the file in place, so a copy killed halfway (a second
    // copy handing its file over, say) could leave it cut short. A write edits a copy of its
    // own instead, which then replaces the file in one step; writers take turns on a named
    // mutex, so none edits a copy that another's replace has made stale and no line is lost.
    bool Write(const std::string& section, const std::string& key,
               const std::string& value) override {
        const DWORD attributes = GetFileAttributesA(path_.c_str());
        const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
        if (exists && (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)))
            return false;
        const SettingsWriteTurn turn(path_);
        if (!turn.Held()) return false;
        RemoveLeftovers();
        const std::string copy = path_ + "." + std::to_string(GetCurrentProcessId()) + "-" +
                                 std::to_string(++writes_) + kSettingsCopySuffix;
        bool written = !exists || CopyFileA(path_.c_str(), copy.c_str(), TRUE);
        written = written && WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(),
                                                        copy.c_str());
        written = written && Replace(copy);
        if (!written) DeleteFileA(copy.c_str());
        return written;
    }

  private:
    // A reader holding the file for a moment (a virus scanner, another copy reading its
    // settings) makes the replace fail; it is tried again for about a second.
    bool Replace(const std::string& copy) const {
        for (int tries = 0; tries < 40; ++tries) {
            if (MoveFileExA(copy.c_str(), path_.c_str(),
                            MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
                return true;
            const DWORD error = GetLastError();
            if (error != ERROR_SHARING_VIOLATION && error != ERROR_ACCESS_DENIED &&
                error != ERROR_LOCK_VIOLATION)
                return false;
            Sleep(25);
        }
        return false;
    }

    // Copies left by a writer that was killed: while we hold the turn no other writer's copy
    // can exist, so every one of them is a leftover.
    void RemoveLeftovers() const {
        const std::string folder = path_.substr(0, path_.find_last_of("\\/:") + 1);
        WIN32_FIND_DATAA found{};
        HANDLE search = FindFirstFileA((path_ + ".*" + kSettingsCopySuffix).c_str(), &found);
        if (search == INVALID_HANDLE_VALUE) return;
        do {
            DeleteFileA((folder + found.cFileName).c_str());
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }

    std::string path_;
    unsigned writes_ = 0;
};

// Named after the file's full path, without regard to case as Windows names files.
std::string MutexName(const std::string& path) {
    char full[MAX_PATH * 4] = {};
    const DWORD n = GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
    const std::string name = n > 0 && n < sizeof full ? std::string(full, n) : path;
    uint64_t hash = 14695981039346656037ull;  // FNV-1a
    for (char c : name) {
        hash ^= static_cast<uint64_t>(std::toupper(static_cast<unsigned char>(c)));
        hash *= 1099511628211ull;
    }
    return "Local\\ZelkSettingsWrite-" + std::to_string(hash);
}

}  // namespace

SettingsWriteTurn::SettingsWriteTurn(const std::string& path) {
    HANDLE mutex = CreateMutexA(nullptr, FALSE, MutexName(path).c_str());
    if (mutex == nullptr) return;
    handle_ = reinterpret_cast<intptr_t>(mutex);
    // A writer that died in its turn leaves the mutex abandoned: the turn is ours.
    const DWORD got = WaitForSingleObject(mutex, 10000);
    held_ = got == WAIT_OBJECT_0 || got == WAIT_ABANDONED;
}

SettingsWriteTurn::~SettingsWriteTurn() {
    HANDLE mutex = reinterpret_cast<HANDLE>(handle_);
    if (held_) ReleaseMutex(mutex);
    if (handle_ != -1) CloseHandle(mutex);
}

std::unique_ptr<ProfileStore> MakePlatformProfileStore(const std::string& path) {
    return std::make_unique<WinProfileStore>(path);
}

std::string ExecutableDirectory() {
    char path[MAX_PATH] = {};
    const DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
    std::string exe(path, n);
    const auto cut = exe.find_last_of("\\/:");
    return cut == std::string::npos ? std::string() : exe.substr(0, cut);
}

std::string SettingsFilePath() {
    return ExecutableDirectory() + "\\" + kSettingsFileName;
}

}  // namespace zelk
