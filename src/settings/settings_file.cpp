#include "settings/settings_file.h"

#include <cctype>
#include <limits>

namespace zelk {

SettingsFile::SettingsFile(std::string path, std::unique_ptr<ProfileStore> store)
    : path_(std::move(path)), store_(std::move(store)) {}

std::string SettingsFile::ReadString(const std::string& section, const std::string& key,
                                     const std::string& fallback) const {
    return store_->Read(section, key, fallback);
}

int32_t SettingsFile::ReadInteger(const std::string& section, const std::string& key,
                                  int32_t fallback) const {
    return ParseProfileInteger(ReadString(section, key, ""), fallback);
}

bool SettingsFile::ReadBool(const std::string& section, const std::string& key,
                            bool fallback) const {
    return ReadInteger(section, key, fallback ? 1 : 0) != 0;
}

void SettingsFile::WriteString(const std::string& section, const std::string& key,
                               const std::string& value) {
    if (!store_->Write(section, key, value))
        throw SettingsWriteError("Unable to write to " + path_);
}

void SettingsFile::WriteInteger(const std::string& section, const std::string& key, int32_t value) {
    WriteString(section, key, std::to_string(value));
}

void SettingsFile::WriteBool(const std::string& section, const std::string& key, bool value) {
    WriteString(section, key, value ? "1" : "0");
}

int32_t ParseProfileInteger(std::string text, int32_t fallback) {
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
        text.replace(0, 2, "$");
    size_t at = 0;
    while (at < text.size() && text[at] == ' ') ++at;
    bool negative = false;
    if (at < text.size() && (text[at] == '-' || text[at] == '+')) negative = text[at++] == '-';
    const bool hex = at < text.size() && text[at] == '$';
    if (hex) ++at;
    if (at >= text.size()) return fallback;
    const uint64_t limit = hex ? 0xFFFFFFFFull : (negative ? 0x80000000ull : 0x7FFFFFFFull);
    uint64_t value = 0;
    for (; at < text.size(); ++at) {
        const auto c = static_cast<unsigned char>(text[at]);
        int digit;
        if (std::isdigit(c))
            digit = c - '0';
        else if (hex && std::isxdigit(c))
            digit = std::tolower(c) - 'a' + 10;
        else
            return fallback;
        value = value * (hex ? 16u : 10u) + static_cast<uint64_t>(digit);
        if (value > limit) return fallback;
    }
    // A hexadecimal value fills all 32 bits, so $FFFFFFFF reads as -1.
    const auto bits = static_cast<uint32_t>(value);
    const uint32_t result = negative ? 0u - bits : bits;
    return static_cast<int32_t>(result);
}

}  // namespace zelk
