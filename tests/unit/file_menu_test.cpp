// The file menu: rebuilt by position from the settings file, and the command lines it starts.
#include <gtest/gtest.h>

#include "test_files.h"
#include "window/file_menu.h"

namespace zelk {
namespace {

struct Menu : ::testing::Test {
    Menu()
        : settings(dir.PathOf("PreZelk.INI"), MakePortableProfileStore(dir.PathOf("PreZelk.INI"))) {
    }
    // A menu built from the operations alone, as the real one is.
    void Follow(const std::vector<MenuOp>& ops) {
        for (const auto& op : ops) {
            if (op.insert)
                recorded.insert(recorded.begin() + op.position, op.item);
            else
                recorded.erase(recorded.begin() + op.position);
        }
    }
    std::vector<std::string> Shown() const {
        std::vector<std::string> texts;
        for (const auto& item : recorded) texts.push_back(item.id == 0 ? "-" : item.text);
        return texts;
    }
    test::TempDir dir;
    SettingsFile settings;
    FileMenu menu;
    std::vector<MenuItem> recorded = FileMenu().items;
};

using Texts = std::vector<std::string>;

TEST_F(Menu, RebuildsLeaveNothingOfTheBuildBefore) {
    EXPECT_EQ(Shown(), (Texts{"Open with...", "-", "Send to...", "-", "Print..."}));
    dir.Write("PreZelk.INI",
              "[OpenWith]\nCount=2\n1=Viewer=C:\\v.exe\n2=no equals sign\n"
              "[SendTo]\nCount=1\n1=Archive=D:\\OUT\\\n");
    Follow(menu.UpdateMenu(settings));
    EXPECT_EQ(Shown(),
              (Texts{"Open with...", "Viewer", "", "-", "Send to...", "Archive", "-", "Print..."}));
    dir.Write("PreZelk.INI",
              "[OpenWith]\nCount=1\n1=A=a.exe\n[SendTo]\nCount=3\n1=X=x\\\n2=X=y\\\n3=Z=z\\\n");
    Follow(menu.UpdateMenu(settings));
    EXPECT_EQ(Shown(),
              (Texts{"Open with...", "A", "-", "Send to...", "X", "X", "Z", "-", "Print..."}));
    EXPECT_EQ(recorded, menu.items);
    EXPECT_EQ(recorded[6].id, 3003);
    dir.Write("PreZelk.INI", "[OpenWith]\nCount=-4\n[SendTo]\nCount=5000\n");
    Follow(menu.UpdateMenu(settings));
    EXPECT_EQ(Shown()[2], "Send to...");       // a negative count is none
    EXPECT_EQ(menu.SendToItems.size(), 999u);  // more would take IDs of the next range
}

TEST_F(Menu, CommandsStartTheirProgramsWithTheQuotedFile) {
    dir.Write("PreZelk.INI",
              "[OpenWith]\nCount=2\n1=Viewer=C:\\Tools\\view.exe\n2=Viewer=C:\\Other\\v2.exe\n"
              "[SendTo]\nCount=1\n1=Archive=D:\\OUT\\\n");
    menu.UpdateMenu(settings);
    const std::string file = "C:\\JOBS\\A.PS", here = "C:\\Zelk\\";
    auto line = [&](uint32_t id, bool shown = true) {
        const auto c = CommandFor(menu, id, file, here, shown);
        return c ? c->commandLine + "|" + std::to_string(c->editMode) : "none";
    };
    EXPECT_EQ(line(2001), "C:\\Tools\\view.exe \"C:\\JOBS\\A.PS\"|0");
    EXPECT_EQ(line(2002), "C:\\Other\\v2.exe \"C:\\JOBS\\A.PS\"|0");  // same name, own path
    EXPECT_EQ(line(3001), "C:\\Zelk\\Kestrin.exe \"C:\\JOBS\\A.PS\" \"D:\\OUT\\\" \"Archive\"|0");
    EXPECT_EQ(line(10), "C:\\Zelk\\Kestrin.exe \"C:\\JOBS\\A.PS\" Printer Print|0");
    EXPECT_EQ(line(20), "|2000");
    EXPECT_EQ(line(30, false), "|3000");  // the editors open without a file
    for (uint32_t none : {2003u, 3002u, 4001u, 2000u, 15u}) EXPECT_EQ(line(none), "none") << none;
    EXPECT_EQ(line(2001, false), "none");  // no file shown yet
    EXPECT_EQ(line(10, false), "none");
}

}  // namespace
}  // namespace zelk
