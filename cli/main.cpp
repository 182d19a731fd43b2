// zelk-inspect: the analysis of the Zelk window, for scripts and tests.
#include <csignal>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <random>
#include <string>
#include <vector>

#include "output.h"
#include "terminal.h"
#include "window/headless.h"
#include "zelk_version.h"

#ifndef _WIN32
#include <signal.h>
#endif

namespace {

using zelk::AnswerPolicy;

constexpr const char* kUsage =
    "usage: zelk-inspect [--json] [--yes|--no] FILE...  |  --version\n"
    "  Analyses each FILE (\"-\" for standard input, which is first copied to a temporary\n"
    "  file) as the Zelk window would and prints what it shows once the scan has ended,\n"
    "  with every message the analysis raised. Only regular files and block devices are read.\n"
    "  --json  one JSON object per file (an array for several), schema 1\n"
    "  --yes   answer every question Yes (a file that keeps growing is then read until it\n"
    "          stops or Ctrl-C);  --no  answer every question No\n"
    "  Ctrl-C stops the scan at the next chunk; the partial result is printed with\n"
    "  \"complete\": false and no further file is analysed.\n"
    "  Exit status: 0 all files analysed, 1 a file could not be read or was given up,\n"
    "  2 usage error, 130 interrupted by Ctrl-C.\n";

constexpr int kInterruptedStatus = 130;  // the shell's status for an end by SIGINT

volatile std::sig_atomic_t gInterrupted = 0;

void OnInterrupt(int) {
    gInterrupted = 1;
}

void CatchInterrupts() {
#ifdef _WIN32
    std::signal(SIGINT, OnInterrupt);
#else
    // Without SA_RESTART, so a read from a pipe that sends nothing returns at Ctrl-C.
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
#endif
}

struct Options {
    bool help = false;
    bool version = false;
    bool json = false;
    AnswerPolicy policy = AnswerPolicy::Default;
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

// The scanners seek, so standard input is copied to a file first. The copy is named
// "stdin" so the report and caption say where the job came from; its folder goes with this
// object, on every way out of main.
class SpooledInput {
  public:
    ~SpooledInput() {
        std::error_code ec;
        if (!dir_.empty()) std::filesystem::remove_all(dir_, ec);
    }
    // The copy's path; empty when Ctrl-C stopped the copy.
    std::string Path() {
        if (!dir_.empty()) return (dir_ / "stdin").string();
        std::random_device random;
        dir_ = std::filesystem::temp_directory_path() /
               ("zelk-inspect-" + std::to_string(random()) + std::to_string(random()));
        std::filesystem::create_directories(dir_);
        std::ofstream out(dir_ / "stdin", std::ios::binary);
        static char buffer[65536];
        while (!gInterrupted) {
            const size_t got = std::fread(buffer, 1, sizeof buffer, stdin);
            out.write(buffer, static_cast<std::streamsize>(got));
            if (got < sizeof buffer && !std::ferror(stdin)) break;  // the end of the input
            std::clearerr(stdin);                                   // EINTR: look at the flag
        }
        return gInterrupted ? std::string() : (dir_ / "stdin").string();
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
    return gInterrupted != 0;
}

int Run(const Options& options, SpooledInput& input) {
    nlohmann::ordered_json all = nlohmann::ordered_json::array();
    int status = 0;
    for (const auto& file : options.files) {
        if (gInterrupted) break;
        const std::string path = file == "-" ? input.Path() : file;
        if (path.empty()) break;  // Ctrl-C while standard input was copied
        zelk::Inspection inspection(options.policy);
        zelk::Inspect(inspection, path, Tick);
        if (zelk::cli::StderrIsTerminal()) std::fprintf(stderr, "\r    \r");
        if (!inspection.started) {
            status = 1;
            std::cerr << "zelk-inspect: " << file << ": not analysed\n";
        }
        auto result = zelk::cli::ToJson(inspection, file);
        if (options.json)
            all.push_back(std::move(result));
        else
            std::cout << zelk::cli::ToText(result);
    }
    // Texts are valid UTF-8 by now; replacing what is not keeps one odd byte from losing
    // every result of the run.
    if (options.json && !all.empty())
        std::cout << (all.size() == 1 ? all[0] : all)
                         .dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace)
                  << "\n";
    return gInterrupted ? kInterruptedStatus : status;
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
    CatchInterrupts();
    SpooledInput input;
    try {
        return Run(options, input);
    } catch (const std::exception& e) {
        std::cerr << "zelk-inspect: " << e.what() << "\n";
        return 1;
    }
}
