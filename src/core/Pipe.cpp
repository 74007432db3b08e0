#include "core/Pipe.h"

#include <cerrno>
#include <chrono>
#include <vector>
#include <algorithm>

#include "core/Exception.h"
#include "core/TextConvert.h"
#include "platform/os/ErrorText.h"
#include "platform/os/Pipe.h"

namespace System {
namespace {

constexpr uint32_t kPollMs = 100;

}  // namespace

void Pipe::waitForData() {
    if (!keepWaiting_) return;
    const auto start = std::chrono::steady_clock::now();
    for (;;) {
        bool ready = false;
        if (Platform::failed(Platform::os::waitReadable(readFd_, kPollMs, ready)))
            throw lastErrorException("ReadFile", "System::Pipe::read");
        if (ready) return;
        const auto waited = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
        if (!keepWaiting_(static_cast<uint64_t>(waited.count()))) {
            Platform::os::setLastError(ETIMEDOUT);
            throw lastErrorException("ReadFile", "System::Pipe::read");
        }
    }
}

void Pipe::read(void* buffer, size_t n) {
    auto* p = static_cast<char*>(buffer);
    size_t total = 0;
    while (total < n) {
        waitForData();
        size_t done = 0;
        // One chunk at a time, so that the wait rule sees every pause of the writer.
        const size_t chunk = std::min<size_t>(n - total, 65536);
        if (Platform::failed(Platform::os::readFully(readFd_, p + total, chunk, done)))
            throw lastErrorException("ReadFile", "System::Pipe::read");
        if (done == 0) throw win32ErrorException("System::Pipe::read", Platform::os::kErrorBrokenPipe);
        total += done;
        if (done < chunk) throw win32ErrorException("System::Pipe::read", Platform::os::kErrorBrokenPipe);
    }
}

int32_t Pipe::readInt() {
    uint8_t bytes[4];
    read(bytes, 4);
    return static_cast<int32_t>(uint32_t{bytes[0]} | uint32_t{bytes[1]} << 8 | uint32_t{bytes[2]} << 16 |
                                uint32_t{bytes[3]} << 24);
}

int64_t Pipe::readInt64() {
    uint8_t bytes[8];
    read(bytes, 8);
    uint64_t value = 0;
    for (int i = 7; i >= 0; --i) value = value << 8 | bytes[i];
    return static_cast<int64_t>(value);
}

uint32_t Pipe::readBlock(void* buffer, uint32_t room) {
    const auto n = static_cast<uint32_t>(readInt());
    if (n > room) throw win32ErrorException("System::Pipe::readBlock", Platform::os::kErrorBrokenPipe);
    if (n > 0) read(buffer, n);
    return n;
}

void Pipe::readString(std::wstring& text) {
    const auto n = static_cast<uint32_t>(readInt());
    if (n > kStringMax) throw win32ErrorException("System::Pipe::readString", Platform::os::kErrorBrokenPipe);
    std::vector<uint8_t> bytes(size_t{n} * 2);
    if (n > 0) read(bytes.data(), bytes.size());
    std::u16string units(n, u'\0');
    for (uint32_t i = 0; i < n; ++i) units[i] = static_cast<char16_t>(bytes[2 * i] | bytes[2 * i + 1] << 8);
    text = utf16ToWide(units);
}

void Pipe::write(const void* buffer, size_t n) {
    size_t done = 0;
    if (Platform::failed(Platform::os::writeFully(writeFd_, buffer, n, done))) {
        if (Platform::os::lastError() == EPIPE)
            throw win32ErrorException("System::Pipe::write", Platform::os::kErrorBrokenPipe);
        throw lastErrorException("WriteFile", "System::Pipe::write");
    }
    if (done != n) throw win32ErrorException("System::Pipe::write", Platform::os::kErrorBrokenPipe);
}

void Pipe::writeInt(int32_t value) {
    const auto v = static_cast<uint32_t>(value);
    const uint8_t bytes[4] = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v >> 16),
                              static_cast<uint8_t>(v >> 24)};
    write(bytes, 4);
}

void Pipe::writeInt64(int64_t value) {
    auto v = static_cast<uint64_t>(value);
    uint8_t bytes[8];
    for (uint8_t& b : bytes) {
        b = static_cast<uint8_t>(v);
        v >>= 8;
    }
    write(bytes, 8);
}

void Pipe::writeBlock(const void* buffer, uint32_t n) {
    writeInt(static_cast<int32_t>(n));
    if (n > 0) write(buffer, n);
}

void Pipe::writeString(const std::wstring& text) {
    writeString(wideToUtf16(std::wstring_view(text.c_str())));  // up to the first NUL
}

void Pipe::writeString(const std::u16string& units) {
    std::vector<uint8_t> bytes(4 + units.size() * 2);
    const auto n = static_cast<uint32_t>(units.size());
    for (int i = 0; i < 4; ++i) bytes[i] = static_cast<uint8_t>(n >> (8 * i));
    for (size_t i = 0; i < units.size(); ++i) {
        bytes[4 + 2 * i] = static_cast<uint8_t>(units[i]);
        bytes[5 + 2 * i] = static_cast<uint8_t>(units[i] >> 8);
    }
    write(bytes.data(), bytes.size());
}

}  // namespace System
