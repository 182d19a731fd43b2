// Splitting a Windows command line the way the program's start expects.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zelk {

// Arguments after the program's own name. Arguments are separated by blanks and control
// characters; a stretch in double quotes keeps its blanks and loses the quotes; a pair of
// empty quotes before an argument is skipped.
std::vector<std::string> SplitCommandLine(std::string_view commandLine);
// The same, but a pair of empty quotes is an empty argument: Kestrin's menu item may have no
// name, and its place on the command line must still count.
std::vector<std::string> SplitCommandLineKeepingEmpty(std::string_view commandLine);

}  // namespace zelk
