#include "window/main_window.h"

#include <algorithm>
#include <cctype>

namespace zelk {
namespace {

Control Shape(std::string name, int left, int top, int width, int height) {
    Control c;
    c.name = std::move(name);
    c.kind = ControlKind::Shape;
    c.left = left;
    c.top = top;
    c.width = width;
    c.height = height;
    return c;
}

Control Filled(Control c, Rgb colour) {
    c.fill = Fill::Solid;
    c.fillColour = colour;
    return c;
}

Control Outlined(Control c, Rgb colour) {
    c.outline = colour;
    return c;
}

Control Hidden(Control c) {
    c.visible = false;
    return c;
}

// A right-aligned label keeps the right edge that the design face gives its design caption.
// It is fixed here rather than measured, so a substitute face of other widths (Wine's, say)
// moves only the left edge and never pushes the label over its neighbours.
Control RightAligned(Control c, int designWidth) {
    c.align = Align::Right;
    c.anchorRight = c.left + designWidth;
    return c;
}

Control OnBackground(Control c, Rgb colour) {
    c.background = colour;
    return c;
}

// The design layout, lowest control first: later controls are drawn above earlier ones.
void BuildControls(ControlSet& set) {
    Control plate = Shape(kPlateBox, 64, 40, 158, 213);
    plate.fill = Fill::BackDiagonal;
    plate.fillColour = kBlack;
    set.Add(plate);
    set.Add(Outlined(Filled(Shape(kPageRect, 64, 40, 70, 70), kWhite), kBlack));
    set.Add(RightAligned(MakeLabel(kFastLabel, 179, 11, "Fastscan"), kFastLabelDesignWidth));
    set.Add(RightAligned(MakeLabel(kSlowLabel, 10, 243, "Slowscan"), 46));
    set.Add(OnBackground(MakeLabel(kWidthLabel, 80, 24, " Width "), kWhite));
    set.Add(OnBackground(RightAligned(MakeLabel(kHeightLabel, 21, 64, " Height "), 37), kWhite));
    set.Add(Hidden(Filled(Shape(kEmulsionStem, 232, 264, 10, 60), kBlack)));
    set.Add(Hidden(Filled(Shape(kEmulsionTop, 232, 264, 41, 10), kBlack)));
    set.Add(Hidden(Filled(Shape(kEmulsionMiddle, 240, 289, 25, 10), kBlack)));
    set.Add(Hidden(Filled(Shape(kEmulsionBottom, 232, 314, 41, 10), kBlack)));
    Control pag = MakeLabel(kPageCount, 72, 46, "0");
    pag.font.bold = true;
    pag.font.height = 32;
    set.Add(pag);
    Control pageName = Hidden(MakeLabel(kPageName, 75, 80, "PageSize"));
    pageName.textColour = kRed;
    set.Add(pageName);
    Control colorSep = Hidden(OnBackground(
        RightAligned(MakeLabel(kColourSummary, 95, 264, " Uncommented "), 127), kGrey));
    colorSep.textColour = kWhite;
    colorSep.font.bold = true;
    colorSep.font.height = 16;
    set.Add(colorSep);
    set.Add(Outlined(Shape(kPlateOutline, 64, 40, 158, 213), kRed));
    Control oLab = MakeLabel(kPlateTarget, 64, 40, "");
    oLab.autoSize = false;
    oLab.width = 158;
    oLab.height = 213;
    set.Add(oLab);
    set.Add(Filled(Shape(kGauge, 288, 228, 0, 25), kGrey));
    set.Add(Outlined(Shape(kGaugeFrame, 288, 228, 153, 25), kBlack));
    Control heading = MakeLabel(kHeading, 288, 11, "PostScript");
    heading.font.bold = true;
    set.Add(heading);
    set.Add(MakeLink(kStopLink, 416, 264, "Stop"));
    Control bar = Shape(kColourBar, 230, 40, 45, 213);
    bar.kind = ControlKind::PaintBox;
    set.Add(bar);
    Control desk = OnBackground(MakeLabel(kReport, 288, 40, ""), kLightGrey);
    desk.autoSize = false;
    desk.width = 153;
    desk.height = 177;
    desk.wordWrap = true;
    set.Add(desk);
    set.Add(MakeLink(kSettingsLink, 296, 264, "Setings"));  // spelt so by design: keep it
    set.Add(MakeLink(kAboutLink, 296, 309, "About Zelk"));
    Control close = MakeLink(kCloseLink, 387, 298, "Close");
    close.font.height = 21;
    set.Add(close);
    Control popUp = Hidden(OnBackground(MakeLabel(kPopUp, 8, 152, "PopUp"), kTooltip));
    popUp.font.face = "Courier New";
    popUp.font.fixedPitch = true;
    set.Add(popUp);
    set.Add(MakeLink(kHelpLink, 360, 264, "Help"));
    Control resources = Hidden(OnBackground(
        RightAligned(MakeLabel(kResourceNotice, 90, 304, " ResourceLabel "), 132), kRed));
    resources.textColour = kWhite;
    resources.font.bold = true;
    resources.font.height = 16;
    set.Add(resources);
}

}  // namespace

TZelkMnFrm::TZelkMnFrm(WindowHost& host, MainThreadGate& gate, SettingsFile& settings)
    : analysis(*this, gate), host_(host), settings_(settings) {
    BuildControls(controls);
}

TZelkMnFrm::~TZelkMnFrm() {
    analysis.FreeEngine();
}

void TZelkMnFrm::ResetDisplay() {
    analysis.FreeEngine();
    analysis.PageWidth = 0;
    analysis.PageHeight = 0;
    SetCaption("Zelk");
    controls[kReport].caption.clear();
    for (const char* name :
         {kPageName, kEmulsionStem, kEmulsionTop, kEmulsionMiddle, kEmulsionBottom})
        controls[name].visible = false;
    controls[kPageCount].caption = "0";
    controls[kGauge].width = 0;
    controls[kColourSummary].visible = false;
    controls[kColourSummary].background = kGrey;  // a verdict is the shown file's alone
    controls[kPageRect].width = 0;
    controls[kPageRect].height = 0;
    controls[kHeightLabel].caption = " Height ";
    controls[kWidthLabel].caption = " Width ";
    analysis.ProcessColourCount = 0;
    analysis.SpotColourCount = 0;
    controls[kResourceNotice].visible = false;
    need.visible = false;
    colourBar.processCount = 0;
    colourBar.spotCount = 0;
    host_.Repaint();
}

void TZelkMnFrm::SetCaption(const std::string& text) {
    caption = text;
    host_.CaptionChanged();
}

void TZelkMnFrm::SetReport(const std::string& text) {
    controls[kReport].caption = text;
    host_.Invalidate();
}

void TZelkMnFrm::AppendReport(const std::string& text) {
    controls[kReport].caption += text;
    host_.Invalidate();
}

// The scanning state lives in the gauge's colour: blue exactly while a scan runs.
bool TZelkMnFrm::ScanRunning() const {
    return controls[kGauge].fillColour == kBlue;
}

void TZelkMnFrm::BeginScanDisplay() {
    controls[kGauge].fillColour = kBlue;
    fileTimerEnabled = true;
    host_.SetFileTimer(true);
}

void TZelkMnFrm::HideResourceLabel() {
    controls[kResourceNotice].visible = false;
}

Answer TZelkMnFrm::ShowMessage(const MessageRequest& request) {
    return host_.ShowMessage(request);
}

void TZelkMnFrm::ShowPageCount() {
    controls[kPageCount].caption = std::to_string(analysis.PageCount);
    host_.Invalidate();
}

void TZelkMnFrm::ShowPageGeometry() {
    Changer();
}

void TZelkMnFrm::ShowPageName() {
    controls[kPageName].caption = analysis.PageName;
    controls[kPageName].visible = true;
    host_.Invalidate();
}

void TZelkMnFrm::ShowEmulsionMark() {
    Control& stroke = controls[kEmulsionStem];
    const Control& top = controls[kEmulsionTop];
    stroke.left = analysis.Mirrored ? top.left + top.width - stroke.width : top.left;
    for (const char* name : {kEmulsionStem, kEmulsionTop, kEmulsionMiddle, kEmulsionBottom})
        controls[name].visible = true;
    host_.Invalidate();
}

void TZelkMnFrm::ShowColourSummary() {
    const Analysis& a = analysis;
    const int32_t total = a.ProcessColourCount + a.SpotColourCount;
    Control& label = controls[kColourSummary];
    label.caption =
        total == 0 ? " Color" : " " + std::to_string(total) + (total == 1 ? " color" : " colors");
    if (a.SeparationKnown) {
        label.background = a.Separated ? kGreen : kRed;
        label.caption += a.Separated ? " separated " : " composite ";
    }
    label.visible = true;

    colourBar.inks = a.ProcessInks;
    colourBar.processCount = a.ProcessColourCount;
    colourBar.processText = a.ProcessColourText;
    const int32_t spots = std::min(a.SpotColourCount, kMaxSpotColours);
    colourBar.spotNames.assign(a.SpotColourNames.begin() + 1,
                               a.SpotColourNames.begin() + 1 + spots);
    colourBar.spotValues.assign(a.SpotColourValues.begin() + 1,
                                a.SpotColourValues.begin() + 1 + spots);
    colourBar.spotCount = spots;
    host_.Invalidate();
}

void TZelkMnFrm::AddNeededResource() {
    for (const auto& resource : analysis.NewResources) {
        if (resource.startsList) need.ComboRes.clear();
        need.ComboRes.push_back(resource.name);
    }
    analysis.NewResources.clear();
    Control& label = controls[kResourceNotice];
    label.caption = " " + std::to_string(need.ComboRes.size()) + " resources needed! ";
    label.visible = true;
    host_.Invalidate();
}

namespace {

// The colour-model pictures the program carries, named by the model's first two letters.
constexpr std::array<const char*, 8> kColourModelPictures{"AL", "B&", "CI", "CM",
                                                          "GR", "IN", "RG", "YC"};

std::string PictureFor(const std::string& colourText) {
    std::string key = colourText.substr(0, 2);
    for (char& c : key) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    for (const char* name : kColourModelPictures)
        if (key == name) return name;
    return {};
}

}  // namespace

void TZelkMnFrm::ShowTiffImage() {
    const Analysis& a = analysis;
    const std::string model = a.TiffColourText.substr(0, 2);
    colourBarPicture = PictureFor(a.TiffColourText);
    controls[kPageCount].caption = a.TiffMultiPage ? "Multip." : model == "CM" ? "4" : "1";
    controls[kReport].caption += a.TiffReport;
    Control& label = controls[kColourSummary];
    label.caption = " " + a.TiffColourText;
    label.background = model == "CM" || model == "B&" || model == "Gr" ? kGreen : kRed;
    label.visible = true;
    host_.Invalidate();
}

void TZelkMnFrm::ScanDone() {
    fileTimerEnabled = false;
    host_.SetFileTimer(false);
    controls[kGauge].fillColour = kGrey;
    host_.RestoreIfMinimised();
    host_.Invalidate();
    host_.ScanFinished();
}

void TZelkMnFrm::PostScanStopped() {
    host_.PostScanStopped();
}

}  // namespace zelk
