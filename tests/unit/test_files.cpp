#include "test_files.h"

#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#ifndef _WIN32
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#endif

namespace zelk::test {

TempDir::TempDir() {
    std::random_device random;
    dir_ = std::filesystem::temp_directory_path() /
           ("zelk-test-" + std::to_string(random()) + std::to_string(random()));
    std::filesystem::create_directories(dir_);
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
}

std::string TempDir::Write(const std::string& name, std::string_view bytes) const {
    const std::string path = PathOf(name);
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return path;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
}

std::string DataPath(const std::string& name) {
    return std::string(ZELK_TEST_DATA) + "/" + name;
}

std::string NativePath(std::string path) {
#ifdef _WIN32
    // Under Wine the build tree is on drive Z:, which maps the Unix root.
    if (!path.empty() && path[0] == '/') path = "Z:" + path;
    for (char& c : path)
        if (c == '/') c = '\\';
#endif
    return path;
}

RunResult RunInspect(const std::string& args) {
    TempDir dir;
    const std::string outPath = dir.PathOf("out.txt"), errPath = dir.PathOf("err.txt");
    const std::string command =
        Quoted(ZELK_INSPECT_EXE) + " " + args + " > " + Quoted(outPath) + " 2> " + Quoted(errPath);
#ifdef _WIN32
    // cmd.exe strips the outer quotes of a command line that starts with one.
    const int raw = std::system(("\"" + command + "\"").c_str());
    const int status = raw;
#else
    const int raw = std::system(command.c_str());
    const int status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
#endif
    return {status, ReadFile(outPath), ReadFile(errPath)};
}

RunResult RunInspectText(const std::string& args) {
    RunResult run = RunInspect(args);
#ifdef _WIN32
    for (auto at = run.out.find("\r\n"); at != std::string::npos; at = run.out.find("\r\n", at))
        run.out.erase(at, 1);
#endif
    return run;
}

#ifndef _WIN32
bool UnderFileSizeLimit(long bytes, const std::function<bool()>& body) {
    const pid_t pid = fork();
    if (pid == 0) {
        signal(SIGXFSZ, SIG_IGN);  // a write past the limit then fails with EFBIG
        const rlimit limit{static_cast<rlim_t>(bytes), static_cast<rlim_t>(bytes)};
        setrlimit(RLIMIT_FSIZE, &limit);
        _exit(body() ? 0 : 1);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}
#endif

}  // namespace zelk::test
