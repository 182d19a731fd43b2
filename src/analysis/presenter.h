// What the analysis needs of a presentation: the window, the command-line tool or a test.
// Every method but PostScanStopped runs on the main thread; the scan thread reaches them
// only through MainThreadGate::Invoke, waiting until the main thread has run them.
#pragma once

#include <functional>
#include <string>

namespace zelk {

enum class BoxType { Error, Warning, Confirm };
enum class Buttons { Ok, YesNo };
enum class Answer { Ok, Yes, No };

// Which of the analysis's questions a box asks, so a presentation without a user can answer
// each by what it means rather than by its wording.
enum class Question { None, NotConforming, Unrecognised, WholeFile };

struct MessageRequest {
    BoxType type;
    std::string text;
    Buttons buttons;
    Question question = Question::None;
};

class Presenter {
  public:
    virtual ~Presenter() = default;

    // Used by the open and stop entry points.
    virtual void ResetDisplay() = 0;
    virtual void SetCaption(const std::string& caption) = 0;
    virtual void SetReport(const std::string& text) = 0;
    virtual void AppendReport(const std::string& text) = 0;
    virtual bool ScanRunning() const = 0;
    virtual void BeginScanDisplay() = 0;  // gauge blue, progress timer on
    virtual void HideResourceLabel() = 0;
    virtual Answer ShowMessage(const MessageRequest& request) = 0;

    // Hand-offs: each copies one group of results from the record into the window.
    virtual void ShowPageCount() = 0;
    virtual void ShowPageGeometry() = 0;
    virtual void ShowPageName() = 0;
    virtual void ShowEmulsionMark() = 0;
    virtual void ShowColourSummary() = 0;
    virtual void AddNeededResource() = 0;
    virtual void ShowTiffImage() = 0;
    virtual void ScanDone() = 0;

    // Called on the scan thread: tells the main thread, later, that a stopped scan has ended.
    virtual void PostScanStopped() = 0;
};

// Carries calls from the scan thread to the main thread.
class MainThreadGate {
  public:
    virtual ~MainThreadGate() = default;
    // Scan thread: runs `call` on the main thread and returns when it has run.
    virtual void Invoke(const std::function<void()>& call) = 0;
    // Main thread: serves Invoke calls until `done` holds. Never blocks while a call waits.
    virtual void ServeUntil(const std::function<bool()>& done) = 0;
    // Any thread: makes a ServeUntil look at its condition again.
    virtual void Wake() = 0;
};

}  // namespace zelk
