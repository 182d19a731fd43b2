#include "program.h"

#include <filesystem>

namespace zelk::test {

namespace {

constexpr int kPatience = 1200;  // 50 ms steps: a minute for Wine to start a program

struct Search {
    DWORD process;
    const char* className;
    const char* caption;
    HWND found = nullptr;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM lParam) {
    auto* s = reinterpret_cast<Search*>(lParam);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    char cls[64] = {}, text[64] = {};
    GetClassNameA(window, cls, sizeof cls);
    GetWindowTextA(window, text, sizeof text);
    if (process == s->process && std::string(cls) == s->className &&
        (s->caption == nullptr || std::string(text) == s->caption) && IsWindowVisible(window)) {
        s->found = window;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

Installed::Installed() {
    std::filesystem::copy_file(NativePath(ZELK_EXE), NativePath(Exe()));
    // The help goes with the program, as an installation puts it beside it.
    const std::string built = NativePath(ZELK_EXE);
    const std::string folder = built.substr(0, built.find_last_of('\\') + 1);
    std::filesystem::copy(folder + "ZelkHelp", NativePath(dir_.PathOf("ZelkHelp")));
    std::filesystem::copy_file(folder + "Kestrin.exe", NativePath(dir_.PathOf("Kestrin.exe")));
}

Program::Program(const std::string& exe, const std::string& args) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE outWrite = nullptr;
    CreatePipe(&outRead_, &outWrite, &inherit, 1 << 20);
    SetHandleInformation(outRead_, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = outWrite;
    si.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    std::string line = Quoted(exe) + " " + args;
    started_ = CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                              &si, &info_);
    CloseHandle(outWrite);
}

Program::~Program() {
    if (outRead_ != nullptr) CloseHandle(outRead_);
    if (!started_) return;
    if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) {
        TerminateProcess(info_.hProcess, 1);
        WaitForSingleObject(info_.hProcess, 10000);
    }
    CloseHandle(info_.hThread);
    CloseHandle(info_.hProcess);
}

HWND Program::Window() {
    return WaitForWindow("TZelkMnFrm", nullptr);
}

HWND Program::Showing(const char* className, const char* caption) const {
    Search s{info_.dwProcessId, className, caption};
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

HWND Program::WaitForWindow(const char* className, const char* caption) {
    for (int tries = 0; tries < kPatience; ++tries) {
        if (HWND found = Showing(className, caption)) return found;
        if (WaitForSingleObject(info_.hProcess, 50) == WAIT_OBJECT_0) break;
    }
    return nullptr;
}

DWORD Program::WaitForExit(DWORD milliseconds) {
    WaitForSingleObject(info_.hProcess, milliseconds);
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(info_.hProcess, &code);
    return code;
}

std::string Program::Output() {
    std::string out;
    char buffer[4096];
    DWORD got = 0;
    while (::ReadFile(outRead_, buffer, sizeof buffer, &got, nullptr) && got > 0)
        out.append(buffer, got);
    return out;
}

std::string BoxText(HWND box, int id) {
    char text[1024] = {};
    GetDlgItemTextA(box, id, text, sizeof text);
    return text;
}

std::string CaptionOf(HWND window) {
    char text[512] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

bool WaitUntil(const std::function<bool()>& done) {
    for (int tries = 0; tries < kPatience; ++tries) {
        if (done()) return true;
        Sleep(50);
    }
    return done();
}

bool WaitForCaption(HWND window, const std::string& caption) {
    return WaitUntil([&] { return CaptionOf(window) == caption; });
}

uint32_t Picture::At(int x, int y) const {
    const size_t i =
        (static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)) * 3;
    return (uint32_t{rgb[i]} << 16) | (uint32_t{rgb[i + 1]} << 8) | rgb[i + 2];
}

Picture ReadZelkPng(const std::string& path) {
    const std::string png = ReadFile(path);
    Picture p;
    auto u32 = [&](size_t at) {
        return (uint32_t(uint8_t(png[at])) << 24) | (uint32_t(uint8_t(png[at + 1])) << 16) |
               (uint32_t(uint8_t(png[at + 2])) << 8) | uint8_t(png[at + 3]);
    };
    std::string raw;
    for (size_t at = 8; at + 8 <= png.size();) {
        const uint32_t length = u32(at);
        const std::string type = png.substr(at + 4, 4);
        if (type == "IHDR") {
            p.width = static_cast<int>(u32(at + 8));
            p.height = static_cast<int>(u32(at + 12));
        } else if (type == "IDAT") {
            // zlib header, then stored blocks: a flag byte, LEN, NLEN, the bytes
            for (size_t b = at + 10; b < at + 8 + length - 4;) {
                const size_t len = uint8_t(png[b + 1]) | (uint8_t(png[b + 2]) << 8);
                raw.append(png, b + 5, len);
                b += 5 + len;
            }
        }
        at += 12 + length;
    }
    for (int y = 0; y < p.height; ++y)
        p.rgb.insert(p.rgb.end(), raw.begin() + y * (p.width * 3 + 1) + 1,
                     raw.begin() + (y + 1) * (p.width * 3 + 1));
    return p;
}

}  // namespace zelk::test
