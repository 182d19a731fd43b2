// Kestrin.exe: delivers a file into a folder or prints it, for Zelk's file menu. Exit code 0
// when done, 1 when it failed or was cancelled, 2 for a command line it does not know.
#include <windows.h>

#include <shellapi.h>
#include <winspool.h>

#include <cstdio>
#include <memory>
#include <string>

#include "analysis/recognition.h"
#include "app/command_line.h"
#include "kestrin/kestrin.h"
#include "kestrin/progress_win.h"
#include "ui/message_box_win.h"

namespace {

using namespace zelk::kestrin;

constexpr int64_t kProgressFrom = 8 << 20;  // smaller copies end before a window would show

void Tell(const std::string& text, UINT icon) {
    zelk::CentredMessageBox(nullptr, text.c_str(), "Kestrin", MB_OK | icon);
}

std::string SystemReason(DWORD error) {
    switch (error) {
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
            return "the file is held by another program";
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            return "the disk is full";
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
            return "the file or the folder is gone";
        case ERROR_ACCESS_DENIED:
            return "access is denied";
        default:
            break;
    }
    char text[256] = {};
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
                   text, sizeof text, nullptr);
    std::string reason = text;
    while (!reason.empty() && static_cast<unsigned char>(reason.back()) <= ' ') reason.pop_back();
    return reason.empty() ? "error " + std::to_string(error) : reason;
}

