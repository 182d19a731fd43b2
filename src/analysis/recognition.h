// Recognising the kind of a file from its first bytes, and the file facts of the report.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace zelk {

inline constexpr size_t kRecognitionWindow = 30;  // bytes looked at to decide the kind

// "PS", "EPS", "PDF", "TIF" or "NA" for the first bytes of a file (at most 30 are looked at).
std::string RecognizeKind(std::string_view firstBytes);

// The report's first-line prefix of a kind, empty for "NA".
std::string_view KindReportPrefix(std::string_view kind);

// The path without its directory: everything after the last "\", ":" or "/".
std::string FileNameOf(std::string_view path);

// A path as a message box shows it: a long one keeps its start and its end, where the file
// name stands, so the box stays as wide as a screen.
std::string PathForMessage(std::string_view path);

// The size in millions of bytes with three decimals, halves rounded up: "1.235 M".
std::string FormatFileSize(int64_t bytes);

}  // namespace zelk
