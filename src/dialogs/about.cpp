#include "dialogs/about.h"

#include "zelk_version.h"

namespace zelk {

std::string VersionCaption() {
    return std::string("Zelk Version ") + ZELK_VERSION_TEXT;
}

TAbout::TAbout() {
    Control about = MakeLabel("AboutLabel", 8, 232, VersionCaption());
    about.font.bold = true;
    about.font.height = 13;
    controls.Add(about);
    controls.Add(MakeLabel("DateLabel", 8, 8, "26.05.2000"));  // over the picture, transparent
    controls.Add(MakeLabel("SendLabel", 8, 312, "Please send any remarks, comments and bugs to:"));
    Control mail = MakeLabel(kMailLabel, 8, 328, ZELK_CONTACT);
    mail.link = true;
    mail.font.underline = true;
    mail.textColour = kBlue;
    controls.Add(mail);
}

void TAbout::MailDown() {
    controls[kMailLabel].textColour = kRed;
}

std::string TAbout::Mailing() {
    Control& mail = controls[kMailLabel];
    mail.textColour = kBlue;
    return "mailto:" + mail.caption;
}

void TAbout::FormMouseMove() {
    controls[kMailLabel].textColour = kBlue;
}

}  // namespace zelk
