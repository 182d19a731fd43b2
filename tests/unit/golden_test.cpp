// zelk-inspect on real files made by third-party programs, against the expected results
// beside each fixture, as JSON and as text (tests/data/*/NAME.json and NAME.txt;
// update_expected.sh writes them for review).
#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <regex>
#include <set>
#include <sstream>

#include "test_files.h"

namespace zelk {
namespace {

namespace fs = std::filesystem;
using Json = nlohmann::json;

// What a checkout changes: the file's date, in the report and the text, and where the file
// lies.
std::string MaskedDate(const std::string& text) {
    static const std::regex date(R"(\*File date: [^\n]*)");
    return std::regex_replace(text, date, "*File date: <date>");
}

Json Masked(Json j) {
    j["report"] = MaskedDate(j["report"].get<std::string>());
    j["file"] = fs::path(j["file"].get<std::string>()).filename().string();
    return j;
}

std::vector<fs::path> Fixtures() {
    std::vector<fs::path> fixtures;
    for (const char* folder : {"ps", "pdf", "tif"}) {
        const fs::path dir = fs::path(test::DataPath(folder));
        if (!fs::is_directory(dir)) continue;
        for (const auto& entry : fs::directory_iterator(dir))
            if (entry.path().extension() != ".json" && entry.path().extension() != ".txt" &&
                entry.path().extension() != ".sh")
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
        const std::string quoted = "\"" + test::NativePath(fixture.string()) + "\"";
        const auto run = test::RunInspect("--json " + quoted);
        const Json expected = Json::parse(test::ReadFile(expectedPath.string()));
        EXPECT_EQ(Masked(Json::parse(run.out)), expected) << fixture.filename();
        // The text: its first line names the file as given.
        std::string text = MaskedDate(test::RunInspectText(quoted).out);
        text = fixture.filename().string() + text.substr(std::min(text.find('\n'), text.size()));
        EXPECT_EQ(text, test::ReadFile(expectedPath.replace_extension(".txt").string()))
            << fixture.filename();
    }
}

// The keys the JSON documentation lists: the first column of its table, as `a.b` paths.
std::set<std::string> DocumentedKeys() {
    std::set<std::string> keys;
    std::istringstream doc(
        test::ReadFile(std::string(ZELK_SOURCE_DIR) + "/docs/zelk-inspect-json.md"));
    static const std::regex row(R"(^\| `([^`]+)` \|)");
    std::smatch m;
    for (std::string line; std::getline(doc, line);)
        if (std::regex_search(line, m, row)) keys.insert(m[1]);
    return keys;
}

// Every object in `j` at `path` has exactly the documented keys below that path.
void ExpectDocumentedKeys(const Json& j, const std::string& path,
                          const std::set<std::string>& documented, const std::string& fixture) {
    if (j.is_array()) {
        for (const auto& element : j)
            ExpectDocumentedKeys(element, path + "[]", documented, fixture);
        return;
    }
    if (!j.is_object()) return;
    const std::string prefix = path.empty() ? "" : path + ".";
    std::set<std::string> present, expected;
    for (const auto& [key, value] : j.items()) {
        present.insert(prefix + key);
        ExpectDocumentedKeys(value, prefix + key, documented, fixture);
    }
    for (const auto& key : documented)
        if (key.starts_with(prefix) && key.find_first_of(".[", prefix.size()) == std::string::npos)
            expected.insert(key);
    EXPECT_EQ(present, expected) << fixture << " at " << (path.empty() ? "top" : path);
}

TEST(Golden, EveryKeyIsDocumented) {
    const auto documented = DocumentedKeys();
    ASSERT_GT(documented.size(), 30u);
    for (const auto& fixture : Fixtures()) {
        fs::path expectedPath = fixture;
        ExpectDocumentedKeys(
            Json::parse(test::ReadFile(expectedPath.replace_extension(".json").string())), "",
            documented, fixture.filename().string());
    }
}

}  // namespace
}  // namespace zelk
