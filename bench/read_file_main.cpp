// The floors of a start-up that reads the data file: a program that only reads a file, in
// blocks of 1 MiB, and exits; with --parse, one that also parses each block into plain records
// on fresh pages as it comes (bench/support/plain_parse.h). With no argument it exits at once:
// the start of a program linked with the C++ runtime, as calvora-host is.
#include <fcntl.h>
#include <unistd.h>

#include <cstring>
#include <string_view>
#include <vector>

#include "bench/support/plain_parse.h"

int main(int argc, char** argv) {
    if (argc == 1)
        return 0;
    const bool parse = argc == 3 && std::string_view(argv[1]) == "--parse";
    if (argc != 2 && !parse)
        return 2;
    const int fd = ::open(argv[argc - 1], O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return 1;
    plain_parse::List list;
    plain_parse::Parser parser(parse ? plain_parse::RebuildMidnight() : 0, list);
    std::vector<unsigned char> block(1 << 20);
    std::size_t held = 0;
    for (ssize_t n; (n = ::read(fd, block.data() + held, block.size() - held)) > 0;) {
        if (!parse)
            continue;
        held += static_cast<std::size_t>(n);
        const std::size_t taken = parser.Feed(block.data(), block.data() + held);
        std::memmove(block.data(), block.data() + taken, held - taken);
        held -= taken;
    }
    ::close(fd);
    return !parse || parser.Done() ? 0 : 1;
}
