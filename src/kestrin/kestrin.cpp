#include "kestrin/kestrin.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <random>

#include "analysis/recognition.h"

namespace zelk::kestrin {

namespace fs = std::filesystem;

Request ParseRequest(const std::vector<std::string>& args) {
    Request r;
    if (args.size() == 3 && args[1] == "Printer" && args[2] == "Print") {
        r.kind = Request::Kind::Print;
        r.file = args[0];
    } else if (args.size() == 3 && !args[0].empty() && !args[1].empty()) {
        r.kind = Request::Kind::Deliver;
        r.file = args[0];
        r.folder = args[1];
        r.name = args[2];
    }
    return r;
}

std::string NumberedName(const std::string& fileName, int n) {
    if (n <= 1) return fileName;
    const size_t dot = fileName.rfind('.');
    const size_t stem = dot == std::string::npos || dot == 0 ? fileName.size() : dot;
    return fileName.substr(0, stem) + " (" + std::to_string(n) + ")" + fileName.substr(stem);
}

Delivery Deliver(const Request& request, DeliveryFiles& files,
                 const std::function<bool(int64_t, int64_t)>& step) {
    std::string folder = request.folder;
    // A folder given without its closing separator gets the kind it already uses.
    if (!folder.empty() && folder.back() != '\\' && folder.back() != '/')
        folder += folder.find('\\') == std::string::npos && folder.find('/') != std::string::npos
                      ? '/'
                      : '\\';
    const std::string name = FileNameOf(request.file);
    auto failed = [&](const std::string& reason) {
        return Delivery{
            false, false, {}, "Could not send " + name + " to " + folder + ": " + reason + "."};
    };
    if (!files.IsFolder(folder)) return failed("the folder does not exist");
    files.RemoveStale(folder);
    std::string partial, reason;
    bool cancelled = false, copied = false, exists = true;
    for (int tries = 0; tries < 100 && !copied && exists; ++tries) {
        partial = folder + kWorkingPrefix + files.UniqueToken() + kWorkingSuffix;
        exists = false;
        copied = files.Copy(
            request.file, partial,
            [&](int64_t done, int64_t total) {
                cancelled = !step(done, total);
                return !cancelled;
            },
            reason, exists);
    }
    if (!copied) {
        if (!exists) files.Remove(partial);  // only a file this delivery made
        if (cancelled) return Delivery{false, true, {}, {}};
        return failed(reason);
    }
    for (int n = 1; n <= 999; ++n) {
        const std::string target = folder + NumberedName(name, n);
        if (!files.Exists(target) && files.RenameNew(partial, target))
            return Delivery{true, false, target, {}};
    }
    files.Remove(partial);
    return failed("no free name is left for it there");
}

bool IsWorkingName(const std::string& fileName) {
    const std::string_view prefix = kWorkingPrefix, suffix = kWorkingSuffix;
    if (fileName.size() != prefix.size() + 8 + suffix.size() || !fileName.starts_with(prefix) ||
        !fileName.ends_with(suffix))
        return false;
    return std::all_of(fileName.begin() + static_cast<std::ptrdiff_t>(prefix.size()),
                       fileName.end() - static_cast<std::ptrdiff_t>(suffix.size()),
                       [](char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; });
}

bool StdDeliveryFiles::IsFolder(const std::string& path) {
    std::error_code ec;
    return fs::is_directory(path, ec);
}

bool StdDeliveryFiles::Exists(const std::string& path) {
    std::error_code ec;
    return fs::exists(path, ec);
}

std::string StdDeliveryFiles::UniqueToken() {
    static std::random_device random;
    static std::mutex guard;
    const std::lock_guard<std::mutex> lock(guard);
    char text[9];
    std::snprintf(text, sizeof text, "%08x", static_cast<unsigned>(random()));
    return text;
}

bool StdDeliveryFiles::Copy(const std::string& source, const std::string& target,
                            const std::function<bool(int64_t, int64_t)>& step, std::string& reason,
                            bool& exists) {
    std::ifstream in(source, std::ios::binary);
    if (!in) {
        reason = "the file cannot be read";
        return false;
    }
    std::error_code ec;
    const auto total = static_cast<int64_t>(fs::file_size(source, ec));
    // Created here, never an existing file opened ("x" of C11; the old C runtime of Windows
    // does not know it, and the Windows program creates its files through the system).
#ifdef _WIN32
    std::FILE* created = fs::exists(target, ec) ? nullptr : std::fopen(target.c_str(), "wb");
#else
    std::FILE* created = std::fopen(target.c_str(), "wbx");
#endif
    if (created == nullptr) {
        exists = fs::exists(target, ec);
        reason = "the folder cannot be written to";
        return false;
    }
    std::fclose(created);
    std::ofstream out(target, std::ios::binary | std::ios::trunc);
    if (!out) {
        reason = "the folder cannot be written to";
        return false;
    }
    std::vector<char> buffer(1 << 20);
    int64_t done = 0;
    while (in) {
        in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
        const std::streamsize got = in.gcount();
        if (got <= 0) break;
        if (!out.write(buffer.data(), got)) {
            reason = "writing failed (is the disk full?)";
            return false;
        }
        done += got;
        if (!step(done, total)) {
            reason = "cancelled";
            return false;
        }
    }
    if (in.bad() || !out.flush()) {
        reason = "the copy failed";
        return false;
    }
    if (done != total) {
        reason = "the file changed while it was sent";
        return false;
    }
    return true;
}

// A hard link is made only where no file is, in one step, so two deliveries of one name
// cannot both take it; the working name then goes.
bool StdDeliveryFiles::RenameNew(const std::string& from, const std::string& to) {
    std::error_code ec;
    fs::create_hard_link(from, to, ec);
    if (!ec) {
        fs::remove(from, ec);
        return true;
    }
    if (ec == std::errc::file_exists || fs::exists(to, ec)) return false;
    fs::rename(from, to, ec);  // a file system without hard links: two steps
    return !ec;
}

void StdDeliveryFiles::Remove(const std::string& path) {
    std::error_code ec;
    fs::remove(path, ec);
}

}  // namespace zelk::kestrin
