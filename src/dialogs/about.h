// The about box as data: the program's name and version, the date, and the mail link.
#pragma once

#include <string>

#include "ui/controls.h"

namespace zelk {

inline constexpr int kAboutClientWidth = 326, kAboutClientHeight = 350;
inline constexpr int kAboutPictureHeight = 227;
inline constexpr const char* kMailLabel = "MailLabel";

// The help pages, relative to the program's folder.
inline constexpr const char* kHelpIndexPage = "ZelkHelp\\Zelk_Help_index.htm";
inline constexpr const char* kHelpMenuPage = "ZelkHelp\\Zelk_menu.htm";

std::string VersionCaption();  // "Zelk Version 1.0"

class TAbout {
  public:
    TAbout();
    ControlSet controls;  // AboutLabel, DateLabel, SendLabel, MailLabel

    void MailDown();        // the mail link turns red
    std::string Mailing();  // turns blue; what the shell is to open: "mailto:" + address
    void FormMouseMove();   // over the box: the link turns blue
    bool IsMailLink(const Control* c) const { return c != nullptr && c->name == kMailLabel; }
};

}  // namespace zelk
