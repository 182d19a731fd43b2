// The settings file beside the executable, read and written the way the platform's
// private-profile functions do: no cache, so every read sees the last write, also another
// process's.
#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>

namespace zelk {

inline constexpr size_t kProfileValueMax = 1023;  // longer values read back cut

// Reads and writes single keys of one INI file.
class ProfileStore {
  public:
    virtual ~ProfileStore() = default;
    // The value with blanks and one pair of enclosing quotes removed, at most 1023
    // characters; `fallback` when the file, section or key is missing.
    virtual std::string Read(const std::string& section, const std::string& key,
                             const std::string& fallback) = 0;
    // Writes "key=value" into the section, creating file, section and key; false on failure.
    virtual bool Write(const std::string& section, const std::string& key,
                       const std::string& value) = 0;
};

// The platform's own profile functions on Windows; the portable store elsewhere.
std::unique_ptr<ProfileStore> MakePlatformProfileStore(const std::string& path);
// The same semantics in portable C++, keeping every line it does not change.
std::unique_ptr<ProfileStore> MakePortableProfileStore(const std::string& path);

// A write edits a copy of the file named PATH.<writer>.zelk-new beside it, which then
// replaces the file in one step, so a reader never sees half a write.
inline constexpr const char* kSettingsCopySuffix = ".zelk-new";

// One writer's turn at the settings file at `path`, among all threads and processes: a named
// mutex on Windows, a lock on the file's folder elsewhere. Waited for about ten seconds at most; a
// writer that died in its turn gives the turn up.
class SettingsWriteTurn {
  public:
    explicit SettingsWriteTurn(const std::string& path);
    ~SettingsWriteTurn();
    SettingsWriteTurn(const SettingsWriteTurn&) = delete;
    SettingsWriteTurn& operator=(const SettingsWriteTurn&) = delete;
    bool Held() const { return held_; }

  private:
    intptr_t handle_ = -1;  // the mutex's HANDLE, or the folder's descriptor
    bool held_ = false;
};

class SettingsWriteError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// One key of the settings file with its default, declared once for every reader.
struct TextSetting {
    const char* section;
    const char* key;
    const char* fallback;
};
struct IntSetting {
    const char* section;
    const char* key;
    int32_t fallback;
};
struct FlagSetting {
    const char* section;
    const char* key;
    bool fallback;
};

class SettingsFile {
  public:
    SettingsFile(std::string path, std::unique_ptr<ProfileStore> store);
    const std::string& Path() const { return path_; }

    std::string ReadString(const std::string& section, const std::string& key,
                           const std::string& fallback) const;
    int32_t ReadInteger(const std::string& section, const std::string& key, int32_t fallback) const;
    bool ReadBool(const std::string& section, const std::string& key, bool fallback) const;
    // Each write throws SettingsWriteError("Unable to write to <path>") when it fails.
    void WriteString(const std::string& section, const std::string& key, const std::string& value);
    void WriteInteger(const std::string& section, const std::string& key, int32_t value);
    void WriteBool(const std::string& section, const std::string& key, bool value);

    std::string Read(const TextSetting& s) const {
        return ReadString(s.section, s.key, s.fallback);
    }
    int32_t Read(const IntSetting& s) const { return ReadInteger(s.section, s.key, s.fallback); }
    // A setting that must be positive (the output format's sides, which scale the plate):
    // anything else falls back to its default. The window and the settings dialog both
    // read the limits this way, so they always show the same format.
    int32_t ReadPositive(const IntSetting& s) const {
        const int32_t value = Read(s);
        return value > 0 ? value : s.fallback;
    }
    bool Read(const FlagSetting& s) const { return ReadBool(s.section, s.key, s.fallback); }

  private:
    std::string path_;
    std::unique_ptr<ProfileStore> store_;
};

// Converts an INI integer text: optional sign, then decimal digits or "$" and hex digits;
// "0x"/"0X" count as "$". Returns `fallback` for anything else or a value past 32 bits.
int32_t ParseProfileInteger(std::string text, int32_t fallback);

// The settings file's name and its place: the executable's own directory.
inline constexpr const char* kSettingsFileName = "PreZelk.INI";
std::string ExecutableDirectory();
std::string SettingsFilePath();  // the settings file's full path

// The keys of the settings file.
namespace settings {
inline constexpr TextSetting kUnits{"Init", "Units", "mm"};
inline constexpr IntSetting kFastScan{"Init", "Fast_scan", 1582};
inline constexpr IntSetting kSlowScan{"Init", "Slow_scan", 2126};
inline constexpr FlagSetting kOnlyOneAtStart{"Init", "OnlyOne", false};  // start-up check
inline constexpr FlagSetting kOnlyOneInDialog{"Init", "OnlyOne", true};  // dialog's check box
inline constexpr TextSetting kHandedOverPath{"Temp", "Open", ""};
inline constexpr IntSetting kOpenWithCount{"OpenWith", "Count", 0};
inline constexpr IntSetting kSendToCount{"SendTo", "Count", 0};
}  // namespace settings

}  // namespace zelk
