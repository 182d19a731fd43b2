// zelk-inspect: the analysis of the Zelk window, for scripts and tests.
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "output.h"
#include "preflight/feed.h"
#include "preflight_output.h"
#include "terminal.h"
#include "window/headless.h"
#include "zelk_version.h"

#ifndef _WIN32
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>
#endif

namespace {

using zelk::AnswerPolicy;

constexpr const char* kUsage =
    "usage: zelk-inspect [--json] [--yes|--no] [--fast-scan LENGTH] [--slow-scan LENGTH]\n"
    "                    FILE...  |  --version\n"
    "  Analyses each FILE (\"-\" for standard input) as the Zelk window would and prints what\n"
    "  it shows once the scan has ended, with every message the analysis raised. Standard\n"
    "  input, and a file whose size the system gives as 0 (such as those under /proc), are\n"
    "  first copied to a temporary file. Only regular files and block devices are read.\n"
    "  --json  one JSON object for one FILE, an array of them for several (each written as\n"
    "          soon as it is done), schema 1\n"
    "  --yes   answer every question Yes (a file that keeps growing is then read until it\n"
    "          stops or Ctrl-C);  --no  answer every question No\n"
    "  --fast-scan, --slow-scan  the imagesetter's output format for the fit verdict, such as\n"
    "          558mm, 1582pt, 22in or 55.8cm; each not given is the settings file's\n"
    "  Beyond the window's analysis, \"preflight\" gives the fit verdict and the PDF's pages,\n"
    "  boxes, spot inks, fonts and info (compressed object streams read too), a TIFF's\n"
    "  orientation, inks and profile, and the DSC media: what the file declares, not what\n"
    "  its pages paint.\n"
    "  Ctrl-C (or SIGTERM, SIGHUP) stops the scan at the next chunk, or a read at once; the\n"
    "  partial result is printed with \"complete\": false and no further file is analysed.\n"
    "  Exit status: 0 every file analysed to its end; 1 a file could not be read (missing,\n"
    "  not a regular file, standard input unreadable or its copy not written) or was given\n"
    "  up as damaged (\"complete\": false), the others still analysed, or the output could\n"
    "  not be written; 2 usage error; 128 + the signal's number (130 for Ctrl-C) when a\n"
    "  signal ended the run.\n";

volatile std::sig_atomic_t gSignal = 0;  // the signal that asked the run to end, or 0
bool gStdinClosed = false, gStdoutClosed = false;

void OnSignal(int signal) {
    gSignal = signal;
}

void CatchSignals() {
#ifdef _WIN32
    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);
#else
    // Without SA_RESTART, so a read that waits (a silent pipe, /proc/kmsg) returns at once.
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) sigaction(signal, &action, nullptr);
#endif
}

struct Options {
    bool help = false;
    bool version = false;
    bool json = false;
    AnswerPolicy policy = AnswerPolicy::Default;
    zelk::cli::OutputFormat format;
    std::vector<std::string> files;
};

bool ParseOptions(int argc, char** argv, Options& options) {
    bool yes = false, no = false, onlyFiles = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (onlyFiles || arg == "-" || arg.empty() || arg[0] != '-') {
            options.files.push_back(arg);
        } else if (arg == "--") {
            onlyFiles = true;
        } else if (arg == "--help" || arg == "-h") {
            options.help = true;
            return true;
        } else if (arg == "--version") {
            options.version = true;
            return true;
        } else if (arg == "--json") {
            options.json = true;
        } else if (arg == "--yes") {
            yes = true;
        } else if (arg == "--no") {
            no = true;
        } else if (arg.starts_with("--fast-scan") || arg.starts_with("--slow-scan")) {
            // --fast-scan=558mm or --fast-scan 558mm
            const std::string name = arg.substr(0, 11);
            std::string value;
            if (arg.size() > 11 && arg[11] == '=') {
                value = arg.substr(12);
            } else if (arg.size() == 11 && i + 1 < argc) {
                value = argv[++i];
            } else if (arg.size() != 11) {
                std::cerr << "zelk-inspect: unknown option " << arg << "\n";
                return false;
            }
            const auto points = zelk::cli::ParseLength(value);
            if (!points) {
                std::cerr << "zelk-inspect: " << name << " wants a length above 0 with a unit "
                          << "(pt, mm, cm or in), such as 558mm\n";
                return false;
            }
            (name == "--fast-scan" ? options.format.fastScan : options.format.slowScan) = points;
        } else {
            std::cerr << "zelk-inspect: unknown option " << arg << "\n";
            return false;
        }
    }
    if (yes && no) {
        std::cerr << "zelk-inspect: --yes and --no exclude each other\n";
        return false;
    }
    options.policy = yes ? AnswerPolicy::AllYes : no ? AnswerPolicy::AllNo : AnswerPolicy::Default;
    if (options.files.empty()) std::cerr << "zelk-inspect: no file given\n";
    return !options.files.empty();
}