class Win32DeliveryFiles final : public DeliveryFiles {
  public:
    bool IsFolder(const std::string& path) override {
        const DWORD a = GetFileAttributesA(path.c_str());
        return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
    }
    bool Exists(const std::string& path) override {
        return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
    }
    std::string UniqueToken() override {
        // The process and a count of its own: unique among live deliveries; a killed one's
        // leftover with the same name only makes the creation try the next.
        static unsigned count = 0;
        char text[9];
        std::snprintf(text, sizeof text, "%08x",
                      static_cast<unsigned>(GetCurrentProcessId() * 4099u + ++count * 2654435761u));
        return text;
    }
    bool Copy(const std::string& source, const std::string& target,
              const std::function<bool(int64_t, int64_t)>& step, std::string& reason,
              bool& exists) override {
        // Read sharing only: nobody may write the job while it is copied.
        HANDLE in = CreateFileA(source.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
        if (in == INVALID_HANDLE_VALUE) {
            reason = SystemReason(GetLastError());
            return false;
        }
        // CREATE_NEW: never an existing file. No sharing, so while it is written no other
        // Kestrin can take it for a leftover and remove it.
        HANDLE out = CreateFileA(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
        if (out == INVALID_HANDLE_VALUE) {
            const DWORD error = GetLastError();
            exists = error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS;
            reason = SystemReason(error);
            CloseHandle(in);
            return false;
        }
        LARGE_INTEGER size{};
        GetFileSizeEx(in, &size);
        std::string buffer(1 << 20, '\0');
        int64_t done = 0;
        bool ok = true;
        for (DWORD got = 0;;) {
            if (!ReadFile(in, buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr)) {
                reason = SystemReason(GetLastError());
                ok = false;
                break;
            }
            if (got == 0) break;
            DWORD written = 0;
            if (!WriteFile(out, buffer.data(), got, &written, nullptr) || written != got) {
                reason = SystemReason(GetLastError());
                ok = false;
                break;
            }
            done += got;
            if (!step(done, size.QuadPart)) {
                reason = "cancelled";
                ok = false;
                break;
            }
        }
        // Whatever kept writers out, a job that is not as long as it was at the start (cut
        // from outside, or grown) is not delivered under its name.
        LARGE_INTEGER now{};
        if (ok &&
            (done != size.QuadPart || !GetFileSizeEx(in, &now) || now.QuadPart != size.QuadPart)) {
            reason = "the file changed while it was sent";
            ok = false;
        }
        ok = ok && FlushFileBuffers(out);
        CloseHandle(out);
        CloseHandle(in);
        return ok;
    }
    bool RenameNew(const std::string& from, const std::string& to) override {
        return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_WRITE_THROUGH) != FALSE;
    }
    void Remove(const std::string& path) override { DeleteFileA(path.c_str()); }
    // A live delivery holds its working file open without sharing, so only the files of
    // deliveries that were killed can be deleted.
    void RemoveStale(const std::string& folder) override {
        WIN32_FIND_DATAA found{};
        HANDLE search =
            FindFirstFileA((folder + kWorkingPrefix + "*" + kWorkingSuffix).c_str(), &found);
        if (search == INVALID_HANDLE_VALUE) return;
        do {
            if (IsWorkingName(found.cFileName)) DeleteFileA((folder + found.cFileName).c_str());
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
};

int DeliverFile(const Request& request) {
    Win32DeliveryFiles files;
    LARGE_INTEGER size{};
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (GetFileAttributesExA(request.file.c_str(), GetFileExInfoStandard, &data))
        size.HighPart = static_cast<LONG>(data.nFileSizeHigh), size.LowPart = data.nFileSizeLow;
    std::unique_ptr<zelk::ProgressWindow> progress;
    if (size.QuadPart >= kProgressFrom)
        progress = std::make_unique<zelk::ProgressWindow>(
            "Sending " + zelk::FileNameOf(request.file) + " to " + request.name);
    const Delivery d = Deliver(request, files, [&](int64_t done, int64_t total) {
        return !progress || progress->Step(done, total);
    });
    progress.reset();
    if (!d.done && !d.cancelled) Tell(d.message, MB_ICONERROR);
    return d.done ? 0 : 1;
}

// PostScript goes to the printer as it is: a PostScript device interprets it itself.
bool IsPostScript(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    char head[30] = {};
    DWORD got = 0;
    ReadFile(file, head, sizeof head, &got, nullptr);
    CloseHandle(file);
    const std::string kind = zelk::RecognizeKind(std::string_view(head, got));
    return kind == "PS" || kind == "EPS";
}

int PrintRaw(const std::string& printer, const std::string& path) {
    HANDLE device = nullptr;
    if (!OpenPrinterA(const_cast<char*>(printer.c_str()), &device, nullptr)) {
        Tell("Could not print " + zelk::FileNameOf(path) + ": the printer " + printer +
                 " cannot be opened.",
             MB_ICONERROR);
        return 1;
    }
    std::string name = zelk::FileNameOf(path);
    char raw[] = "RAW";
    DOC_INFO_1A doc{name.data(), nullptr, raw};
    bool ok = StartDocPrinterA(device, 1, reinterpret_cast<BYTE*>(&doc)) != 0;
    HANDLE in = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    ok = ok && in != INVALID_HANDLE_VALUE;
    std::string buffer(1 << 16, '\0');
    for (DWORD got = 0;
         ok && ReadFile(in, buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr) &&
         got > 0;) {
        DWORD written = 0;
        ok = WritePrinter(device, buffer.data(), got, &written) && written == got;
    }
    if (in != INVALID_HANDLE_VALUE) CloseHandle(in);
    EndDocPrinter(device);
    ClosePrinter(device);
    if (!ok) Tell("Could not print " + name + " on " + printer + ".", MB_ICONERROR);
    return ok ? 0 : 1;
}

int PrintFile(const Request& request) {
    char printer[512] = {};
    DWORD length = sizeof printer;
    if (!GetDefaultPrinterA(printer, &length)) {
        Tell("Could not print " + zelk::FileNameOf(request.file) +
                 ": no default printer is set up. Choose one in the printer settings of "
                 "Windows and print again.",
             MB_ICONERROR);
        return 1;
    }
    if (IsPostScript(request.file)) return PrintRaw(printer, request.file);
    // Other kinds print through the program the shell has for them.
    const auto result = reinterpret_cast<INT_PTR>(
        ShellExecuteA(nullptr, "print", request.file.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    if (result > 32) return 0;
    Tell("Could not print " + zelk::FileNameOf(request.file) +
             ": no program is set up to print this kind of file.",
         MB_ICONERROR);
    return 1;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    const Request request = ParseRequest(zelk::SplitCommandLineKeepingEmpty(GetCommandLineA()));
    switch (request.kind) {
        case Request::Kind::Deliver:
            return DeliverFile(request);
        case Request::Kind::Print:
            return PrintFile(request);
        case Request::Kind::Usage:
            break;
    }
    Tell(kUsage, MB_ICONINFORMATION);
    return 2;
}
