// Scanning crafted PostScript files through the whole analysis, as the window would.
#pragma once

#include <string>

#include "analysis/memory_source.h"
#include "test_files.h"
#include "window/headless.h"

namespace zelk::test {

struct Scanned {
    explicit Scanned(const std::string& path, AnswerPolicy policy = AnswerPolicy::Default)
        : inspection(policy) {
        Inspect(inspection, path);
    }
    // `bytes` scanned from memory as the file `name`.
    Scanned(const std::string& name, const std::string& bytes,
            AnswerPolicy policy = AnswerPolicy::Default)
        : inspection(policy) {
        Inspect(inspection, name, std::make_unique<MemorySourceFile>(bytes));
    }
    const TZelkMnFrm& W() const { return inspection.window; }
    const Analysis& A() const { return inspection.window.analysis; }
    // The report after the three lines every file gets.
    std::string Comments() const {
        const std::string& r = W()[kReport].caption;
        size_t at = 0;
        for (int i = 0; i < 3 && at != std::string::npos; ++i) at = r.find("\n\r", at) + 2;
        return r.substr(at);
    }
    std::string Caption(const char* control) const {
        return W()[control].visible ? W()[control].caption : "<hidden>";
    }
    Inspection inspection;
};

inline Scanned ScanText(const std::string& text, AnswerPolicy policy = AnswerPolicy::Default) {
    return Scanned("job.ps", text, policy);
}

}  // namespace zelk::test
