#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

// The framing on the pipes to the plug-in host programs, little-endian:
// an int is 4 bytes; a string is an int count n of UTF-16 code units and 2n
// bytes, no terminator (a reader refuses n > 4096); a block is an int byte
// count n and n bytes (a reader refuses n beyond the room it offers).
// Every failure throws: a failed call "ReadFile" / "WriteFile", a short
// transfer or a refused count the broken-pipe error 109. A read waits for
// the other side only as long as the waiting rule allows, so a host that
// hangs cannot hold the editor.
namespace System {

class Pipe {
public:
    // Asked about every 100 ms, with the milliseconds waited so far, while a
    // read has nothing to take; false gives up with the time-out error.
    // Without a rule a read waits for good.
    using KeepWaiting = std::function<bool(uint64_t waitedMs)>;
    static constexpr uint32_t kStringMax = 4096;

    Pipe(int readFd, int writeFd) : readFd_(readFd), writeFd_(writeFd) {}
    void setKeepWaiting(KeepWaiting keepWaiting) { keepWaiting_ = std::move(keepWaiting); }
    // Waiting up to timeoutMs for each piece of a reply.
    static KeepWaiting timeout(uint32_t timeoutMs) {
        return [timeoutMs](uint64_t waitedMs) { return waitedMs < timeoutMs; };
    }

    void read(void* buffer, size_t n);
    int32_t readInt();
    int64_t readInt64();
    // Returns the byte count.
    uint32_t readBlock(void* buffer, uint32_t room);
    void readString(std::wstring& text);

    void write(const void* buffer, size_t n);
    void writeInt(int32_t value);
    void writeInt64(int64_t value);
    void writeBlock(const void* buffer, uint32_t n);
    // The text up to its first NUL.
    void writeString(const std::wstring& text);
    // Every unit, NULs inside included.
    void writeString(const std::u16string& units);

private:
    void waitForData();

    int readFd_;
    int writeFd_;
    KeepWaiting keepWaiting_;
};

}  // namespace System
