// Kestrin, the companion that delivers and prints the files of Zelk's file menu: what it is
// asked to do, and how a delivery goes, as portable logic. kestrin_win.cpp is the program.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace zelk::kestrin {

struct Request {
    enum class Kind { Deliver, Print, Usage };
    Kind kind = Kind::Usage;
    std::string file, folder, name;  // name: the Send-to item's, for the messages
};

// `Kestrin.exe "FILE" "FOLDER\" "NAME"` delivers, `Kestrin.exe "FILE" Printer Print` prints;
// anything else asks for the usage. Arguments as SplitCommandLine gives them.
Request ParseRequest(const std::vector<std::string>& args);

inline constexpr const char* kUsage =
    "Kestrin delivers and prints files for Zelk's file menu.\n\n"
    "Kestrin.exe \"FILE\" \"FOLDER\\\" \"NAME\"\n"
    "    copies FILE into FOLDER (NAME is the menu item's)\n"
    "Kestrin.exe \"FILE\" Printer Print\n"
    "    prints FILE on the default printer";

// "A.PS" for n = 1, then "A (2).PS", "A (3).PS", ...: a delivery never replaces a file.
std::string NumberedName(const std::string& fileName, int n);

// A delivery copies into a working file of its own, "~ks" and eight hexadecimal digits then
// ".kestrin" (short, so it never pushes a path past the limit that the job's own name fits).
inline constexpr const char* kWorkingPrefix = "~ks";
inline constexpr const char* kWorkingSuffix = ".kestrin";
bool IsWorkingName(const std::string& fileName);

// What a delivery needs of the platform's files.
class DeliveryFiles {
  public:
    virtual ~DeliveryFiles() = default;
    virtual bool IsFolder(const std::string& path) = 0;
    virtual bool Exists(const std::string& path) = 0;
    // Eight hexadecimal digits, different at each call and from any other delivery's.
    virtual std::string UniqueToken() = 0;
    // Copies `source` into `target`, which it creates and which must not exist yet (false,
    // with `exists` set, when it does), calling `step` with the bytes done and the total after
    // each piece (false from it cancels). The source may not be written meanwhile, and the
    // copy fails unless it holds as many bytes as the source had at the start. On failure
    // `reason` says why.
    virtual bool Copy(const std::string& source, const std::string& target,
                      const std::function<bool(int64_t, int64_t)>& step, std::string& reason,
                      bool& exists) = 0;
    virtual bool RenameNew(const std::string& from, const std::string& to) = 0;  // no replace
    virtual void Remove(const std::string& path) = 0;
    // Removes the working files in `folder` that killed deliveries left, and no other file.
    virtual void RemoveStale(const std::string& folder) = 0;
};

struct Delivery {
    bool done = false;
    bool cancelled = false;
    std::string delivered;  // the path the file arrived at
    std::string message;    // for the user when it failed
};

// Copies the file to a temporary name in the folder and gives it its own name only when the
// copy is whole, so a hot folder never takes a half-written job; on any failure nothing of
// it is left in the folder.
Delivery Deliver(const Request& request, DeliveryFiles& files,
                 const std::function<bool(int64_t, int64_t)>& step);

// The same files through the standard library (for the tests and any other platform).
class StdDeliveryFiles final : public DeliveryFiles {
  public:
    bool IsFolder(const std::string& path) override;
    bool Exists(const std::string& path) override;
    std::string UniqueToken() override;
    bool Copy(const std::string& source, const std::string& target,
              const std::function<bool(int64_t, int64_t)>& step, std::string& reason,
              bool& exists) override;
    bool RenameNew(const std::string& from, const std::string& to) override;
    void Remove(const std::string& path) override;
    // Standard C++ cannot tell a working file that a live delivery writes from one a killed
    // delivery left, so it leaves them all; the Windows program can (it removes only files
    // that nobody holds open).
    void RemoveStale(const std::string&) override {}
};

}  // namespace zelk::kestrin
