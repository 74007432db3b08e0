// (.cc, not .cpp: every .cpp under tests/ belongs to a test program.)
// A stand-in host for the pipe-process tests. Its ends come as hexadecimal
// descriptor numbers on the command line; VELMO_PIPE_CHILD_MODE picks what it does:
//   echo  - sends every framed block (4-byte length, bytes) back until the pipe closes
//   hang  - reads until the pipe closes, then never ends by itself
//   mutex - takes the mutex whose descriptor comes as the first block, says "held",
//           releases it when the next block arrives, then echoes
//   exit  - ends at once with code 3
#include <pthread.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

int g_in = -1, g_out = -1;

bool readAll(void* buffer, size_t size) {
    auto* p = static_cast<char*>(buffer);
    while (size > 0) {
        const ssize_t n = read(g_in, p, size);
        if (n <= 0) return false;
        p += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

bool writeAll(const void* buffer, size_t size) {
    const auto* p = static_cast<const char*>(buffer);
    while (size > 0) {
        const ssize_t n = write(g_out, p, size);
        if (n <= 0) return false;
        p += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

bool readBlock(std::string& block) {
    uint32_t size = 0;
    if (!readAll(&size, sizeof size)) return false;
    block.resize(size);
    return size == 0 || readAll(block.data(), size);
}

bool writeBlock(const std::string& block) {
    const auto size = static_cast<uint32_t>(block.size());
    return writeAll(&size, sizeof size) && writeAll(block.data(), block.size());
}

void echo() {
    std::string block;
    while (readBlock(block)) writeBlock(block);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) return 2;
    g_in = static_cast<int>(std::strtoull(argv[1], nullptr, 16));
    g_out = static_cast<int>(std::strtoull(argv[2], nullptr, 16));
    const char* mode = std::getenv("VELMO_PIPE_CHILD_MODE");
    const std::string m = mode ? mode : "echo";
    if (m == "exit") return 3;
    if (m == "hang") {
        std::string block;
        while (readBlock(block)) {
        }
        for (;;) pause();
    }
    if (m == "mutex") {
        std::string block;
        if (!readBlock(block)) return 4;
        const int fd = std::atoi(block.c_str());
        void* memory = mmap(nullptr, sizeof(pthread_mutex_t), PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
        if (memory == MAP_FAILED) return 5;
        auto* mutex = static_cast<pthread_mutex_t*>(memory);
        pthread_mutex_lock(mutex);
        writeBlock("held");
        if (!readBlock(block)) return 6;
        pthread_mutex_unlock(mutex);
    }
    echo();
    return 0;
}
