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

// What a delivery needs of the platform's files.
class DeliveryFiles {
  public:
    virtual ~DeliveryFiles() = default;
    virtual bool IsFolder(const std::string& path) = 0;
    virtual bool Exists(const std::string& path) = 0;
    // Copies `source` into the new file `target`, calling `step` with the bytes done and the
    // total after each piece (false from it cancels); on failure `reason` says why.
    virtual bool Copy(const std::string& source, const std::string& target,
                      const std::function<bool(int64_t, int64_t)>& step, std::string& reason) = 0;
    virtual bool RenameNew(const std::string& from, const std::string& to) = 0;  // no replace
    virtual void Remove(const std::string& path) = 0;
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
    bool Copy(const std::string& source, const std::string& target,
              const std::function<bool(int64_t, int64_t)>& step, std::string& reason) override;
    bool RenameNew(const std::string& from, const std::string& to) override;
    void Remove(const std::string& path) override;
};

}  // namespace zelk::kestrin
