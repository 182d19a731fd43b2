// The settings dialog as data: units, conversions through points, Save, Reset and Close on a
// real settings file.
#include <gtest/gtest.h>

#include "dialogs/settings_dialog.h"
#include "test_files.h"

namespace zelk {
namespace {

struct Dialog : ::testing::Test {
    Dialog()
        : settings(dir.PathOf("PreZelk.INI"), MakePortableProfileStore(dir.PathOf("PreZelk.INI"))),
          dialog(settings) {}
    void Ini(const std::string& text) { dir.Write("PreZelk.INI", text); }
    std::string IniText() const { return test::ReadFile(dir.PathOf("PreZelk.INI")); }
    std::pair<std::string, std::string> Fields() const {
        return {dialog.EditFast, dialog.EditSlow};
    }
    using Shown = std::pair<std::string, std::string>;

    test::TempDir dir;
    SettingsFile settings;
    TSettings dialog;
};

TEST_F(Dialog, OpensWithTheDefaultsWithoutASettingsFile) {
    dialog.FormCreate();
    EXPECT_EQ(dialog.selected, Unit::Millimetres);
    EXPECT_EQ(Fields(), Shown("558", "750"));
    EXPECT_EQ(dialog.pt1, "mm");
    EXPECT_TRUE(dialog.OnlyOneBox);
}

// Every change of unit goes through points, with the rounding of both steps.
TEST_F(Dialog, UnitsConvertThroughPoints) {
    Ini("[Init]\nUnits=pt\nFast_scan=1582\nSlow_scan=2126\n");
    dialog.FormCreate();
    EXPECT_EQ(Fields(), Shown("1582", "2126"));
    dialog.UnitClick(Unit::Inches);
    EXPECT_EQ(Fields(), Shown("2197", "2953"));
    EXPECT_EQ(dialog.pt2, "x0.01 in");
    dialog.UnitClick(Unit::Points);
    EXPECT_EQ(Fields(), Shown("1582", "2126"));
    dialog.UnitClick(Unit::Millimetres);
    EXPECT_EQ(Fields(), Shown("558", "750"));
    dialog.UnitClick(Unit::Points);
    dialog.EditFast = "1000";  // typed in points, then shown in millimetres
    dialog.UnitClick(Unit::Millimetres);
    EXPECT_EQ(dialog.EditFast, "353");
}

TEST_F(Dialog, FieldsStayWithinTheirLimitsAndSaveWhatTheyShow) {
    Ini("[Init]\nUnits=in\nFast_scan=2147483647\nSlow_scan=10\n");
    dialog.FormCreate();
    EXPECT_EQ(Fields(), Shown("9999", "14"));
    ASSERT_FALSE(dialog.ClickSave());
    EXPECT_EQ(settings.Read(settings::kFastScan), 7199);

    Ini("[Init]\nUnits=mm\nFast_scan=10\nSlow_scan=2126\n");
    dialog.FormCreate();
    EXPECT_EQ(dialog.EditFast, "10");  // 4 mm brought up to the minimum
    ASSERT_FALSE(dialog.ClickSave());
    EXPECT_EQ(settings.Read(settings::kFastScan), 28);

    // Typed and saved at once, without leaving the field: brought into range all the same.
    dialog.FormCreate();
    dialog.EditFast = "60x";
    dialog.EditSlow = "-5";
    ASSERT_FALSE(dialog.ClickSave());
    EXPECT_EQ(settings.Read(settings::kFastScan), 28);  // "60x" reads as 10 mm
    EXPECT_EQ(settings.Read(settings::kSlowScan), 28);
    EXPECT_EQ(dialog.result, TSettings::Result::Ok);
    dialog.EditFast = " +600";  // leading blanks and a plus sign are taken
    ASSERT_FALSE(dialog.ClickSave());
    EXPECT_EQ(settings.Read(settings::kFastScan), 1701);

    // Limits the window cannot use (it falls back to its defaults) open as those defaults,
    // so the dialog and the plate agree, and an unchanged Save stores them.
    Ini("[Init]\nUnits=mm\nFast_scan=-500\nSlow_scan=0\n");
    dialog.FormCreate();
    EXPECT_EQ(Fields(), Shown("558", "750"));
    ASSERT_FALSE(dialog.ClickSave());
    EXPECT_EQ(settings.Read(settings::kFastScan), 1582);
    EXPECT_EQ(settings.Read(settings::kSlowScan), 2126);
}

TEST_F(Dialog, SaveWritesInOrderAndKeepsEveryOtherLine) {
    Ini("; operator notes\n[Init]\nUnits=mm\n[OpenWith]\nCount=0\n");
    dialog.FormCreate();
    dialog.UnitClick(Unit::Inches);
    dialog.EditFast = "2000";
    dialog.OnlyOneBox = false;
    ASSERT_FALSE(dialog.ClickSave());
    EXPECT_EQ(IniText(),
              "; operator notes\n[Init]\nUnits=in\nFast_scan=1440\nSlow_scan=2126\nOnlyOne=0\n"
              "[OpenWith]\nCount=0\n");
}

TEST_F(Dialog, ResetAndCloseWriteNothing) {
    Ini("[Init]\nUnits=pt\nFast_scan=1000\n");
    const std::string before = IniText();
    dialog.FormCreate();
    dialog.LinkDown("Reset");  // red while pressed, blue again once clicked
    dialog.LinkClick("Reset");
    EXPECT_EQ(dialog.links["Reset"].textColour, kBlue);
    EXPECT_EQ(dialog.result, TSettings::Result::Open);
    EXPECT_EQ(dialog.selected, Unit::Millimetres);
    EXPECT_EQ(Fields(), Shown("558", "750"));
    dialog.LinkClick("Close");
    EXPECT_EQ(dialog.result, TSettings::Result::Cancel);
    EXPECT_EQ(IniText(), before);
    dialog.FormCreate();  // the next opening shows the stored values again
    EXPECT_EQ(Fields(), Shown("1000", "2126"));
    EXPECT_EQ(dialog.result, TSettings::Result::Open);
}

// An unknown unit selects nothing at the first opening: the fields show points under "pt",
// and a Save writes the limits but no unit.
TEST_F(Dialog, AnUnknownUnitSelectsNothing) {
    Ini("[Init]\nUnits=MM\nFast_scan=1000\n");
    dialog.FormCreate();
    EXPECT_EQ(dialog.selected, Unit::None);
    EXPECT_EQ(Fields(), Shown("1000", "2126"));
    EXPECT_EQ(dialog.pt1, "pt");
    ASSERT_FALSE(dialog.ClickSave());
    EXPECT_EQ(settings.Read(settings::kUnits), "MM");
}

TEST_F(Dialog, AFailedWriteKeepsTheDialogOpen) {
    SettingsFile unwritable(dir.PathOf("missing/PreZelk.INI"),
                            MakePortableProfileStore(dir.PathOf("missing/PreZelk.INI")));
    TSettings failing(unwritable);
    failing.FormCreate();
    failing.EditFast = "abc";
    failing.EditSlow = "12345";
    const auto error = failing.ClickSave();
    ASSERT_TRUE(error);
    EXPECT_EQ(*error, "Unable to write to " + dir.PathOf("missing/PreZelk.INI"));
    EXPECT_EQ(failing.result, TSettings::Result::Open);
    // Still open, the fields show the values in range that the save tried to store.
    EXPECT_EQ(failing.EditFast + " " + failing.EditSlow, "10 9999");
}

}  // namespace
}  // namespace zelk
