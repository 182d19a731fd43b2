// The main window as data: its controls, its caption and the handlers that change them.
// The Win32 layer paints it and routes messages here; the command-line tool runs it bare.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "analysis/analysis.h"
#include "dialogs/need_window.h"
#include "settings/settings_file.h"
#include "ui/control_names.h"
#include "ui/controls.h"
#include "window/colour_bar.h"

namespace zelk {

inline constexpr int kClientWidth = 455;
inline constexpr int kClientHeight = 334;
// "Fastscan" in the design face, 11-pixel MS Sans Serif: the plate's right edge ends it.
inline constexpr int kFastLabelDesignWidth = 43;

// What the window model needs from the platform around it.
class WindowHost {
  public:
    virtual ~WindowHost() = default;
    virtual void Repaint() = 0;  // invalidate and update the whole window at once
    // Marks the window for painting when the main thread is next idle: hand-offs use this,
    // so a long header does not repaint the report once per comment while the scan waits.
    virtual void Invalidate() { Repaint(); }
    virtual void CaptionChanged() = 0;
    virtual void SetFileTimer(bool on) = 0;
    virtual void SetPopUpTimer(bool /*on*/) {}  // Timer1, 2000 ms
    virtual Answer ShowMessage(const MessageRequest& request) = 0;
    virtual void PostScanStopped() = 0;  // any thread: post WM_USER to the window
    virtual void RestoreIfMinimised() = 0;
    virtual void ScanFinished() {}  // after the completion hand-off
    virtual void Quit() {}          // end the message loop
    virtual std::optional<std::string> AskOpenFile() { return std::nullopt; }  // the open dialog
    // The settings dialog, modal; after a Save it has had the window run Changer.
    virtual void ShowSettings() {}
    // The resources window, modal, listing the model's TNeed; it closes when that is hidden.
    virtual void ShowResources() {}
    virtual void ShowAbout() {}
    // Opens a help page, given relative to the program's folder, through the shell.
    virtual void OpenHelpPage(const std::string& /*page*/) {}
};

class TZelkMnFrm final : public Presenter {
  public:
    TZelkMnFrm(WindowHost& host, MainThreadGate& gate, SettingsFile& settings);
    ~TZelkMnFrm() override;

    ControlSet controls;
    std::string caption = "Zelk";
    bool fileTimerEnabled = false;
    bool timer1Enabled = false;
    Analysis analysis;
    TNeed need;
    ColourBarData colourBar;
    std::string colourBarPicture;  // the colour-model picture a TIFF shows, by resource name

    Control& operator[](const std::string& name) { return controls[name]; }
    const Control& operator[](const std::string& name) const { return controls[name]; }

    // Window handlers
    void Krauk(const std::vector<std::string>& args);  // creation: open the command-line file
    void Changer();                                    // plate, page and unit captions
    void FileGauge();                                  // progress timer tick
    void Atidaryk();                                   // double click on the plate
    void OnDroppedFile(const std::string& path);
    void OnSecondInstance(uintptr_t wParam);            // WM_USER+1
    void OnScanStopped() { analysis.OnScanStopped(); }  // WM_USER
    void LinkDown(const std::string& link);             // StopDown, CloseDown, ...
    void LinkClick(const std::string& link);            // ClickStop, ClickClose, ...
    void Gesintuvas();                                  // pointer over the bare surface
    void Poping(int x, int y);  // pointer over the colour bar, in the bar's own pixels
    void ClosePopUp();          // Timer1
    void ResourceLabelClick();  // the red notice: the resources window
    static bool IsLink(const std::string& name);

    // Presenter
    void ResetDisplay() override;
    void SetCaption(const std::string& text) override;
    void SetReport(const std::string& text) override;
    void AppendReport(const std::string& text) override;
    bool ScanRunning() const override;
    void BeginScanDisplay() override;
    void HideResourceLabel() override;
    Answer ShowMessage(const MessageRequest& request) override;
    void ShowPageCount() override;
    void ShowPageGeometry() override;
    void ShowPageName() override;
    void ShowEmulsionMark() override;
    void ShowColourSummary() override;
    void AddNeededResource() override;
    void ShowTiffImage() override;
    void ScanDone() override;
    void PostScanStopped() override;

  private:
    WindowHost& host_;
    SettingsFile& settings_;
};

}  // namespace zelk
