// Real files for the tests, in a folder of their own that goes away with the test.
#pragma once

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "analysis/memory_source.h"

namespace zelk::test {

class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // Writes `bytes` to `name` in the folder; returns the file's path.
    std::string Write(const std::string& name, std::string_view bytes) const;
    // Joined as narrow text, not through std::filesystem::path, which would re-encode a
    // Windows ANSI name as UTF-8.
    std::string PathOf(const std::string& name) const { return dir_.string() + "/" + name; }
    const std::filesystem::path& Dir() const { return dir_; }

  private:
    std::filesystem::path dir_;
};

std::string ReadFile(const std::string& path);
std::string DataPath(const std::string& name);

struct RunResult {
    int status = -1;
    std::string out;
    std::string err;
};
// Runs zelk-inspect with `args` (quoted as the shell wants them).
RunResult RunInspect(const std::string& args);
// The same, with the text output's line ends as the program wrote them: on Windows standard
// output is in text mode, and each line feed became CR LF on the way.
RunResult RunInspectText(const std::string& args);
// A path as the platform's shell and file functions take it.
std::string NativePath(std::string path);
// The same as a command-line argument, in double quotes.
inline std::string Quoted(const std::string& path) {
    return "\"" + NativePath(path) + "\"";
}

// A file in memory that gives one byte a read: a reader's buffer then ends inside every token.
// From `failAt` on, its reads fail (at 0: it opens, but nothing can be read).
class Trickle final : public SourceFile {
  public:
    explicit Trickle(const std::string& bytes, int64_t failAt = INT64_MAX)
        : file_(bytes), failAt_(failAt) {
        size_ = file_.Size();
    }
    int64_t Read(uint8_t* dst, int64_t count) override {
        return file_.Position() >= failAt_ ? -1 : file_.Read(dst, std::min<int64_t>(count, 1));
    }
    bool Seek(int64_t offset) override { return file_.Seek(offset); }

  private:
    MemorySourceFile file_;
    int64_t failAt_;
};

#ifndef _WIN32
// Runs `body` in a child process whose files cannot grow past `bytes`, so that a write past
// them fails as on a full disk; true when `body` returned true there.
bool UnderFileSizeLimit(long bytes, const std::function<bool()>& body);
#endif

}  // namespace zelk::test
