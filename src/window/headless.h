// The main window without a window: one file analysed the way the window would show it, with
// questions answered by a policy. The command-line tool, the tests and the fuzz targets all
// analyse files through it.
#pragma once

#include <atomic>
#include <string>
#include <vector>

#include "analysis/queue_gate.h"
#include "window/main_window.h"

namespace zelk {

enum class AnswerPolicy { Default, AllYes, AllNo };

struct RaisedMessage {
    MessageRequest request;
    Answer answer;
};

// A window host that paints nothing, answers questions by policy and records them.
class HeadlessHost final : public WindowHost {
  public:
    explicit HeadlessHost(AnswerPolicy policy) : policy_(policy) {}
    void Repaint() override {}
    void CaptionChanged() override {}
    void SetFileTimer(bool) override {}
    Answer ShowMessage(const MessageRequest& request) override;
    void PostScanStopped() override { stopPosted = true; }
    void RestoreIfMinimised() override {}

    std::vector<RaisedMessage> messages;
    std::atomic<bool> stopPosted{false};

  private:
    AnswerPolicy policy_;
};

// The settings the window reads: PreZelk.INI beside the program, as Zelk.exe reads its own.
SettingsFile& ProgramSettings();

struct Inspection {
    explicit Inspection(AnswerPolicy policy, SettingsFile& settings = ProgramSettings())
        : host(policy), window(host, gate, settings) {}
    QueueGate gate;
    HeadlessHost host;
    TZelkMnFrm window;
    bool started = false;   // the open did not give up
    bool complete = false;  // the scan ran to its end, neither stopped nor given up
};

// Called while a scan runs, about every tenth of a second; returning true stops the scan.
using ScanTick = bool (*)(const Inspection&);

// Opens `path` and serves the scan to its end on the calling thread.
void Inspect(Inspection& inspection, const std::string& path, ScanTick tick = nullptr);
// The same for bytes from any source, shown under the name `path`.
void Inspect(Inspection& inspection, const std::string& path, std::unique_ptr<SourceFile> source,
             ScanTick tick = nullptr);

}  // namespace zelk
