#pragma once

#include <string>

namespace zelk::cli {

// JSON wants UTF-8. Texts from files and from the Windows ANSI functions are single-byte
// (Windows-1252); a text that already is valid UTF-8 (a Linux path) is kept as it is.
std::string ToUtf8(const std::string& text);

}  // namespace zelk::cli
