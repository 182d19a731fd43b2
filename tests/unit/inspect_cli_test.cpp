// zelk-inspect as operators' scripts run it: a real process, real files, exit codes.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "test_files.h"

namespace zelk {
namespace {

using Json = nlohmann::json;
using test::NativePath;
using test::RunInspect;
using test::TempDir;

std::string Quoted(const std::string& path) {
    return "\"" + NativePath(path) + "\"";
}

TEST(ZelkInspect, SeveralFilesGiveAnArrayAndAFailureDoesNotStopTheOthers) {
    TempDir dir;
    const auto good = dir.Write("good.pdf", "%PDF-1.4\n");
    const auto tif = dir.Write("b.tif", std::string("MM\0*\0\0\0\x08", 8));
    const auto r = RunInspect("--json " + Quoted(dir.PathOf("none.ps")) + " " + Quoted(good) + " " +
                              Quoted(tif));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("none.ps"), std::string::npos);
    const Json j = Json::parse(r.out);
    ASSERT_EQ(j.size(), 3u);
    EXPECT_TRUE(j[0]["kind"].is_null());
    EXPECT_EQ(j[0]["messages"][0]["type"], "error");
    EXPECT_EQ(j[0]["messages"][0]["text"],
              "Could not read from: " + NativePath(dir.PathOf("none.ps")));
    EXPECT_EQ(j[0]["messages"][0]["answer"], "ok");
    EXPECT_EQ(j[1]["kind"], "PDF");
    EXPECT_EQ(j[2]["kind"], "TIF");
    EXPECT_EQ(j[2]["tiff"]["byteOrder"], "Mac");
}

TEST(ZelkInspect, AnswersFollowTheFlags) {
    TempDir dir;
    const auto unknown = Quoted(dir.Write("x.dat", "hello"));
    const auto bare = Quoted(dir.Write("y.ps", "%!PS\n"));
    const Json byDefault = Json::parse(RunInspect("--json " + unknown + " " + bare).out);
    EXPECT_EQ(byDefault[0]["messages"][0]["answer"], "no");
    EXPECT_TRUE(byDefault[0]["kind"].is_null());
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
    EXPECT_EQ(RunInspect("").status, 2);
    EXPECT_EQ(RunInspect("--bogus x").status, 2);
    const auto both = RunInspect("--yes --no x");
    EXPECT_EQ(both.status, 2);
    EXPECT_NE(both.err.find("usage"), std::string::npos);
}

TEST(ZelkInspect, TextOutputIsForPeople) {
    TempDir dir;
    auto r = RunInspect(Quoted(dir.Write("t.eps", "%!PS-Adobe-3.0 EPSF-3.0\n")));
    ASSERT_EQ(r.status, 0);
#ifdef _WIN32
    // Standard output is in text mode there: each line feed became CR LF on the way.
    for (auto at = r.out.find("\r\n"); at != std::string::npos; at = r.out.find("\r\n", at))
        r.out.erase(at, 1);
#endif
    EXPECT_NE(r.out.find("  *Encapulated PostScript file - t.eps\n"), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find('\r'), std::string::npos);
}

TEST(ZelkInspect, StandardInputIsSpooled) {
    TempDir dir;
    const auto path = dir.Write("in.pdf", "%PDF-1.7\n");
    const auto r = RunInspect("--json - < " + Quoted(path));
    ASSERT_EQ(r.status, 0) << r.err;
    const Json j = Json::parse(r.out);
    EXPECT_EQ(j["file"], "-");
    EXPECT_EQ(j["kind"], "PDF");
    EXPECT_EQ(j["caption"], "Zelk in stdin");
}

}  // namespace
}  // namespace zelk
