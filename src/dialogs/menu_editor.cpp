#include "dialogs/menu_editor.h"

#include <array>
#include <sstream>

namespace zelk {

namespace {

constexpr std::array<const char*, 3> kLinks{"Save", "Close", "Help"};

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool AcceptedExtension(const std::string& path) {
    std::string ext = PathExtension(path);
    for (char& c : ext) c = Lower(c);
    return ext == ".exe" || ext == ".com" || ext == ".bat" || ext == ".java";
}

const char* Section(int mode) {
    return mode == kOpenWithBase ? "OpenWith" : mode == kSendToBase ? "SendTo" : nullptr;
}

}  // namespace

std::string PathExtension(const std::string& path) {
    const size_t dot = path.rfind('.');
    const size_t separator = path.find_last_of("\\:");
    if (dot == std::string::npos || (separator != std::string::npos && dot < separator)) return {};
    return path.substr(dot);
}

TModMeniu1::TModMeniu1() {
    Control memo;
    memo.name = kMemo;
    memo.left = 16, memo.top = 24, memo.width = 377, memo.height = 217;
    controls.Add(memo);
    controls.Add(MakeLabel("Label1", 16, 8, ""));
    Control warning = MakeLabel("Label2", 16, 248, "");
    warning.textColour = kRed;
    controls.Add(warning);
    controls.Add(MakeLink("Save", 16, 272, "Save"));
    controls.Add(MakeLink("Close", 360, 272, "Close"));
    controls.Add(MakeLink("Help", 192, 272, "Help"));
}

void TModMeniu1::Starting(int mode, const MenuLists& menu) {
    MenuEditMode = mode;
    result = Result::Open;
    Gesintuvas();
    text.clear();
    if (mode != kOpenWithBase && mode != kSendToBase) return;
    const bool openWith = mode == kOpenWithBase;
    caption = openWith ? "Modify \"Open with\" menu" : "Modify \"Send to\" menu";
    controls["Label1"].caption =
        openWith ? "Menu item name=DRIVE:\\PATH\\EXECUTABLE" : "Menu item name=DRIVE:\\PATH\\";
    controls["Label2"].caption = "Do not use \"=\" in menu item names!";
    for (const auto& line : openWith ? menu.OpenWithItems : menu.SendToItems) text += line + "\r\n";
}

bool TModMeniu1::Accept(const std::string& line, MenuEditorSystem& system, std::string& stored) {
    if (ItemName(line).empty()) return false;  // silently
    const std::string path = ItemPath(line);
    if (MenuEditMode == kOpenWithBase) {
        if (!system.FirstMatchIsFile(path)) {
            system.Ask({BoxType::Error, "File " + path + " not found!", Buttons::Ok});
            return false;
        }
        if (!AcceptedExtension(path) &&
            system.Ask({BoxType::Confirm, "Are You sure that this is executable file?\n\r" + path,
                        Buttons::YesNo}) == Answer::No)
            return false;
        stored = line;
        return true;
    }
    // The directory becomes the process's current one when it exists; nothing here depends
    // on the current directory, so that is left as it is.
    if (!system.EnterDirectory(path)) {
        if (system.Ask({BoxType::Confirm,
                        "Directory " + path + " does not exists.\n\rDo You want to create it?",
                        Buttons::YesNo}) != Answer::Yes)
            return false;
        if (!system.MakeDirectory(path)) {
            system.Ask({BoxType::Error, "Can not create directory!\n\r" + path, Buttons::Ok});
            return false;
        }
    }
    stored = line + (path.ends_with('\\') ? "" : "\\");
    return true;
}

std::optional<std::string> TModMeniu1::ClickSave(SettingsFile& settings, MenuEditorSystem& system) {
    LinkUp("Save");
    const char* section = Section(MenuEditMode);
    if (section == nullptr) {
        result = Result::Ok;
        return std::nullopt;
    }
    int accepted = 0;
    std::istringstream lines(text);
    try {
        for (std::string line; std::getline(lines, line);) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            std::string stored;
            if (!Accept(line, system, stored)) continue;
            settings.WriteString(section, std::to_string(++accepted), stored);
        }
        settings.WriteInteger(section, "Count", accepted);
    } catch (const SettingsWriteError& e) {
        return e.what();
    }
    result = Result::Ok;
    return std::nullopt;
}

void TModMeniu1::ModFormResize(int w, int h) {
    controls["Label2"].top = h - 77;
    for (const char* link : kLinks) controls[link].top = h - 53;
    if (w - 57 > 120) {
        controls["Close"].left = w - 57;
        controls["Help"].left = w / 2 - 16;
    }
    controls[kMemo].width = w - 40;
    controls[kMemo].height = h - 108;
}

void TModMeniu1::LinkDown(const std::string& link) {
    controls[link].textColour = kRed;
}

void TModMeniu1::LinkUp(const std::string& link) {
    controls[link].textColour = kBlue;
}

void TModMeniu1::Gesintuvas() {
    for (const char* link : kLinks) controls[link].textColour = kBlue;
}

}  // namespace zelk
