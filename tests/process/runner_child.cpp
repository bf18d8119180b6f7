// Child program for the runner tests; the first argument picks what it does.
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <unistd.h>

int main(int argc, char **argv)
{
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "write") { // write N bytes in one go
        const std::string bytes(std::size_t(std::atol(argv[2])), 'x');
        return ::write(1, bytes.data(), bytes.size()) == ssize_t(bytes.size()) ? 0 : 1;
    }
    if (mode == "stderr") { // text on standard error
        std::fputs(argv[2], stderr);
        return 0;
    }
    if (mode == "silent")
        return 0;
    if (mode == "exit")
        return std::atoi(argv[2]);
    if (mode == "signal") { // ended from outside by signal N
        std::printf("working\n");
        std::fflush(stdout);
        std::signal(std::atoi(argv[2]), SIG_DFL);
        std::raise(std::atoi(argv[2]));
        return 0;
    }
    if (mode == "stdin") { // reads its input to the end, then reports it
        std::string input;
        int c;
        while ((c = std::getchar()) != EOF)
            input += char(c);
        std::printf("read %zu bytes", input.size());
        return 0;
    }
    if (mode == "feed") { // N bytes into descriptor D
        const std::string bytes(std::size_t(std::atol(argv[2])), 'z');
        return ::write(std::atoi(argv[3]), bytes.data(), bytes.size()) == ssize_t(bytes.size()) ? 0 : 1;
    }
    if (mode == "drain") { // descriptor D to its end, then the count
        char block[65536];
        long total = 0;
        for (ssize_t got; (got = ::read(std::atoi(argv[2]), block, sizeof block)) > 0;)
            total += got;
        std::printf("read %ld bytes", total);
        return 0;
    }
    if (mode == "forever") { // prints now and then and never ends
        for (;;) {
            std::printf("tick\n");
            std::fflush(stdout);
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
    }
    if (mode == "ignoreterm") { // only a kill ends it
        std::signal(SIGTERM, SIG_IGN);
        std::printf("ready\n");
        std::fflush(stdout);
        for (;;)
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    if (mode == "slow") { // N lines, one every 50 ms
        for (int i = 0; i < std::atoi(argv[2]); ++i) {
            std::printf("line %d\n", i);
            std::fflush(stdout);
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return 0;
    }
    if (mode == "args") { // echoes its arguments, one per line, in brackets
        for (int i = 2; i < argc; ++i)
            std::printf("[%s]\n", argv[i]);
        return 0;
    }
    if (mode == "bytes") { // every byte value once
        char all[256];
        for (int i = 0; i < 256; ++i)
            all[i] = char(i);
        return ::write(1, all, sizeof all) == ssize_t(sizeof all) ? 0 : 1;
    }
    if (mode == "flood") { // N megabytes in 64 KiB writes
        const std::string block(65536, 'y');
        const long blocks = std::atol(argv[2]) * 16;
        for (long i = 0; i < blocks; ++i)
            if (::write(1, block.data(), block.size()) != ssize_t(block.size()))
                return 1;
        return 0;
    }
    std::fprintf(stderr, "unknown mode\n");
    return 2;
}
