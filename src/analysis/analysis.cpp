#include "analysis/analysis.h"

#include <algorithm>
#include <exception>

#include "analysis/recognition.h"

namespace zelk {

namespace {

std::string_view FirstBytes(const AnalysisRecord& r) {
    return {reinterpret_cast<const char*>(r.ChunkBuffer.data()),
            static_cast<size_t>(std::min<int32_t>(r.ChunkLength, kRecognitionWindow))};
}

}  // namespace

TEngine::TEngine(Analysis& analysis) : analysis_(analysis) {
    analysis_.scanEngine_ = this;
    thread_ = std::thread([this] { Execute(); });
}

TEngine::~TEngine() {
    Terminate();
    // The thread may be waiting for the main thread in a hand-off; keep serving until it ends.
    analysis_.Gate().ServeUntil([this] { return Finished(); });
    if (thread_.joinable()) thread_.join();
    if (analysis_.scanEngine_ == this) analysis_.scanEngine_ = nullptr;
}

void TEngine::Execute() {
    Analysis& a = analysis_;
    a.BoxFound = false;
    a.PagesFound = false;
    a.GaveUp = false;
    a.pendingRefreshes_.clear();
    a.lastRefresh_ = {};
    try {
        if (a.DocKind == "PS" || a.DocKind == "EPS") ScanDsc(a);
        if (a.DocKind == "PDF") ScanPdf(a);
        if (a.DocKind == "TIF") ScanTiff(a);
    } catch (const std::exception&) {
        // A scanner fault ends the scan like a normal end: what was handed off stays shown
        // and the window must still leave the scanning state.
    }
    a.HandOff(&Presenter::ScanDone);
    a.SourceStream.reset();
    if (Terminated()) a.Window().PostScanStopped();
    finished_ = true;
    a.Gate().Wake();
}

Analysis::~Analysis() {
    FreeEngine();
}

void Analysis::FreeEngine() {
    Engine.reset();
}

void Analysis::RequestOpen() {
    if (opening_) {  // a question of the open under way is on screen: serve this after it
        openRequested_ = true;
        return;
    }
    if (presenter_.ScanRunning()) {
        ReopenPending = true;
        StopScan();
        return;
    }
    presenter_.ResetDisplay();
    OpenDocument();
}

void Analysis::StopScan() {
    if (presenter_.ScanRunning() && Engine) Engine->Terminate();
}

void Analysis::OnScanStopped() {
    if (!ReopenPending) return;
    ReopenPending = false;
    presenter_.ResetDisplay();
    OpenDocument();
}

void Analysis::GiveUp() {
    SourceStream.reset();
}

void Analysis::OpenDocument(std::unique_ptr<SourceFile> source) {
    opening_ = true;
    OpenOnce(SourcePath, std::move(source));
    opening_ = false;
    // A file handed over while this open asked its question (the question's message loop
    // delivers the hand-off) is opened now, outside that loop, as any later request is.
    if (openRequested_) {
        openRequested_ = false;
        RequestOpen();
    }
}

void Analysis::OpenOnce(const std::string& path, std::unique_ptr<SourceFile> source) {
    if (Engine) FreeEngine();  // an ended engine left by a caller that did not reset
    scannedPath_ = path;
    SourceStream = source ? std::move(source) : OpenSourceFile(path);
    const int64_t got = SourceStream ? SourceStream->Read(ChunkBuffer.data(), kChunkSize) : -1;
    if (got < 0) {
        GiveUp();
        presenter_.ShowMessage(
            {BoxType::Error, "Could not read from: " + PathForMessage(path), Buttons::Ok});
        return;
    }
    ChunkLength = static_cast<int32_t>(got);
    const std::string_view window = FirstBytes(*this);
    const std::string fileName = FileNameOf(path);

    DocKind = RecognizeKind(window);
    if ((DocKind == "PS" || DocKind == "EPS") && window.find("%!PS-Adobe") == window.npos) {
        const Answer answer = presenter_.ShowMessage(
            {BoxType::Confirm, "The file seems not conform to the DSC.\n\rTry to scan it anyway?",
             Buttons::YesNo, Question::NotConforming});
        if (answer == Answer::No) return GiveUp();
    }
    if (DocKind == "NA") {
        const Answer answer = presenter_.ShowMessage(
            {BoxType::Warning,
             "File " + fileName +
                 " was not recognized!\n\rDo You want to scan it like PostScript file?",
             Buttons::YesNo, Question::Unrecognised});
        if (answer != Answer::Yes) return GiveUp();
        DocKind = "PS";
    }

    presenter_.SetCaption("Zelk in " + fileName);
    presenter_.BeginScanDisplay();
    const int64_t size = SourceStream->Size();
    BigFile = size > kBigFileLimit;
    FileSizeText = FormatFileSize(size);
    std::string report = std::string(KindReportPrefix(DocKind)) + fileName + kLineEnd;
    report += "*File size is " + FileSizeText + kLineEnd;
    report += "*File date: " + SourceStream->DateText() + kLineEnd;
    if (DocKind == "TIF") {
        TiffByteOrder = window.substr(0, 2) == "II" ? "IBM" : "Mac";
        report += "*" + TiffByteOrder + " byte order" + kLineEnd;
    }
    presenter_.SetReport(report);
    reportSize_ = report.size();
    presenter_.HideResourceLabel();
    Engine = std::make_unique<TEngine>(*this);
}

void Analysis::HandOff(void (Presenter::*handOff)()) {
    FlushRefreshes();
    gate_.Invoke([&] { (presenter_.*handOff)(); });
}

void Analysis::HandOffRefresh(void (Presenter::*handOff)()) {
    if (std::find(pendingRefreshes_.begin(), pendingRefreshes_.end(), handOff) ==
        pendingRefreshes_.end())
        pendingRefreshes_.push_back(handOff);
    const auto now = std::chrono::steady_clock::now();
    if (now - lastRefresh_ < RefreshInterval) return;
    FlushRefreshes();
}

void Analysis::FlushRefreshes() {
    if (pendingRefreshes_.empty()) return;
    lastRefresh_ = std::chrono::steady_clock::now();
    gate_.Invoke([&] {
        for (HandOffRoutine routine : pendingRefreshes_) (presenter_.*routine)();
    });
    pendingRefreshes_.clear();
}

void Analysis::HandOffReportLine(const std::string& line) {
    if (reportSize_ > kReportLimit) return;  // the cut line is there already
    const bool fits = reportSize_ + line.size() <= kReportLimit;
    const std::string shown = fits ? line : kReportCutLine;
    reportSize_ = fits ? reportSize_ + line.size() : kReportLimit + 1;
    FlushRefreshes();
    gate_.Invoke([&] { presenter_.AppendReport(shown); });
}

Answer Analysis::Ask(const MessageRequest& request) {
    FlushRefreshes();  // the question is asked over the figures as they stand
    Answer answer = Answer::No;
    gate_.Invoke([&] { answer = presenter_.ShowMessage(request); });
    return answer;
}

void Analysis::ReportDamaged() {
    GaveUp = true;
    Ask({BoxType::Error,
         "Can not scan this file. \"" + FileNameOf(scannedPath_) +
             "\" may be damaged or wrong format!",
         Buttons::Ok});
}

}  // namespace zelk
