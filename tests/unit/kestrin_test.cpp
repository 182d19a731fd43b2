// Kestrin's command lines, and deliveries on real files: whole or not at all, never over an
// existing file.
#include <gtest/gtest.h>

#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <thread>

#include "app/command_line.h"
#include "kestrin/kestrin.h"
#include "test_files.h"

namespace zelk::kestrin {
namespace {

namespace fs = std::filesystem;

TEST(Kestrin, CommandLinesAsZelkWritesThem) {
    // Zelk quotes a folder with its final backslash: no escape, the quote still ends it.
    const auto send =
        ParseRequest(SplitCommandLine(R"(C:\Z\Kestrin.exe "C:\JOBS\A.PS" "D:\OUT\" "Archive")"));
    EXPECT_EQ(send.kind, Request::Kind::Deliver);
    EXPECT_EQ(send.file, R"(C:\JOBS\A.PS)");
    EXPECT_EQ(send.folder, R"(D:\OUT\)");
    EXPECT_EQ(send.name, "Archive");
    const auto print = ParseRequest(SplitCommandLine(R"(K.exe "C:\a b.ps" Printer Print)"));
    EXPECT_EQ(print.kind, Request::Kind::Print);
    EXPECT_EQ(print.file, "C:\\a b.ps");
    for (const char* other : {"K.exe", "K.exe a.ps", "K.exe a b c d", "K.exe \"\" \"D:\\\" x"})
        EXPECT_EQ(ParseRequest(SplitCommandLine(other)).kind, Request::Kind::Usage) << other;
    // A Send-to item without a name still delivers: its empty argument keeps its place.
    const auto unnamed = ParseRequest(
        SplitCommandLineKeepingEmpty(R"(C:\Z\Kestrin.exe "C:\JOBS\A.PS" "D:\OUT\" "")"));
    EXPECT_EQ(unnamed.kind, Request::Kind::Deliver);
    EXPECT_EQ(unnamed.folder, R"(D:\OUT\)");
    EXPECT_EQ(unnamed.name, "");
    EXPECT_EQ(ParseRequest(SplitCommandLineKeepingEmpty(R"(K.exe "" "D:\OUT\" x)")).kind,
              Request::Kind::Usage);  // but a file it must have
    EXPECT_EQ(NumberedName("A.PS", 2), "A (2).PS");
    EXPECT_EQ(NumberedName("job", 3), "job (3)");
    EXPECT_EQ(NumberedName(".profile", 2), ".profile (2)");
}

struct Deliveries : ::testing::Test {
    Request To(const std::string& file, const std::string& folder) {
        return {Request::Kind::Deliver, file, folder, "Out"};
    }
    std::vector<std::string> Names(const fs::path& folder) {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(folder))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    test::TempDir dir;
    StdDeliveryFiles files;
    std::function<bool(int64_t, int64_t)> go = [](int64_t, int64_t) { return true; };
};

TEST_F(Deliveries, ArriveWholeAndNeverReplaceAFile) {
    std::string job(3 << 20, '\0');
    for (size_t i = 0; i < job.size(); ++i) job[i] = static_cast<char>(i * 7);
    const auto source = dir.Write("A.PS", job);
    fs::create_directory(dir.Dir() / "out");
    dir.Write("out/A.PS", "an earlier job");
    const std::string folder = dir.PathOf("out/");
    const Delivery d = Deliver(To(source, folder), files, go);
    ASSERT_TRUE(d.done) << d.message;
    EXPECT_EQ(d.delivered, folder + "A (2).PS");
    EXPECT_EQ(test::ReadFile(d.delivered), job);
    EXPECT_EQ(test::ReadFile(folder + "A.PS"), "an earlier job");
    EXPECT_EQ(Names(dir.Dir() / "out"), (std::vector<std::string>{"A (2).PS", "A.PS"}));

    // Named without its closing separator, the folder still receives the job, as A (3).PS.
    const Delivery bare = Deliver(To(source, dir.PathOf("out")), files, go);
    ASSERT_TRUE(bare.done) << bare.message;
    EXPECT_TRUE(fs::equivalent(bare.delivered, folder + "A (3).PS")) << bare.delivered;

    // The 999th name is the last one tried: taken too, the job is refused and nothing stays.
    for (int n = 4; n <= 998; ++n) dir.Write("out/" + NumberedName("A.PS", n), "");
    EXPECT_EQ(Deliver(To(source, folder), files, go).delivered, folder + "A (999).PS");
    const Delivery full = Deliver(To(source, folder), files, go);
    EXPECT_FALSE(full.done);
    EXPECT_EQ(full.message,
              "Could not send A.PS to " + folder + ": no free name is left for it there.");
    EXPECT_EQ(Names(dir.Dir() / "out").size(), 999u);
}

TEST_F(Deliveries, AFailureOrACancelLeavesNothingBehind) {
    fs::create_directory(dir.Dir() / "out");
    const std::string folder = dir.PathOf("out/");
    const Delivery gone = Deliver(To(dir.PathOf("missing.ps"), folder), files, go);
    EXPECT_FALSE(gone.done);
    EXPECT_EQ(gone.message,
              "Could not send missing.ps to " + folder + ": the file cannot be read.");
    const Delivery noFolder =
        Deliver(To(dir.Write("B.PS", "x"), dir.PathOf("nowhere/")), files, go);
    EXPECT_EQ(noFolder.message,
              "Could not send B.PS to " + dir.PathOf("nowhere/") + ": the folder does not exist.");
    const auto big = dir.Write("C.PS", std::string(3 << 20, 'c'));
    const Delivery cancelled =
        Deliver(To(big, folder), files, [](int64_t done, int64_t) { return done < (1 << 20); });
    EXPECT_TRUE(cancelled.cancelled && !cancelled.done);
    EXPECT_TRUE(cancelled.message.empty());
    EXPECT_TRUE(fs::is_empty(dir.Dir() / "out"));
#ifndef _WIN32
    // A disk that fills during the copy: the file-size limit makes the failure real.
    EXPECT_TRUE(test::UnderFileSizeLimit(3 << 19, [&] {
        return Deliver(To(big, folder), files, go).message ==
               "Could not send C.PS to " + folder + ": writing failed (is the disk full?).";
    })) << "no full disk said";
    // A small job fails only when the copy's last piece is written out.
    const auto small = dir.Write("D.PS", std::string(600, 'd'));
    EXPECT_TRUE(test::UnderFileSizeLimit(256, [&] {
        return Deliver(To(small, folder), files, go).message ==
               "Could not send D.PS to " + folder + ": the copy failed.";
    })) << "no failed copy said";
    // A folder no one may create a file in, root included.
    EXPECT_EQ(Deliver(To(small, "/proc/"), files, go).message,
              "Could not send D.PS to /proc/: the folder cannot be written to.");
    EXPECT_TRUE(fs::is_empty(dir.Dir() / "out"));
#endif
}

// Two deliveries of one name into one folder at once both arrive; a file that only looks
// like a working file is not touched.
TEST_F(Deliveries, Issue22TwoAtOnceBothArriveAndForeignFilesStay) {
    const auto source = dir.Write("B.PS", std::string(3 << 20, 'b'));
    fs::create_directory(dir.Dir() / "out");
    dir.Write("out/B.PS.kestrin-partial", "the user's own");
    const std::string folder = dir.PathOf("out/");
    // Each copy waits for the other once it has copied a MiB or more. A mutex and a condition
    // rather than std::latch: under Wine a run once hung with one copy held at the latch
    // after the other had finished, and libstdc++'s latch waits there without a futex.
    std::mutex lock;
    std::condition_variable changed;
    int arrived = 0;
    const auto meeting = [&] {
        return [&, met = false](int64_t done, int64_t) mutable {
            if (!met && done >= (1 << 20)) {
                met = true;
                std::unique_lock<std::mutex> hold(lock);
                ++arrived;
                changed.notify_all();
                changed.wait(hold, [&] { return arrived == 2; });
            }
            return true;
        };
    };
    Delivery first, second;
    std::thread other([&] { second = Deliver(To(source, folder), files, meeting()); });
    first = Deliver(To(source, folder), files, meeting());
    other.join();
    EXPECT_TRUE(first.done && second.done) << first.message << second.message;
    EXPECT_EQ(Names(dir.Dir() / "out"),
              (std::vector<std::string>{"B (2).PS", "B.PS", "B.PS.kestrin-partial"}));
    EXPECT_EQ(test::ReadFile(folder + "B.PS.kestrin-partial"), "the user's own");
    EXPECT_TRUE(IsWorkingName("~ks0badf00d.kestrin"));
    EXPECT_FALSE(IsWorkingName("~ks0badf00x1.kestrin"));
    EXPECT_FALSE(IsWorkingName("~ks0badf0og.kestrin"));
    EXPECT_FALSE(IsWorkingName("B.PS.kestrin-partial"));
}

// A job cut while it is sent is not delivered under its name, and nothing of it stays.
TEST_F(Deliveries, Issue22ASourceThatChangesDuringTheCopyFails) {
    const auto source = dir.Write("C.PS", std::string(3 << 20, 'c'));
    fs::create_directory(dir.Dir() / "out");
    const Delivery d = Deliver(To(source, dir.PathOf("out/")), files, [&](int64_t done, int64_t) {
        if (done == (1 << 20)) fs::resize_file(source, 1500000);
        return true;
    });
    EXPECT_FALSE(d.done);
    EXPECT_EQ(d.message, "Could not send C.PS to " + dir.PathOf("out/") +
                             ": the file changed while it was sent.");
    EXPECT_TRUE(fs::is_empty(dir.Dir() / "out"));
}

}  // namespace
}  // namespace zelk::kestrin
