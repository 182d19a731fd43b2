// The help pages that travel with the program: well-formed, every link and picture found in
// the folder itself, nothing fetched from elsewhere, and every page reachable from the index.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <set>

#include "test_files.h"

namespace zelk {
namespace {

namespace fs = std::filesystem;

const fs::path kHelp = fs::path(ZELK_SOURCE_DIR) / "help";

// The tags of a page nest and close; void elements close themselves.
void ExpectNestedTags(const std::string& page, const std::string& name) {
    static const std::set<std::string> kVoid{"meta", "link", "img", "br", "hr", "input"};
    static const std::regex tag(R"(<(/?)([a-zA-Z][a-zA-Z0-9]*)[^>]*>)");
    std::vector<std::string> open;
    for (std::sregex_iterator it(page.begin(), page.end(), tag), end; it != end; ++it) {
        const std::string element = (*it)[2];
        if (kVoid.count(element)) continue;
        if ((*it)[1] == "") {
            open.push_back(element);
        } else {
            ASSERT_FALSE(open.empty()) << name << ": </" << element << "> closes nothing";
            ASSERT_EQ(open.back(), element)
                << name << ": </" << element << "> closes <" << open.back() << ">";
            open.pop_back();
        }
    }
    EXPECT_TRUE(open.empty()) << name << ": <" << (open.empty() ? "" : open.back())
                              << "> never closed";
}

TEST(Help, PagesAreWholeAndStayInTheirFolder) {
    ASSERT_TRUE(fs::exists(kHelp / "Zelk_Help_index.htm"));
    ASSERT_TRUE(fs::exists(kHelp / "Zelk_menu.htm"));
    static const std::regex reference(R"re((?:href|src)="([^"]*)")re");
    std::set<std::string> pages, linked{"Zelk_Help_index.htm"};
    for (const auto& entry : fs::directory_iterator(kHelp)) {
        const std::string name = entry.path().filename().string();
        if (entry.path().extension() != ".htm") continue;
        pages.insert(name);
        const std::string page = test::ReadFile(entry.path().string());
        EXPECT_TRUE(page.starts_with("<!DOCTYPE html>")) << name;
        EXPECT_EQ(page.find("<script"), std::string::npos) << name;
        ExpectNestedTags(page, name);
        for (std::sregex_iterator it(page.begin(), page.end(), reference), end; it != end; ++it) {
            const std::string target = (*it)[1];
            EXPECT_EQ(target.find(':'), std::string::npos) << name << " refers outside: " << target;
            EXPECT_FALSE(target.starts_with("/")) << name << " refers outside: " << target;
            EXPECT_TRUE(fs::exists(kHelp / target)) << name << ": no " << target;
            linked.insert(target);
        }
    }
    for (const auto& page : pages) EXPECT_TRUE(linked.count(page)) << page << " is linked nowhere";
}

}  // namespace
}  // namespace zelk
