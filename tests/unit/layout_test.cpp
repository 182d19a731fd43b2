// Every window's controls as data against tests/data/layout.txt: a place, a size, a face or
// a colour moved by one pixel or one shade shows here, natively, and not only in a picture of
// the window under Wine. After a change meant to be made, ZELK_UPDATE_LAYOUT=1 rewrites the
// file; review its diff before committing it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "dialogs/about.h"
#include "dialogs/menu_editor.h"
#include "dialogs/settings_dialog.h"
#include "dsc_test_support.h"
#include "window/file_menu.h"

namespace zelk {
namespace {

std::string Hex(Rgb c) {
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", c.r, c.g, c.b);
    return text;
}

// One line a control, in stacking order.
std::string Layout(const std::string& title, const ControlSet& set) {
    std::ostringstream out;
    out << "== " << title << "\n";
    for (const Control& c : set.All()) {
        out << c.name << " " << c.left << "," << c.top << " " << c.width << "x" << c.height
            << (c.visible ? "" : " hidden");
        if (c.kind == ControlKind::Label) {
            std::string caption = c.caption == VersionCaption() ? "<version>" : c.caption;
            for (size_t at = 0; (at = caption.find_first_of("\r\n", at)) != std::string::npos;)
                caption.replace(at, 1, caption[at] == '\r' ? "\\r" : "\\n");
            out << " \"" << caption << "\" " << c.font.face << " " << c.font.height
                << (c.font.bold ? " bold" : "") << (c.font.underline ? " underline" : "")
                << (c.font.fixedPitch ? " fixed" : "") << " " << Hex(c.textColour)
                << (c.background ? " on " + Hex(*c.background) : "") << (c.autoSize ? " auto" : "")
                << (c.align == Align::Right ? " right" : "")
                << (c.anchorRight >= 0 ? " anchor " + std::to_string(c.anchorRight) : "")
                << (c.wordWrap ? " wrap" : "") << (c.link ? " link" : "");
        } else {
            out << (c.kind == ControlKind::Shape ? " shape" : " paintbox") << " fill "
                << static_cast<int>(c.fill) << " " << Hex(c.fillColour)
                << (c.outline ? " outline " + Hex(*c.outline) : "");
        }
        out << "\n";
    }
    return out.str();
}

TEST(Layout, EveryWindowAsDesigned) {
    test::TempDir dir;
    SettingsFile settings(dir.PathOf("PreZelk.INI"),
                          MakePortableProfileStore(dir.PathOf("PreZelk.INI")));
    Inspection start(AnswerPolicy::AllYes, settings);
    start.window.Krauk({});
    std::string layout = Layout("main window at start", start.window.controls);
    // A separated, mirrored A4 job with process inks, spot colours and resources.
    Inspection job(AnswerPolicy::AllYes, settings);
    Inspect(job, "a4.ps",
            std::make_unique<MemorySourceFile>(
                "%!PS-Adobe-3.0\n%%BoundingBox: 0 0 595 842\n%%Pages: 3\n"
                "%%DocumentProcessColors: Cyan Black\n%%CMYKCustomColor: 1 0 0 0 (Spot A)\n"
                "%%DocumentNeededResources: font Times-Roman\n%%EndComments\n"
                "%%BeginFeature: *PageSize A4\n-1 1 scale\n%%Page: 1 1\n%%PlateColor: Cyan\n"
                "%%PageTrailer\n"));
    // Laid out as a paint lays it out, in a face of 6 × 17 pixels a character: self-sizing
    // labels keep their right edges where right-aligned, their left edges otherwise.
    LayoutLabels(job.window.controls, [](const Control& c) {
        int lines = 1, longest = 0, line = 0;
        for (const char ch : c.caption) {
            if (ch == '\n')
                ++lines, line = 0;
            else if (ch != '\r')
                longest = std::max(longest, ++line);
        }
        return TextSize{6 * longest, 17 * lines};
    });
    layout += Layout("main window after a job, laid out", job.window.controls);
    // The pointer finds the "Setings" link from its first pixel to its last, and no further.
    const auto at = [&](int x, int y) {
        const Control* c = job.window.controls.At(x, y);
        return c != nullptr ? c->name : "";
    };
    EXPECT_EQ(at(296, 264) + at(337, 280) + at(338, 280) + at(337, 281) + at(295, 263),
              std::string(kSettingsLink) + kSettingsLink);
    TAbout about;
    about.MailDown();
    about.Mailing();  // clicked: blue again
    EXPECT_EQ(about.controls[kMailLabel].textColour, kBlue);
    about.MailDown();
    about.FormMouseMove();  // pressed, and the pointer went off it: blue again
    layout += Layout("about box", about.controls);
    TModMeniu1 editor;
    editor.Starting(kSendToBase, FileMenu());
    const std::string editorAtStart = Layout("menu editor: " + editor.caption, editor.controls);
    layout += editorAtStart;
    // Resized to its design size it keeps its design places; made wider and then too small,
    // the links keep the left edges of the wider size and follow the bottom.
    editor.ModFormResize(kEditorOuterWidth, kEditorOuterHeight);
    EXPECT_EQ(Layout("menu editor: " + editor.caption, editor.controls), editorAtStart);
    editor.ModFormResize(600, 400);
    editor.ModFormResize(160, 200);
    layout += Layout("menu editor made too small", editor.controls);
    layout += Layout("settings dialog's links", TSettings(settings).links);

    const std::string path = test::DataPath("layout.txt");
    if (std::getenv("ZELK_UPDATE_LAYOUT") != nullptr)
        std::ofstream(path, std::ios::binary) << layout;
    EXPECT_EQ(layout, test::ReadFile(path));
}

}  // namespace
}  // namespace zelk
