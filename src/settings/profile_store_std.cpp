#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <filesystem>
#include <thread>

#include "settings/settings_file.h"

namespace zelk {

std::unique_ptr<ProfileStore> MakePlatformProfileStore(const std::string& path) {
    return MakePortableProfileStore(path);
}

// A lock on the folder that holds the file, not on the file itself: a write replaces the
// file, and a lock on the old one would not keep out a writer that opened the new one. The
// lock goes with the descriptor, so a writer that dies gives it up, and two threads'
// descriptors exclude each other as two processes' do.
SettingsWriteTurn::SettingsWriteTurn(const std::string& path) {
    const std::filesystem::path file(path);
    const std::string folder = file.has_parent_path() ? file.parent_path().string() : ".";
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    handle_ = fd;
    for (int tries = 0; tries < 1000 && !held_; ++tries) {
        held_ = flock(fd, LOCK_EX | LOCK_NB) == 0;
        if (!held_) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

SettingsWriteTurn::~SettingsWriteTurn() {
    if (handle_ >= 0) close(static_cast<int>(handle_));  // which also gives the lock up
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
