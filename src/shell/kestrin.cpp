#include "shell/kestrin.h"

#include <filesystem>
#include <fstream>

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
    if (!folder.empty() && folder.back() != '\\' && folder.back() != '/') folder += '\\';
    const std::string name = FileNameOf(request.file);
    auto failed = [&](const std::string& reason) {
        return Delivery{
            false, false, {}, "Could not send " + name + " to " + folder + ": " + reason + "."};
    };
    if (!files.IsFolder(folder)) return failed("the folder does not exist");
    const std::string partial = folder + name + ".kestrin-partial";
    std::string reason;
    bool cancelled = false;
    const bool copied = files.Copy(
        request.file, partial,
        [&](int64_t done, int64_t total) {
            cancelled = !step(done, total);
            return !cancelled;
        },
        reason);
    if (!copied) {
        files.Remove(partial);
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

bool StdDeliveryFiles::IsFolder(const std::string& path) {
    std::error_code ec;
    return fs::is_directory(path, ec);
}

bool StdDeliveryFiles::Exists(const std::string& path) {
    std::error_code ec;
    return fs::exists(path, ec);
}

bool StdDeliveryFiles::Copy(const std::string& source, const std::string& target,
                            const std::function<bool(int64_t, int64_t)>& step,
                            std::string& reason) {
    std::ifstream in(source, std::ios::binary);
    if (!in) {
        reason = "the file cannot be read";
        return false;
    }
    std::error_code ec;
    const auto total = static_cast<int64_t>(fs::file_size(source, ec));
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
    return true;
}

bool StdDeliveryFiles::RenameNew(const std::string& from, const std::string& to) {
    std::error_code ec;
    if (fs::exists(to, ec)) return false;
    fs::rename(from, to, ec);
    return !ec;
}

void StdDeliveryFiles::Remove(const std::string& path) {
    std::error_code ec;
    fs::remove(path, ec);
}

}  // namespace zelk::kestrin
