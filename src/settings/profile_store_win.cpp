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

    bool Write(const std::string& section, const std::string& key,
               const std::string& value) override {
        return WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(),
                                          path_.c_str()) != FALSE;
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

std::string SettingsFilePath() { return ExecutableDirectory() + "\\" + kSettingsFileName; }

}  // namespace zelk
