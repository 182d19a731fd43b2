// zelk-inspect as operators' scripts run it: a real process, real files, exit codes.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <filesystem>

#include "test_files.h"

#ifndef _WIN32
#include <pty.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>
#endif

namespace zelk {
namespace {

using Json = nlohmann::json;
using test::Quoted;
using test::RunInspect;
using test::TempDir;

TEST(ZelkInspect, AnswersFollowTheFlags) {
    TempDir dir;
    const auto unknown = Quoted(dir.Write("x.dat", "hello"));
    const auto bare = Quoted(dir.Write("y.ps", "%!PS\n"));
    const Json byDefault = Json::parse(RunInspect("--json " + unknown + " " + bare).out);
    EXPECT_EQ(byDefault[0]["messages"][0]["type"], "warning");
    EXPECT_EQ(byDefault[0]["messages"][0]["answer"], "no");
    EXPECT_TRUE(byDefault[0]["kind"].is_null());
    EXPECT_EQ(byDefault[1]["messages"][0]["type"], "confirm");
    EXPECT_EQ(byDefault[1]["messages"][0]["answer"], "yes");
    EXPECT_EQ(byDefault[1]["kind"], "PS");
    const Json yes = Json::parse(RunInspect("--json --yes " + unknown).out);
    EXPECT_EQ(yes["kind"], "PS");
    EXPECT_EQ(yes["messages"].size(), 1u);
    const auto no = RunInspect("--json --no " + bare);
    EXPECT_EQ(no.status, 1);
    EXPECT_TRUE(Json::parse(no.out)["kind"].is_null());
}

TEST(ZelkInspect, UsageErrorsAndHelp) {
    const auto help = RunInspect("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.out.starts_with("usage: zelk-inspect"));
    const auto version = RunInspect("job.ps --version");  // no file is read
    EXPECT_EQ(version.status, 0);
    EXPECT_TRUE(version.out.starts_with("zelk-inspect 1.")) << version.out;
    const auto none = RunInspect("");
    EXPECT_EQ(none.status, 2);
    EXPECT_TRUE(none.err.starts_with("zelk-inspect: no file given")) << none.err;
    const auto bogus = RunInspect("--bogus x");
    EXPECT_EQ(bogus.status, 2);
    EXPECT_TRUE(bogus.err.starts_with("zelk-inspect: unknown option --bogus")) << bogus.err;
    EXPECT_EQ(RunInspect("-b x").status, 2);
    EXPECT_EQ(RunInspect("-- -b").status, 1);  // after "--" a file's name, not found
    const auto both = RunInspect("--yes --no x");
    EXPECT_EQ(both.status, 2);
    EXPECT_NE(both.err.find("usage"), std::string::npos);
    EXPECT_LT(both.err.find("--yes and --no exclude each other"), both.err.find("usage"));
}

// The text output of a run, with the line ends the program wrote.
std::string TextOf(const std::string& args) {
    return test::RunInspectText(args).out;
}

// The text of what only crafted files show (the goldens hold the text of real ones): a file
// not analysed, a box's text on one line, the inks in their order.
TEST(ZelkInspect, TextOutputIsForPeople) {
    TempDir dir;
    EXPECT_TRUE(TextOf("\"\"").ends_with("\n  not analysed\n"));
    const auto asked = TextOf(Quoted(dir.Write("x.dat", "hello")));
    EXPECT_NE(asked.find("  warning: File x.dat was not recognized! Do You want to scan it like "
                         "PostScript file? -> no"),
              std::string::npos)
        << asked;

    // The process inks, in the JSON and in the text, in their fixed order; the spots, all.
    const auto inks = dir.Write("i.ps",
                                "%!PS-Adobe-3.0\n%%DocumentProcessColors: Black Cyan\n"
                                "%%CMYKCustomColor: 0 0 0 1 (A)\n%%+ 0 1 0 0 (B)\n");
    const Json colours = Json::parse(RunInspect("--json " + Quoted(inks)).out)["colours"];
    EXPECT_EQ(colours["inks"], Json::parse(R"(["Cyan", "Black"])"));
    EXPECT_EQ(colours["spots"][1]["name"], "(B)");  // the last spot too
    const auto text = TextOf(Quoted(inks));
    EXPECT_NE(text.find("process Cyan"), std::string::npos) << text;
    EXPECT_LT(text.find("process Cyan"), text.find("process Black")) << text;
}

// Byte sequences a lax UTF-8 check takes but the JSON writer refuses (a CESU-8 surrogate,
// overlong forms, code points past U+10FFFF, a last byte or a lone byte that continues
// nothing), in a title and in a file name: read as single-byte text, none is lost to a
// replacement character.
TEST(ZelkInspect, ATextTheJsonWriterRefusesNeverLosesTheRun) {
    TempDir dir;
    std::string files;
    for (const char* bad : {"\xed\xa0\x80", "\xe0\x80\x80", "\xf0\x8f\xbf\xbf", "\xf4\x90\x80\x80",
                            "\xf5\x80\x80\x80", "\xe2\x82\x41", "\x80"}) {
        const std::string name = std::string("t") + bad + ".ps";
        files += " " + Quoted(dir.Write(name, std::string("%!PS-Adobe-3.0\n%%Title: bad ") + bad +
                                                  " title\n%%EndComments\n"));
    }
    const auto r = test::RunInspectText("--json" + files);  // line ends as written
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, nlohmann::ordered_json::parse(r.out).dump(2) + "\n");  // one array's dump
    const Json j = Json::parse(r.out);
    ASSERT_EQ(j.size(), 7u);
    for (const auto& result : j) {
        EXPECT_EQ(result["kind"], "PS");
        EXPECT_EQ(result["report"].get<std::string>().find("\xef\xbf\xbd"), std::string::npos);
    }

    // Text that is UTF-8 already (two-, three- and four-byte forms) is kept as it is.
    const std::string good = "Caf\xc3\xa9 \xc2\xb0 \xe2\x82\xac \xf0\x9f\x96\xa8";
    const auto kept = RunInspect(
        "--json " + Quoted(dir.Write("good.ps", "%!PS-Adobe-3.0\n%%Title: " + good + "\n")));
    EXPECT_NE(Json::parse(kept.out)["report"].get<std::string>().find("*Made from - " + good),
              std::string::npos)
        << kept.out;
}

#ifndef _WIN32
// The program itself, with standard input from `input` and TMPDIR set to `tmp`; `prefix`
// may run it under another command. Standard error goes to `error`, or nowhere.
pid_t StartInspect(const std::string& args, int input, const std::string& tmp,
                   const std::string& prefix = "", const std::string& out = "/dev/null",
                   int error = -1) {
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(input, 0);
        if (error >= 0) dup2(error, 2);
        setenv("TMPDIR", tmp.c_str(), 1);
        const std::string command = "exec " + prefix + "\"" + std::string(ZELK_INSPECT_EXE) +
                                    "\" " + args + " > \"" + out + "\"" +
                                    (error >= 0 ? "" : " 2>/dev/null");
        execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    return pid;
}

// `command` run by sh in `dir`, its outputs caught in files there.
test::RunResult RunShell(const std::string& command, const TempDir& dir) {
    const std::string out = dir.PathOf("run.out"), err = dir.PathOf("run.err");
    const int raw =
        std::system(("{ " + command + " ; } > \"" + out + "\" 2> \"" + err + "\"").c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, test::ReadFile(out), test::ReadFile(err)};
}

int ExitStatus(pid_t pid) {
    int raw = 0;
    waitpid(pid, &raw, 0);
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
}

TEST(ZelkInspect, AFifoIsRefusedAndTheNextFileIsRead) {
    TempDir dir;
    const std::string fifo = dir.PathOf("ff");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const auto good = dir.Write("good.pdf", "%PDF-1.4\n");
    // A FIFO nobody writes to would hold the open for ever; `timeout` turns that into 124.
    const pid_t pid = StartInspect("--json " + Quoted(fifo) + " " + Quoted(good), 0,
                                   dir.Dir().string(), "timeout 60 ");
    EXPECT_EQ(ExitStatus(pid), 1);
}

// Ctrl-C, SIGTERM or SIGHUP while standard input is still being copied, after a first file:
// the copy stops at once, the run ends with 128 + the signal, the first result is printed as
// the array that two files give, and the temporary copy is gone.
TEST(ZelkInspect, ASignalStopsTheCopyOfStandardInput) {
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        TempDir dir, tmp;
        const auto first = dir.Write("first.ps", "%!PS-Adobe-3.0\n");
        int pipeEnds[2];
        ASSERT_EQ(pipe(pipeEnds), 0);
        const std::string out = dir.PathOf("out.json");
        const pid_t pid = StartInspect("--json " + Quoted(first) + " -", pipeEnds[0],
                                       tmp.Dir().string(), "", out);
        close(pipeEnds[0]);
        ASSERT_EQ(write(pipeEnds[1], "%!PS-Adobe-3.0\n", 15), 15);  // then the pipe stays silent
        auto spooling = [&] {
            for (const auto& entry : std::filesystem::recursive_directory_iterator(tmp.Dir()))
                if (entry.path().filename() == "stdin") return true;
            return false;
        };
        for (int i = 0; i < 2000 && !spooling(); ++i)  // the handler is in place once it spools
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        ASSERT_TRUE(spooling());
        kill(pid, signal);
        EXPECT_EQ(ExitStatus(pid), 128 + signal);
        close(pipeEnds[1]);
        EXPECT_TRUE(std::filesystem::is_empty(tmp.Dir()));
        const Json j = Json::parse(test::ReadFile(out));
        ASSERT_TRUE(j.is_array()) << j;
        ASSERT_EQ(j.size(), 1u);
        EXPECT_EQ(j[0]["kind"], "PS");
    }
}

// Failures of every kind, through the real program and a shell: each is reported with exit 1,
// costs the other files nothing, and leaves no temporary copy behind.
TEST(ZelkInspect, Issue27EveryFailureIsReported) {
    TempDir dir, tmp;
    const auto job = Quoted(dir.Write("job.ps", "%!PS-Adobe-3.0\n%%Pages: 3\n"));
    // A TIFF whose first directory lies past the end of the file.
    const auto damaged = Quoted(dir.Write("damaged.tif", std::string("II*\0\xff\xff\0\0", 8)));
    const std::string exe = "\"" + std::string(ZELK_INSPECT_EXE) + "\"";
    const std::string tmpdir = "TMPDIR=\"" + tmp.Dir().string() + "\" ";
    struct Case {
        std::string command;             // for sh -c
        std::string err;                 // a part of what standard error says
        std::vector<const char*> kinds;  // of each result, in order; empty: not looked at
    };
    const Case cases[] = {
        {exe + " --json " + job + " > /dev/full", "the output could not be written", {}},
        {exe + " --json " + job + " >&-", "the output could not be written", {}},
        {tmpdir + exe + " --json - < \"" + dir.Dir().string() + "\"",
         "-: it cannot be read",
         {nullptr}},
        {tmpdir + exe + " --json - " + job + " <&-", "-: it cannot be read", {nullptr, "PS"}},
        {exe + " --json '' " + job, ": not analysed", {nullptr, "PS"}},
        {"TMPDIR=/nonexistent " + exe + " --json " + job + " - " + job + " < " + job,
         "-: no temporary folder",
         {"PS", nullptr, "PS"}},
        // A spool that cannot be written whole: the file size limit stands in for a full disk,
        // and the input never ends, so only a copy that stops at its first failed write ends.
        {"trap '' XFSZ; ulimit -f 64; " + tmpdir + "timeout 60 " + exe + " --json - " + job +
             " < /dev/zero",
         "-: its copy could not be written",
         {nullptr, "PS"}},
        {exe + " --json " + damaged + " " + job, "damaged.tif: given up as damaged", {"TIF", "PS"}},
    };
    for (const auto& c : cases) {
        const auto r = RunShell(c.command, dir);
        EXPECT_EQ(r.status, 1) << c.command << "\n" << r.err;
        EXPECT_NE(r.err.find(c.err), std::string::npos) << c.command << "\n" << r.err;
        EXPECT_TRUE(std::filesystem::is_empty(tmp.Dir())) << c.command;
        if (c.kinds.empty()) continue;
        const Json j = Json::parse(r.out, nullptr, false);
        ASSERT_EQ(j.is_array() ? j.size() : 1u, c.kinds.size()) << c.command << "\n" << r.out;
        for (size_t i = 0; i < c.kinds.size(); ++i) {
            const Json& result = j.is_array() ? j[i] : j;
            EXPECT_EQ(result["kind"], c.kinds[i] ? Json(c.kinds[i]) : Json(nullptr)) << c.command;
            EXPECT_EQ(result["preflight"].is_null(), !c.kinds[i]) << c.command;
            EXPECT_LE(result["messages"].size(), 1u) << c.command;  // each failure told once
            if (c.kinds[i] && std::string(c.kinds[i]) == "TIF") {
                EXPECT_FALSE(result["complete"]);  // given up, with an error box
                EXPECT_EQ(result["messages"][0]["type"], "error");
                EXPECT_EQ(result["messages"][0]["answer"], "ok");
            }
        }
    }
}

// On a terminal, standard error shows how far the scan has read, and is cleared at the end.
TEST(ZelkInspect, ProgressOnATerminal) {
    TempDir dir;
    std::string job = "%!PS-Adobe-3.0\n";
    while (job.size() < 1000000) job += "72 720 moveto (padding) show\n";
    const auto path = dir.Write("big.ps", job);
    int master = -1, slave = -1;
    ASSERT_EQ(openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
    const pid_t pid = StartInspect(Quoted(path), 0, dir.Dir().string(), "", "/dev/null", slave);
    close(slave);
    std::string shown;
    char buffer[4096];
    for (ssize_t got; (got = read(master, buffer, sizeof buffer)) > 0;) shown.append(buffer, got);
    close(master);
    EXPECT_EQ(ExitStatus(pid), 0);
    ASSERT_TRUE(shown.ends_with("\r    \r")) << shown;
    int figures = 0;
    for (size_t at = shown.find('%'); at != std::string::npos; at = shown.find('%', at + 1)) {
        const int figure = std::stoi(shown.substr(shown.rfind('\r', at) + 1));
        EXPECT_GE(figure, 0);
        EXPECT_LE(figure, 100);
        ++figures;
    }
    EXPECT_GT(figures, 0);
}

// A file the system gives as 0 bytes long yet full (as under /proc) is read as a stream, and
// standard input longer than one read of its copy arrives whole.
TEST(ZelkInspect, AFileOfUnknownSizeIsReadAsAStream) {
    const auto r = RunInspect("--json --yes /proc/self/status");
    EXPECT_EQ(r.status, 0) << r.err;
    const Json j = Json::parse(r.out);
    EXPECT_EQ(j["caption"], "Zelk in status");
    EXPECT_EQ(j["report"].get<std::string>().find("size is 0.000 M"), std::string::npos) << j;
    TempDir dir;
    const auto big = Quoted(dir.Write("big.ps", "%!PS-Adobe-3.0\n" + std::string(199985, '\n')));
    const auto piped = RunShell("\"" + std::string(ZELK_INSPECT_EXE) + "\" --json - < " + big, dir);
    EXPECT_NE(piped.out.find("size is 0.200 M"), std::string::npos) << piped.out;
}

// Many files in one run: each result is written when it is done, so memory stays flat. Six
// times the files may cost a few MiB more, not a share of every result (which held 965 MB
// for 5,000 files).
TEST(ZelkInspect, Issue27ManyFilesInBoundedMemory) {
    TempDir dir;
    const auto peakKib = [&](int files) {
        std::string args = "--json";
        for (int i = 0; i < files; ++i) {
            const auto name = "f" + std::to_string(i) + ".ps";
            if (!std::filesystem::exists(dir.PathOf(name)))
                dir.Write(name, "%!PS-Adobe-3.0\n%%Title: many\n%%Pages: 1\n");
            args += " " + name;
        }
        const pid_t pid = fork();
        if (pid == 0) {
            if (chdir(dir.Dir().c_str()) != 0) _exit(127);
            // The sanitizer keeps freed blocks aside for a while, which would grow with the
            // files; with that aside off, what remains is the program's own memory.
            const char* asan = getenv("ASAN_OPTIONS");
            const std::string options = std::string(asan ? asan : "") +
                                        ":quarantine_size_mb=0:thread_local_quarantine_size_kb=0";
            setenv("ASAN_OPTIONS", options.c_str(), 1);
            // Measured by GNU time, which starts the program from its own small process: the
            // peak Linux gives for a child of this process would include this process's
            // memory from before the exec, and so grow with what the test itself holds.
            const std::string command = "exec /usr/bin/time -f %M -o peak.txt \"" +
                                        std::string(ZELK_INSPECT_EXE) + "\" " + args +
                                        " > out.json 2>/dev/null";
            execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        int raw = 0;
        waitpid(pid, &raw, 0);
        EXPECT_TRUE(WIFEXITED(raw) && WEXITSTATUS(raw) == 0);
        EXPECT_EQ(Json::parse(test::ReadFile(dir.PathOf("out.json"))).size(),
                  static_cast<size_t>(files));
        return std::stol(test::ReadFile(dir.PathOf("peak.txt")));
    };
    const long few = peakKib(100), many = peakKib(600);
    EXPECT_LT(many - few, 8 * 1024) << few << " KiB for 100 files, " << many << " for 600";
}
#endif

}  // namespace
}  // namespace zelk
