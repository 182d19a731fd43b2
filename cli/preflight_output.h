// The "preflight" object of zelk-inspect's JSON, and its lines in the text output.
#pragma once

#include <nlohmann/json.hpp>
#include <optional>
#include <string>

#include "preflight/preflight.h"
#include "window/headless.h"

namespace zelk::cli {

// The imagesetter's output format for the fit verdict: the settings file's, each limit
// replaced by an option's when given.
struct OutputFormat {
    std::optional<double> fastScan, slowScan;  // points, from --fast-scan and --slow-scan
};

// "558mm", "1582pt", "22in", "55.8cm" (a space before the unit allowed) in points; nullopt
// for anything else, a value that is not above zero among it.
std::optional<double> ParseLength(const std::string& text);

// The facts of the file the inspection analysed, and the fit: `read` when they were read
// during the scan (a PDF), else read now from `path`.
nlohmann::ordered_json PreflightJson(const Inspection& inspection, const std::string& path,
                                     const OutputFormat& format,
                                     std::optional<preflight::Facts> read = std::nullopt);
std::string PreflightText(const nlohmann::ordered_json& preflight);

}  // namespace zelk::cli
