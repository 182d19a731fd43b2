#include "app/command_line.h"

namespace zelk {
namespace {

bool IsSeparator(char c) {
    return static_cast<unsigned char>(c) <= ' ';
}

// Reads one argument from `at`; false when only separators are left.
bool NextArgument(std::string_view line, size_t& at, std::string& arg, bool keepEmpty) {
    for (;;) {
        while (at < line.size() && IsSeparator(line[at])) ++at;
        if (keepEmpty || line.substr(at, 2) != "\"\"") break;
        at += 2;  // empty quotes before an argument
    }
    if (at >= line.size()) return false;
    arg.clear();
    bool quoted = false;
    for (; at < line.size() && (quoted || !IsSeparator(line[at])); ++at) {
        if (line[at] == '"')
            quoted = !quoted;
        else
            arg += line[at];
    }
    return true;
}

std::vector<std::string> Split(std::string_view commandLine, bool keepEmpty) {
    std::vector<std::string> args;
    size_t at = 0;
    std::string arg;
    while (NextArgument(commandLine, at, arg, keepEmpty)) args.push_back(arg);
    if (!args.empty()) args.erase(args.begin());  // the program's own name
    return args;
}

}  // namespace

std::vector<std::string> SplitCommandLine(std::string_view commandLine) {
    return Split(commandLine, false);
}

std::vector<std::string> SplitCommandLineKeepingEmpty(std::string_view commandLine) {
    return Split(commandLine, true);
}

}  // namespace zelk
