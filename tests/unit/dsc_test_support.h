// Scanning crafted PostScript files through the whole analysis, as the window would.
#pragma once

#include <string>

#include "inspection.h"
#include "test_files.h"

namespace zelk::test {

struct Scanned {
    explicit Scanned(const std::string& path, cli::AnswerPolicy policy = cli::AnswerPolicy::Default)
        : inspection(policy) {
        cli::Inspect(inspection, path);
    }
    const TZelkMnFrm& W() const { return inspection.window; }
    const Analysis& A() const { return inspection.window.analysis; }
    // The report after the three lines every file gets.
    std::string Comments() const {
        const std::string& r = W()["Desk"].caption;
        size_t at = 0;
        for (int i = 0; i < 3 && at != std::string::npos; ++i) at = r.find("\n\r", at) + 2;
        return r.substr(at);
    }
    std::string Caption(const char* control) const {
        return W()[control].visible ? W()[control].caption : "<hidden>";
    }
    cli::Inspection inspection;
};

inline Scanned ScanText(const std::string& text,
                        cli::AnswerPolicy policy = cli::AnswerPolicy::Default) {
    TempDir dir;
    return Scanned(dir.Write("job.ps", text), policy);
}

}  // namespace zelk::test
