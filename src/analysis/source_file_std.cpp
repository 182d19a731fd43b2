// Standard-library file access, for the native build of the core and its tools.
#include <chrono>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iomanip>
#include <locale>
#include <sstream>
#include <system_error>

#include "analysis/source_file.h"

namespace zelk {
namespace {

namespace fs = std::filesystem;

class StdSourceFile final : public SourceFile {
  public:
    std::string DateText() const override { return FileDateText(path_); }

    bool Open(const std::string& path) {
        path_ = path;
        // Only what holds bytes that stay put: a FIFO would block the open, a terminal or
        // a character device would never end.
        std::error_code ec;
        const fs::file_status status = fs::status(path, ec);
        if (ec || !(fs::is_regular_file(status) || fs::is_block_file(status))) return false;
        if (!buf_.open(path, std::ios::in | std::ios::binary)) return false;
        const auto end = buf_.pubseekoff(0, std::ios::end, std::ios::in);
        if (end == std::streampos(std::streamoff(-1))) return false;
        size_ = static_cast<int64_t>(std::streamoff(end));
        return Seek(0);
    }

    int64_t Read(uint8_t* dst, int64_t count) override {
        const auto got =
            buf_.sgetn(reinterpret_cast<char*>(dst), static_cast<std::streamsize>(count));
        if (got < 0) return -1;
        position_ = Position() + got;
        return got;
    }

    bool Seek(int64_t offset) override {
        const auto at = buf_.pubseekpos(std::streampos(std::streamoff(offset)), std::ios::in);
        if (at == std::streampos(std::streamoff(-1))) return false;
        position_ = offset;
        return true;
    }

  private:
    std::string path_;
    std::filebuf buf_;
};

}  // namespace

std::unique_ptr<SourceFile> OpenSourceFile(const std::string& path) {
    auto file = std::make_unique<StdSourceFile>();
    if (!file->Open(path)) return nullptr;
    return file;
}

std::string FileDateText(const std::string& path) {
    std::error_code ec;
    const auto written = fs::last_write_time(path, ec);
    if (ec) return {};
    const auto sys = std::chrono::file_clock::to_sys(written);
    const std::time_t t = std::chrono::system_clock::to_time_t(
        std::chrono::time_point_cast<std::chrono::system_clock::duration>(sys));
    std::tm local{};
    if (const std::tm* p = std::localtime(&t)) local = *p;
    local.tm_sec &= ~1;  // a DOS time keeps seconds in steps of two
    std::ostringstream out;
    try {
        out.imbue(std::locale(""));
    } catch (const std::runtime_error&) {
        // An unknown locale in the environment: the classic one still gives a date.
    }
    const bool midnight = local.tm_hour == 0 && local.tm_min == 0 && local.tm_sec == 0;
    out << std::put_time(&local, midnight ? "%x" : "%x %X");
    return out.str();
}

}  // namespace zelk
