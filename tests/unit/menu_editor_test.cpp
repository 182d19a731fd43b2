// The menu editor's Save on real folders and a real settings file, with the answers a user
// gives recorded.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "dialogs/menu_editor.h"
#include "test_files.h"
#include "window/file_menu.h"

namespace zelk {
namespace {

namespace fs = std::filesystem;

// Real folders; a trailing "\" is the Windows spelling of a folder and is dropped here.
struct FolderSystem final : MenuEditorSystem {
    static fs::path Native(std::string path) {
        if (!path.empty() && path.back() == '\\') path.pop_back();
        return path;
    }
    bool FirstMatchIsFile(const std::string& prefix) override {
        const fs::path p = Native(prefix);
        std::vector<fs::path> matches;
        std::error_code ec;
        for (const auto& e : fs::directory_iterator(p.parent_path(), ec))
            if (e.path().filename().string().starts_with(p.filename().string()))
                matches.push_back(e.path());
        std::sort(matches.begin(), matches.end());
        return !matches.empty() && fs::is_regular_file(matches.front());
    }
    bool EnterDirectory(const std::string& path) override { return fs::is_directory(Native(path)); }
    bool MakeDirectory(const std::string& path) override {
        std::error_code ec;
        return fs::create_directory(Native(path), ec);
    }
    Answer Ask(const MessageRequest& request) override {
        asked.push_back(request.text);
        if (request.buttons == Buttons::Ok) return Answer::Ok;
        const Answer a = answers.empty() ? Answer::No : answers.front();
        if (!answers.empty()) answers.erase(answers.begin());
        return a;
    }
    std::vector<Answer> answers;
    std::vector<std::string> asked;
};

struct Editor : ::testing::Test {
    Editor()
        : settings(dir.PathOf("PreZelk.INI"), MakePortableProfileStore(dir.PathOf("PreZelk.INI"))) {
        fs::create_directories(dir.Dir() / "tools" / "sub.exe");  // a folder, named like a program
        dir.Write("tools/view.EXE", "");
        dir.Write("tools/rip", "");
        dir.Write("tools/notes.txt", "");
    }
    std::string P(const std::string& name) const { return dir.PathOf(name); }
    std::string Ini() const { return test::ReadFile(dir.PathOf("PreZelk.INI")); }
    test::TempDir dir;
    SettingsFile settings;
    FolderSystem system;
    FileMenu menu;
    TModMeniu1 editor;
};

TEST_F(Editor, OpenWithLinesAreCheckedAndRenumbered) {
    editor.Starting(kOpenWithBase, menu);
    EXPECT_EQ(editor.caption, "Modify \"Open with\" menu");
    EXPECT_EQ(editor.controls["Label1"].caption, "Menu item name=DRIVE:\\PATH\\EXECUTABLE");
    system.answers = {Answer::Yes, Answer::No};
    editor.text = "Viewer=" + P("tools/view.EXE") + "\r\n" +  // accepted without a question
                  "no equals sign\r\n\r\n=" + P("tools/view.EXE") + "\r\n" +  // dropped silently
                  "Folder=" + P("tools/sub.exe") + "\r\n" +                   // not found
                  "Rip=" + P("tools/ri") + "\r\n" +           // found by prefix, asked: Yes
                  "Notes=" + P("tools/notes.txt") + "\r\n" +  // asked: No
                  "Gone=" + P("tools/gone.exe");
    ASSERT_FALSE(editor.ClickSave(settings, system));
    EXPECT_EQ(editor.result, TModMeniu1::Result::Ok);
    EXPECT_EQ(system.asked,
              (std::vector<std::string>{
                  "File " + P("tools/sub.exe") + " not found!",
                  "Are You sure that this is executable file?\n\r" + P("tools/ri"),
                  "Are You sure that this is executable file?\n\r" + P("tools/notes.txt"),
                  "File " + P("tools/gone.exe") + " not found!"}));
    EXPECT_EQ(settings.ReadString("OpenWith", "1", ""), "Viewer=" + P("tools/view.EXE"));
    EXPECT_EQ(settings.ReadString("OpenWith", "2", ""), "Rip=" + P("tools/ri"));
    EXPECT_EQ(settings.Read(settings::kOpenWithCount), 2);
}

TEST_F(Editor, SendToFoldersAreFoundOrCreatedAndEndInABackslash) {
    fs::create_directory(dir.Dir() / "out");
    editor.Starting(kSendToBase, menu);
    EXPECT_EQ(editor.controls["Label1"].caption, "Menu item name=DRIVE:\\PATH\\");
    system.answers = {Answer::Yes, Answer::No, Answer::Yes};
    editor.text = "Out=" + P("out") + "\r\nHot=" + P("hot") + "\r\nNot=" + P("not") +
                  "\r\nDeep=" + P("a/b") + "\r\nSlash=" + P("out") + "\\\r\n";
    ASSERT_FALSE(editor.ClickSave(settings, system));
    EXPECT_TRUE(fs::is_directory(dir.Dir() / "hot"));
    EXPECT_FALSE(fs::exists(dir.Dir() / "not"));
    EXPECT_EQ(system.asked.back(), "Can not create directory!\n\r" + P("a/b"));
    EXPECT_EQ(system.asked.front(),
              "Directory " + P("hot") + " does not exists.\n\rDo You want to create it?");
    EXPECT_EQ(settings.ReadString("SendTo", "1", ""), "Out=" + P("out") + "\\");
    EXPECT_EQ(settings.ReadString("SendTo", "2", ""), "Hot=" + P("hot") + "\\");
    EXPECT_EQ(settings.ReadString("SendTo", "3", ""), "Slash=" + P("out") + "\\");  // unchanged
    EXPECT_EQ(settings.Read(settings::kSendToCount), 3);
}

TEST_F(Editor, AnEmptyListAndAFailedWrite) {
    dir.Write("PreZelk.INI", "[OpenWith]\nCount=2\n1=A=a\n2=B=b\n");
    menu.UpdateMenu(settings);
    editor.Starting(kOpenWithBase, menu);
    EXPECT_EQ(editor.text, "A=a\r\nB=b\r\n");  // as the last rebuild read them
    editor.text.clear();
    ASSERT_FALSE(editor.ClickSave(settings, system));
    EXPECT_EQ(settings.Read(settings::kOpenWithCount), 0);

    SettingsFile unwritable(P("missing/PreZelk.INI"),
                            MakePortableProfileStore(P("missing/PreZelk.INI")));
    editor.LinkDown("Help");  // still pressed when the editor went: blue at the next opening
    editor.Starting(kOpenWithBase, menu);
    EXPECT_EQ(editor.controls["Help"].textColour, kBlue);
    editor.text = "Viewer=" + P("tools/view.EXE");
    editor.LinkDown("Save");
    const auto error = editor.ClickSave(unwritable, system);
    ASSERT_TRUE(error);
    EXPECT_EQ(*error, "Unable to write to " + P("missing/PreZelk.INI"));
    EXPECT_EQ(editor.result, TModMeniu1::Result::Open);
    EXPECT_EQ(editor.controls["Save"].textColour, kBlue);  // still open: Save blue again
    editor.Starting(0, menu);  // for no menu of its own: empty, Save closes it and writes nothing
    EXPECT_TRUE(editor.text.empty());
    EXPECT_FALSE(editor.ClickSave(unwritable, system));
    EXPECT_EQ(editor.result, TModMeniu1::Result::Ok);
}

}  // namespace
}  // namespace zelk
