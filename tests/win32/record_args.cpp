// Stands in for the programs the shell starts (a browser for the help pages, a mail program
// for "mailto:"): appends its command line to recorded.txt beside itself and ends.
#include <windows.h>

#include <fstream>
#include <string>

int main() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, sizeof path);
    std::string file(path);
    file = file.substr(0, file.find_last_of('\\') + 1) + "recorded.txt";
    std::ofstream(file, std::ios::app) << GetCommandLineA() << "\n";
    return 0;
}
