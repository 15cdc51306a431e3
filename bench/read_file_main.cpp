// The floor of a start-up that reads the data file: a program that only reads a file, in
// blocks of 1 MiB, and exits.
#include <fcntl.h>
#include <unistd.h>

#include <vector>

int main(int argc, char** argv) {
    if (argc != 2)
        return 2;
    const int fd = ::open(argv[1], O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return 1;
    std::vector<char> block(1 << 20);
    while (::read(fd, block.data(), block.size()) > 0) {
    }
    ::close(fd);
    return 0;
}
