#include <filesystem>

#include "settings/settings_file.h"

namespace zelk {

std::unique_ptr<ProfileStore> MakePlatformProfileStore(const std::string& path) {
    return MakePortableProfileStore(path);
}

std::string ExecutableDirectory() {
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) return std::filesystem::current_path().string();
    return exe.parent_path().string();
}

std::string SettingsFilePath() {
    return ExecutableDirectory() + "/" + kSettingsFileName;
}

}  // namespace zelk
