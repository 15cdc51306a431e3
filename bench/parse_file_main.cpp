// The floor of a start-up that loads the data file: a program that reads the file in blocks of
// 1 MiB, parses each into plain records on fresh pages as it comes (bench/support/plain_parse.h)
// and exits.
#include <fcntl.h>
#include <unistd.h>

#include <cstring>
#include <vector>

#include "bench/support/plain_parse.h"

int main(int argc, char** argv) {
    if (argc != 2)
        return 2;
    const int fd = ::open(argv[1], O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return 1;
    plain_parse::List list;
    plain_parse::Parser parser(plain_parse::RebuildMidnight(), list);
    std::vector<unsigned char> block(1 << 20);
    std::size_t held = 0;
    for (ssize_t n; (n = ::read(fd, block.data() + held, block.size() - held)) > 0;) {
        held += static_cast<std::size_t>(n);
        const std::size_t taken = parser.Feed(block.data(), block.data() + held);
        std::memmove(block.data(), block.data() + taken, held - taken);
        held -= taken;
    }
    ::close(fd);
    return parser.Done() ? 0 : 1;
}
