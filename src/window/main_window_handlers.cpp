// The main window's own handlers: creation, the plate and unit captions, the progress
// gauge, the links and the ways a file reaches the window.
#include <array>

#include "analysis/numeric.h"
#include "dialogs/about.h"
#include "window/main_window.h"

namespace zelk {

namespace {

constexpr std::array<const char*, 5> kLinks{kStopLink, kCloseLink, kSettingsLink, kAboutLink,
                                            kHelpLink};
constexpr int kPlateLeft = 64, kPlateTop = 40;
constexpr int kDesignPlateWidth = 158, kDesignPlateHeight = 213;  // pixels
constexpr long double kMillimetresPerPoint = 0.352778L;

int32_t Nearest(long double x) {
    return RoundHalfEven(static_cast<double>(x));
}

// Inches with two decimals, halves away from zero, at least four characters wide.
std::string Inches(int32_t points) {
    return PadLeft(FormatFixed(points / 72.0, 2), 4);
}

}  // namespace

void TZelkMnFrm::Krauk(const std::vector<std::string>& args) {
    analysis.ReopenPending = false;
    // The plate and captions follow the settings from the start, also for a job whose
    // header never gives a page size.
    Changer();
    if (!args.empty()) {
        analysis.SourcePath = args[0];
        analysis.OpenDocument();  // nothing runs yet: no reset needed
    }
}

void TZelkMnFrm::Changer() {
    const int32_t slow = settings_.ReadPositive(settings::kSlowScan);
    const int32_t fast = settings_.ReadPositive(settings::kFastScan);

    // The plate fits 158 × 213 pixels and touches at least one of the two bounds.
    long double e;
    int32_t plateWidth, plateHeight;
    if (static_cast<long double>(slow) / fast > 2126.0L / 1582.0L) {
        e = 2126.0L / slow;
        plateHeight = kDesignPlateHeight;
        plateWidth = Nearest(fast * 0.1L * e);
    } else {
        e = 1582.0L / fast;
        plateWidth = kDesignPlateWidth;
        plateHeight = Nearest(slow * 0.1L * e);
    }
    for (const char* name : {kPlateBox, kPlateOutline}) {
        controls[name].width = plateWidth;
        controls[name].height = plateHeight;
    }
    controls[kSlowLabel].top = plateHeight > 80 ? kPlateTop + plateHeight - 26 : 80;
    Control& fastLabel = controls[kFastLabel];
    const int fastLeft = plateWidth > 130 ? kPlateLeft + plateWidth - 46 : 130;
    // Placed by its left edge; the right edge it keeps through caption changes moves along.
    fastLabel.left = fastLeft;
    fastLabel.anchorRight = fastLeft + kFastLabelDesignWidth;
    controls[kPageRect].width = Nearest(analysis.PageWidth * e * 0.1L);
    controls[kPageRect].height = Nearest(analysis.PageHeight * e * 0.1L);

    const std::string units = CutShort(settings_.Read(settings::kUnits));
    const int32_t w = analysis.PageWidth, h = analysis.PageHeight;
    std::string fastText, slowText, widthText, heightText;
    if (units == "mm") {
        auto mm = [](int32_t pt) { return std::to_string(Nearest(pt * kMillimetresPerPoint)); };
        fastText = mm(fast), slowText = mm(slow), widthText = mm(w), heightText = mm(h);
    } else if (units == "pt") {
        fastText = std::to_string(fast), slowText = std::to_string(slow);
        widthText = std::to_string(w), heightText = std::to_string(h);
    } else if (units == "in") {
        fastText = Inches(fast), slowText = Inches(slow), widthText = Inches(w),
        heightText = Inches(h);
    } else {
        host_.Invalidate();  // an unknown unit leaves the captions as they are
        return;
    }
    controls[kFastLabel].caption = "Fast scan" + std::string(kLineEnd) + fastText + " " + units;
    controls[kSlowLabel].caption = "Slow scan" + std::string(kLineEnd) + slowText + " " + units;
    controls[kWidthLabel].caption = " " + widthText + " " + units + " ";
    controls[kHeightLabel].caption = " " + heightText + " " + units + " ";
    host_.Invalidate();
}

void TZelkMnFrm::FileGauge() {
    // Only while the gauge is blue does the scan thread hold the stream: the completion
    // hand-off turns it grey on this thread before the file is released.
    if (!ScanRunning() || !analysis.SourceStream) return;
    const long double size = static_cast<long double>(analysis.SourceStream->Size());
    const long double position = static_cast<long double>(analysis.SourceStream->Position());
    const int32_t fill = size > 0 && position > 0 ? Nearest(153.0L / (size / position)) : 0;
    controls[kGauge].width = fill + 4;
    host_.Invalidate();
}

void TZelkMnFrm::Atidaryk() {
    if (auto path = host_.AskOpenFile()) {
        analysis.SourcePath = *path;
        analysis.RequestOpen();
    }
}

void TZelkMnFrm::OnDroppedFile(const std::string& path) {
    analysis.SourcePath = path;
    analysis.RequestOpen();
}

void TZelkMnFrm::OnSecondInstance(uintptr_t wParam) {
    host_.RestoreIfMinimised();
    if (wParam != 1) return;
    analysis.SourcePath = settings_.Read(settings::kHandedOverPath);
    analysis.RequestOpen();
}

bool TZelkMnFrm::IsLink(const std::string& name) {
    for (const char* link : kLinks)
        if (name == link) return true;
    return false;
}

void TZelkMnFrm::LinkDown(const std::string& link) {
    if (!IsLink(link)) return;
    controls[link].textColour = kRed;
    host_.Invalidate();
}

void TZelkMnFrm::LinkClick(const std::string& link) {
    if (!IsLink(link)) return;
    controls[link].textColour = kBlue;
    host_.Invalidate();
    if (link == kStopLink) analysis.StopScan();
    if (link == kCloseLink) host_.Quit();
    if (link == kSettingsLink) host_.ShowSettings();
    if (link == kAboutLink) {
        host_.ShowAbout();
        host_.Repaint();
    }
    if (link == kHelpLink) {  // HttpHelp
        host_.OpenHelpPage(kHelpIndexPage);
        host_.Repaint();
    }
}

void TZelkMnFrm::Poping(int x, int y) {
    const auto place = PopUpAt(colourBar, x, y);
    if (!place) return;  // a visible pop-up stays
    Control& popUp = controls[kPopUp];
    popUp.left = place->left;
    popUp.top = place->top;
    popUp.caption = place->text;
    popUp.visible = true;
    // A running timer is not restarted: the pop-up goes 2000 ms after it first showed.
    if (!timer1Enabled) host_.SetPopUpTimer(true);
    timer1Enabled = true;
    host_.Invalidate();
}

void TZelkMnFrm::ClosePopUp() {
    controls[kPopUp].visible = false;
    timer1Enabled = false;
    host_.SetPopUpTimer(false);
    host_.Invalidate();
}

void TZelkMnFrm::ResourceLabelClick() {
    if (!controls[kResourceNotice].visible) return;
    need.visible = true;
    host_.ShowResources();
    need.visible = false;
    host_.Repaint();
}

void TZelkMnFrm::Gesintuvas() {
    bool changed = controls[kPopUp].visible;
    for (const char* link : kLinks) {
        changed = changed || controls[link].textColour != kBlue;
        controls[link].textColour = kBlue;
    }
    controls[kPopUp].visible = false;
    if (changed) host_.Invalidate();
}

}  // namespace zelk