// The scanners seek, so a stream is copied to a file first, named as the job so the report
// and caption say where it came from ("stdin" for standard input). The folder of the copies
// goes with this object, on every way out of main.
class Spool {
  public:
    ~Spool() {
        std::error_code ec;
        if (!dir_.empty()) std::filesystem::remove_all(dir_, ec);
    }
    // Copies `in` to a file named `name`; its path, or empty with `error` set (a signal came,
    // the stream could not be read, or the copy could not be written whole).
    std::string Copy(std::FILE* in, const std::string& name, std::string& error) {
        std::error_code ec;
        if (dir_.empty()) {
            std::random_device random;
            const auto dir =
                std::filesystem::temp_directory_path(ec) /
                ("zelk-inspect-" + std::to_string(random()) + std::to_string(random()));
            if (ec || !std::filesystem::create_directories(dir, ec)) {
                error = "no temporary folder to copy it into";
                return {};
            }
            dir_ = dir;
        }
        const auto path = dir_ / name;
        std::FILE* out = std::fopen(path.string().c_str(), "wb");
        bool ok = out != nullptr;
        static char buffer[65536];
        while (ok && !gSignal) {
            const size_t got = std::fread(buffer, 1, sizeof buffer, in);
            if (got > 0 && std::fwrite(buffer, 1, got, out) != got) ok = false;
            if (got == sizeof buffer) continue;
            if (!std::ferror(in)) break;  // the end of the input
            if (errno != EINTR) {
                error = "it cannot be read";
                ok = false;
            }
            std::clearerr(in);  // EINTR: look at the flag
        }
        if (out != nullptr && std::fclose(out) != 0) ok = false;
        if (ok && !gSignal) return path.string();
        if (error.empty() && !gSignal) error = "its copy could not be written (is the disk full?)";
        std::filesystem::remove(path, ec);
        return {};
    }

  private:
    std::filesystem::path dir_;
};

bool Tick(const zelk::Inspection& inspection) {
    if (zelk::cli::StderrIsTerminal()) {
        const auto* stream = inspection.window.analysis.SourceStream.get();
        if (stream != nullptr && stream->Size() > 0)
            std::fprintf(stderr, "\r%3d%%",
                         static_cast<int>(100 * stream->Position() / stream->Size()));
    }
    return gSignal != 0;
}

// A regular file whose size the system gives as 0 but that may hold bytes (files under
// /proc): read as a stream.
bool SizeUnknown(const std::string& file) {
    std::error_code ec;
    const auto status = std::filesystem::status(file, ec);
    return !ec && std::filesystem::is_regular_file(status) &&
           std::filesystem::file_size(file, ec) == 0 && !ec;
}

// What a file that could not be read shows: the open's own message, as the window gives it.
void CouldNotRead(zelk::Inspection& inspection, const std::string& file) {
    inspection.host.messages.push_back(
        {{zelk::BoxType::Error, "Could not read from: " + file, zelk::Buttons::Ok},
         zelk::Answer::Ok});
}

// Analyses one file as given on the command line; null when a signal came before it began.
// A PDF's facts are read from the scan's own reads, by `shared`, while it scans.
std::unique_ptr<zelk::Inspection> InspectOne(const Options& options, const std::string& file,
                                             Spool& spool, std::string& path,
                                             std::unique_ptr<zelk::preflight::SharedRead>& shared) {
    auto inspection = std::make_unique<zelk::Inspection>(options.policy);
    std::string error;
    path = file;
    if (file == "-" || SizeUnknown(file)) {
        std::FILE* in = file != "-"    ? std::fopen(file.c_str(), "rb")
                        : gStdinClosed ? nullptr
                                       : stdin;
        const std::string name =
            file == "-" ? "stdin" : std::filesystem::path(file).filename().string();
        path = in == nullptr ? std::string() : spool.Copy(in, name, error);
        if (in != nullptr && in != stdin) std::fclose(in);
        if (gSignal) return nullptr;
        if (path.empty()) {
            std::cerr << "zelk-inspect: " << file << ": "
                      << (error.empty() ? "it cannot be read" : error) << "\n";
            CouldNotRead(*inspection, file);
            return inspection;
        }
    }
    if (auto source = zelk::OpenSourceFile(path)) {
        shared = std::make_unique<zelk::preflight::SharedRead>(path);
        zelk::Inspect(*inspection, path, shared->Source(std::move(source)), Tick);
    } else {
        zelk::Inspect(*inspection, path, Tick);  // which says why it cannot be read
    }
    if (zelk::cli::StderrIsTerminal()) std::fprintf(stderr, "\r    \r");
    return inspection;
}

