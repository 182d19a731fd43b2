// The portable profile store: the private-profile semantics in standard C++.
#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <sstream>
#include <vector>

#include "settings/settings_file.h"

namespace zelk {
namespace {

namespace fs = std::filesystem;

std::string Trim(const std::string& s) {
    const auto first = s.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

bool SameName(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

// One line of the file, kept with its own ending so that an untouched line is written
// back byte for byte.
struct Line {
    std::string text;
    std::string ending;  // "\r\n", "\n" or "" for a last line without one
};

// The section a line opens ("[Init]" gives "Init"), or false.
bool SectionName(const std::string& text, std::string& name) {
    const std::string t = Trim(text);
    if (t.empty() || t[0] != '[') return false;
    const auto close = t.find(']');
    name = Trim(t.substr(1, close == std::string::npos ? std::string::npos : close - 1));
    return true;
}

// The key of an entry line and its value, if it has one: a line without "=" names a key
// with no value, which reads as missing but is the line a write of that key replaces.
bool Entry(const std::string& text, std::string& key, std::optional<std::string>& value) {
    std::string name;
    if (SectionName(text, name)) return false;
    const auto eq = text.find('=');
    key = Trim(text.substr(0, eq));
    if (key.empty() && eq == std::string::npos) return false;  // a blank line
    value.reset();
    if (eq != std::string::npos) value = Trim(text.substr(eq + 1));
    return true;
}

std::string Unquote(std::string value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    return value;
}

class Profile {
  public:
    explicit Profile(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::stringstream all;
        all << in.rdbuf();
        const std::string text = all.str();
        size_t at = 0;
        while (at < text.size()) {
            const auto lf = text.find('\n', at);
            Line line;
            if (lf == std::string::npos) {
                line.text = text.substr(at);
                at = text.size();
            } else {
                const bool cr = lf > at && text[lf - 1] == '\r';
                line.text = text.substr(at, lf - at - (cr ? 1 : 0));
                line.ending = cr ? "\r\n" : "\n";
                at = lf + 1;
            }
            lines_.push_back(line);
        }
    }

    // The lines [first, last) of the first section of that name; false when there is none.
    bool FindSection(const std::string& section, size_t& first, size_t& last) const {
        std::string name;
        for (size_t i = 0; i < lines_.size(); ++i) {
            if (!SectionName(lines_[i].text, name) || !SameName(name, section)) continue;
            first = i + 1;
            last = first;
            while (last < lines_.size() && !SectionName(lines_[last].text, name)) ++last;
            return true;
        }
        return false;
    }

    // The line of the key in the first section of that name, or npos.
    size_t FindKey(const std::string& section, const std::string& key) const {
        size_t first, last;
        if (!FindSection(section, first, last)) return std::string::npos;
        std::string k;
        std::optional<std::string> v;
        for (size_t i = first; i < last; ++i)
            if (Entry(lines_[i].text, k, v) && SameName(k, key)) return i;
        return std::string::npos;
    }

    std::vector<Line>& Lines() { return lines_; }
    const std::vector<Line>& Lines() const { return lines_; }

    // New lines take the ending the file already uses; a new file gets Windows line ends.
    std::string Ending() const {
        for (const auto& line : lines_)
            if (!line.ending.empty()) return line.ending;
        return "\r\n";
    }

  private:
    std::vector<Line> lines_;
};

bool Writable(const fs::path& p) {
    std::error_code ec;
    const auto status = fs::status(p, ec);
    if (ec) return false;
    return (status.permissions() & fs::perms::owner_write) != fs::perms::none;
}

class PortableProfileStore final : public ProfileStore {
  public:
    explicit PortableProfileStore(std::string path) : path_(std::move(path)) {}

    std::string Read(const std::string& section, const std::string& key,
                     const std::string& fallback) override {
        const Profile profile(path_);
        const size_t at = profile.FindKey(section, key);
        std::string k;
        std::optional<std::string> value;
        if (at == std::string::npos || !Entry(profile.Lines()[at].text, k, value) || !value)
            return fallback.substr(0, kProfileValueMax);
        return Unquote(*value).substr(0, kProfileValueMax);
    }

    // Writers take turns from the read to the replace, so none writes back a file that
    // another's replace has made stale, and no line is lost.
    bool Write(const std::string& section, const std::string& key,
               const std::string& value) override {
        const SettingsWriteTurn turn(path_);
        if (!turn.Held()) return false;
        RemoveLeftovers();
        Profile profile(path_);
        const std::string ending = profile.Ending();
        auto& lines = profile.Lines();
        const std::string entry = key + "=" + value;
        size_t first, last;
        if (const size_t at = profile.FindKey(section, key); at != std::string::npos) {
            lines[at].text = entry;
        } else if (profile.FindSection(section, first, last)) {
            // After the section's last entry, before the blank lines that separate it.
            size_t insert = last;
            while (insert > first && Trim(lines[insert - 1].text).empty()) --insert;
            if (insert == lines.size() && !lines.empty() && lines.back().ending.empty())
                lines.back().ending = ending;
            lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(insert), Line{entry, ending});
        } else {
            if (!lines.empty() && lines.back().ending.empty()) lines.back().ending = ending;
            lines.push_back({"[" + section + "]", ending});
            lines.push_back({entry, ending});
        }
        return Save(lines);
    }

  private:
    // Writes a sibling file and renames it over the old one, so a crash or a full disk in
    // the middle leaves the old settings whole.
    bool Save(const std::vector<Line>& lines) const {
        const fs::path target(path_);
        const fs::path dir = target.has_parent_path() ? target.parent_path() : fs::path(".");
        std::error_code ec;
        // A read-only file or folder refuses the write, as on Windows, whoever we run as.
        if (fs::exists(target, ec) && !Writable(target)) return false;
        if (!Writable(dir)) return false;
        std::random_device random;
        const fs::path temp = dir / (target.filename().string() + "." + std::to_string(random()) +
                                     kSettingsCopySuffix);
        {
            std::ofstream out(temp, std::ios::binary | std::ios::trunc);
            for (const auto& line : lines) out << line.text << line.ending;
            out.flush();
            if (!out) {
                out.close();
                fs::remove(temp, ec);
                return false;
            }
        }
        fs::rename(temp, target, ec);
        if (ec) {
            fs::remove(temp, ec);
            return false;
        }
        return true;
    }

    // Copies left by a writer that was killed: while we hold the turn no other writer's copy
    // can exist, so every one of them is a leftover.
    void RemoveLeftovers() const {
        const fs::path target(path_);
        const fs::path dir = target.has_parent_path() ? target.parent_path() : fs::path(".");
        const std::string prefix = target.filename().string() + ".";
        std::error_code ec;
        for (const auto& entry : fs::directory_iterator(dir, ec)) {
            const std::string name = entry.path().filename().string();
            if (name.starts_with(prefix) && name.ends_with(kSettingsCopySuffix))
                fs::remove(entry.path(), ec);
        }
    }

    std::string path_;
};

}  // namespace

std::unique_ptr<ProfileStore> MakePortableProfileStore(const std::string& path) {
    return std::make_unique<PortableProfileStore>(path);
}

}  // namespace zelk
