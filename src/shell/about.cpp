#include "shell/about.h"

#include "zelk_version.h"

namespace zelk {

namespace {

Control Label(const char* name, int left, int top, std::string caption) {
    Control c;
    c.name = name;
    c.left = left;
    c.top = top;
    c.caption = std::move(caption);
    c.autoSize = true;
    return c;
}

}  // namespace

std::string VersionCaption() {
    return std::string("Zelk Version ") + ZELK_VERSION_TEXT;
}

TAbout::TAbout() {
    Control about = Label("AboutLabel", 8, 232, VersionCaption());
    about.font.bold = true;
    about.font.height = 13;
    controls.Add(about);
    controls.Add(Label("DateLabel", 8, 8, "26.05.2000"));  // over the picture, transparent
    controls.Add(Label("SendLabel", 8, 312, "Please send any remarks, comments and bugs to:"));
    Control mail = Label(kMailLabel, 8, 328, ZELK_CONTACT);
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
