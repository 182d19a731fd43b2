#include "window/headless.h"

#include <chrono>

namespace zelk {

Answer HeadlessHost::ShowMessage(const MessageRequest& request) {
    Answer answer = Answer::Ok;
    if (request.buttons == Buttons::YesNo) {
        switch (policy_) {
            case AnswerPolicy::AllYes:
                answer = Answer::Yes;
                break;
            case AnswerPolicy::AllNo:
                answer = Answer::No;
                break;
            case AnswerPolicy::Default:
                // Scan doubtful PostScript, but neither unknown files nor the rest of a big job.
                answer = request.question == Question::NotConforming ? Answer::Yes : Answer::No;
                break;
        }
    }
    messages.push_back({request, answer});
    return answer;
}

SettingsFile& ProgramSettings() {
    static SettingsFile settings = [] {
        const std::string path = SettingsFilePath();
        return SettingsFile(path, MakePlatformProfileStore(path));
    }();
    return settings;
}

void Inspect(Inspection& inspection, const std::string& path, ScanTick tick) {
    Inspect(inspection, path, nullptr, tick);
}

void Inspect(Inspection& inspection, const std::string& path, std::unique_ptr<SourceFile> source,
             ScanTick tick) {
    Analysis& analysis = inspection.window.analysis;
    analysis.SourcePath = path;
    analysis.OpenDocument(std::move(source));
    inspection.started = analysis.Engine != nullptr;
    if (!inspection.started) return;
    bool stopAsked = false;
    while (!analysis.Engine->Finished()) {
        inspection.gate.ServeFor(std::chrono::milliseconds(100));
        if (tick && !stopAsked && tick(inspection)) {
            analysis.StopScan();
            stopAsked = true;
        }
    }
    inspection.complete = !analysis.Engine->Terminated() && !analysis.GaveUp;
    analysis.FreeEngine();
}

}  // namespace zelk
