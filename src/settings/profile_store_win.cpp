// The platform's own private-profile functions.
#include <windows.h>

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
    // copy handing its file over, say) could leave it cut short. It edits a sibling copy
    // instead, which then replaces the file in one step.
    bool Write(const std::string& section, const std::string& key,
               const std::string& value) override {
        const std::string sibling = path_ + ".new";
        const DWORD attributes = GetFileAttributesA(path_.c_str());
        const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
        if (exists && (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)))
            return false;
        if (exists ? !CopyFileA(path_.c_str(), sibling.c_str(), FALSE)
                   : !DeleteFileA(sibling.c_str()) && GetLastError() != ERROR_FILE_NOT_FOUND)
            return false;
        const bool written = WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(),
                                                        sibling.c_str()) &&
                             MoveFileExA(sibling.c_str(), path_.c_str(),
                                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
        if (!written) DeleteFileA(sibling.c_str());
        return written;
    }

  private:
    std::string path_;
};

}  // namespace

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
