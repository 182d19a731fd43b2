// The analysis of one file at a time: the record, the scan thread and the entry points
// that open a file, stop a scan and reopen after a stop.
#pragma once

#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "analysis/presenter.h"
#include "analysis/record.h"

namespace zelk {

class Analysis;

// The report keeps its first lines up to this size, far beyond any real header, and then one
// line saying the rest was left out: a header of comments alone cannot exhaust memory.
inline constexpr size_t kReportLimit = 65536;
inline constexpr const char* kReportCutLine = "*Further report lines left out\n\r";

// The scan thread of one analysis. It runs at once and is not freed when it ends:
// the object stays in Analysis::Engine until the next display reset.
class TEngine {
  public:
    explicit TEngine(Analysis& analysis);
    ~TEngine();  // asks the thread to stop and waits for its end, serving hand-offs meanwhile
    TEngine(const TEngine&) = delete;
    TEngine& operator=(const TEngine&) = delete;

    void Terminate() { terminated_ = true; }
    bool Terminated() const { return terminated_; }
    bool Finished() const { return finished_; }

  private:
    void Execute();

    Analysis& analysis_;
    std::atomic<bool> terminated_{false};
    std::atomic<bool> finished_{false};
    std::thread thread_;
};

class Analysis : public AnalysisRecord {
  public:
    Analysis(Presenter& presenter, MainThreadGate& gate) : presenter_(presenter), gate_(gate) {}
    ~Analysis();

    std::unique_ptr<TEngine> Engine;
    bool ReopenPending = false;

    // Main thread: the open and stop entry points.
    void RequestOpen();
    // Opens SourcePath; a test or a fuzz target may hand the bytes in instead.
    void OpenDocument(std::unique_ptr<SourceFile> source = nullptr);
    void StopScan();
    void OnScanStopped();  // the main window's WM_USER handler
    void FreeEngine();

    // Scan thread: reaching the window.
    void HandOff(void (Presenter::*handOff)());
    // A hand-off that only refreshes a figure the window already shows (the page count while
    // pages are counted, the colour summary). Each costs the scan a round trip to the main
    // thread, so at most one is carried per RefreshInterval; one still pending is carried
    // before any other hand-off, and so before the completion, with the values of that time.
    void HandOffRefresh(void (Presenter::*handOff)());
    std::chrono::milliseconds RefreshInterval{100};
    void HandOffReportLine(const std::string& line);
    Answer Ask(const MessageRequest& request);
    void ReportDamaged();
    bool StopRequested() const { return scanEngine_ != nullptr && scanEngine_->Terminated(); }

    MainThreadGate& Gate() { return gate_; }
    Presenter& Window() { return presenter_; }

  private:
    friend class TEngine;
    void OpenOnce(const std::string& path, std::unique_ptr<SourceFile> source);
    void GiveUp();
    void FlushRefreshes();

    using HandOffRoutine = void (Presenter::*)();
    std::vector<HandOffRoutine> pendingRefreshes_;  // scan thread only
    std::chrono::steady_clock::time_point lastRefresh_{};

    size_t reportSize_ = 0;       // what the report holds, so a flood of lines stays bounded
    std::string scannedPath_;     // the file the scan reads; SourcePath may change meanwhile
    bool opening_ = false;        // OpenDocument is under way (it may be showing a question)
    bool openRequested_ = false;  // a request came meanwhile

    // The engine whose thread is scanning, set before that thread starts so the thread can
    // poll its stop flag without reading Engine, which only the main thread touches.
    const TEngine* scanEngine_ = nullptr;

    Presenter& presenter_;
    MainThreadGate& gate_;
};

// The scanners, one per kind; each runs on the scan thread with the first chunk loaded.
void ScanDsc(Analysis& a);
void ScanPdf(Analysis& a);
void ScanTiff(Analysis& a);

}  // namespace zelk
