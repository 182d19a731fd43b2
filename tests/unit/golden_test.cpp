// zelk-inspect on real files made by third-party programs, against the expected results
// beside each fixture (tests/data/*/NAME.json; update_expected.sh writes them for review).
#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <regex>

#include "test_files.h"

namespace zelk {
namespace {

namespace fs = std::filesystem;
using Json = nlohmann::json;

// What a checkout changes: the file's date, and where the file lies.
Json Masked(Json j) {
    static const std::regex date(R"(\*File date: [^\n]*\n\r)");
    j["report"] =
        std::regex_replace(j["report"].get<std::string>(), date, "*File date: <date>\n\r");
    j["file"] = fs::path(j["file"].get<std::string>()).filename().string();
    return j;
}

std::vector<fs::path> Fixtures() {
    std::vector<fs::path> fixtures;
    for (const char* folder : {"ps", "pdf", "tif"}) {
        const fs::path dir = fs::path(test::DataPath(folder));
        if (!fs::is_directory(dir)) continue;
        for (const auto& entry : fs::directory_iterator(dir))
            if (entry.path().extension() != ".json" && entry.path().extension() != ".sh")
                fixtures.push_back(entry.path());
    }
    std::sort(fixtures.begin(), fixtures.end());
    return fixtures;
}

TEST(Golden, FixturesFromThirdPartyPrograms) {
    const auto fixtures = Fixtures();
    ASSERT_FALSE(fixtures.empty());
    for (const auto& fixture : fixtures) {
        fs::path expectedPath = fixture;
        expectedPath.replace_extension(".json");
        if (!fs::exists(expectedPath)) {
            ADD_FAILURE() << "no expected result for " << fixture;
            continue;
        }
        const auto run = test::RunInspect("--json \"" + test::NativePath(fixture.string()) + "\"");
        const Json expected = Json::parse(test::ReadFile(expectedPath.string()));
        EXPECT_EQ(Masked(Json::parse(run.out)), expected) << fixture.filename();
    }
}

}  // namespace
}  // namespace zelk
