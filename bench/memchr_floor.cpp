// The floor a scanner is measured against: one pass over a file in 64 KiB chunks that finds
// every occurrence of one byte with memchr and does nothing else with it.
//
//     memchr-floor BYTE FILE     (prints the number of occurrences)
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    if (argc != 3 || std::strlen(argv[1]) != 1) {
        std::fprintf(stderr, "usage: memchr-floor BYTE FILE\n");
        return 2;
    }
    const int fd = open(argv[2], O_RDONLY);
    if (fd < 0) {
        std::perror(argv[2]);
        return 1;
    }
    static char buffer[65536];
    long long hits = 0;
    for (ssize_t got; (got = read(fd, buffer, sizeof buffer)) > 0;) {
        const char* end = buffer + got;
        for (const char* p = buffer; (p = static_cast<const char*>(std::memchr(
                                          p, argv[1][0], static_cast<size_t>(end - p))));
             ++p)
            ++hits;
    }
    close(fd);
    std::printf("%lld\n", hits);
    return 0;
}