// Writes each result as soon as it is done, so memory stays flat whatever the number of
// files: one object for one file, an array for several, whether or not a signal came.
class Results {
  public:
    explicit Results(const Options& options)
        : json_(options.json), array_(options.json && options.files.size() > 1) {}
    void Add(const nlohmann::ordered_json& result) {
        if (!json_) {
            std::cout << zelk::cli::ToText(result);
            return;
        }
        // Texts are valid UTF-8 by now; replacing what is not keeps one odd byte from
        // losing the result.
        const std::string text =
            result.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
        if (!array_) {
            std::cout << text << "\n";
            return;
        }
        std::cout << (count_ == 0 ? "[\n" : ",\n");
        for (size_t at = 0; at < text.size();) {  // indented as one array's dump would be
            const size_t end = std::min(text.find('\n', at), text.size());
            std::cout << "  " << text.substr(at, end - at) << (end < text.size() ? "\n" : "");
            at = end + 1;
        }
        ++count_;
    }
    void Finish() {
        if (array_) std::cout << (count_ == 0 ? "[]\n" : "\n]\n");
    }

  private:
    bool json_, array_;
    size_t count_ = 0;
};

int Run(const Options& options, Spool& spool) {
    Results results(options);
    int status = 0;
    for (const auto& file : options.files) {
        if (gSignal) break;
        std::string path;
        std::unique_ptr<zelk::preflight::SharedRead> shared;  // outlives the inspection's source
        const auto inspection = InspectOne(options, file, spool, path, shared);
        if (!inspection) break;  // a signal while a stream was copied
        if (!inspection->started) {
            status = 1;
            std::cerr << "zelk-inspect: " << file << ": not analysed\n";
        } else if (inspection->window.analysis.GaveUp) {
            status = 1;
            std::cerr << "zelk-inspect: " << file << ": given up as damaged\n";
        }
        auto result = zelk::cli::ToJson(*inspection, file);
        // After a signal the run ends at once: no second read of the file.
        std::optional<zelk::preflight::Facts> read;
        if (shared) read = shared->Finish(gSignal != 0 || !inspection->started);
        result["preflight"] =
            gSignal ? nlohmann::ordered_json()
                    : zelk::cli::PreflightJson(*inspection, path, options.format, std::move(read));
        results.Add(result);
    }
    results.Finish();
    // Nothing is reported as done that did not reach its reader (a closed or full output).
    std::cout.flush();
    if (gStdoutClosed || !std::cout || std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::cerr << "zelk-inspect: the output could not be written\n";
        return 1;
    }
    return gSignal ? 128 + gSignal : status;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        std::cerr << kUsage;
        return 2;
    }
    if (options.help) {
        std::cout << kUsage;
        return 0;
    }
    if (options.version) {
        std::cout << "zelk-inspect " << ZELK_VERSION_FULL << "\n";
        return 0;
    }
    CatchSignals();
#ifndef _WIN32
    // A closed standard stream would hand its number to the next file opened, and output
    // or input would go to the wrong file: each is held by /dev/null instead, and a closed
    // output is reported, closed input read as unreadable.
    for (const int fd : {0, 1, 2}) {
        if (fcntl(fd, F_GETFD) != -1) continue;
        if (fd == 0) gStdinClosed = true;
        if (fd == 1) gStdoutClosed = true;
        if (open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY) != fd) return 1;
    }
#endif
    Spool spool;
    try {
        return Run(options, spool);
    } catch (const std::exception& e) {
        std::cerr << "zelk-inspect: " << e.what() << "\n";
        return 1;
    }
}
