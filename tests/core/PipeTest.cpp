#include "core/Pipe.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "platform/os/Pipe.h"
#include "support/LogCapture.h"

namespace {

// Both ends of one anonymous pipe: what is written is read back.
struct Loop {
    int readEnd = -1, writeEnd = -1;
    Loop() { EXPECT_EQ(Platform::os::createPipe(readEnd, writeEnd), Platform::kOk); }
    ~Loop() {
        Platform::os::closeDescriptor(readEnd);
        Platform::os::closeDescriptor(writeEnd);
    }
    System::Pipe pipe() const { return System::Pipe(readEnd, writeEnd); }
    void raw(const std::string& bytes) const {
        size_t done = 0;
        ASSERT_EQ(Platform::os::writeFully(writeEnd, bytes.data(), bytes.size(), done), Platform::kOk);
    }
};

std::string what(const std::function<void()>& f) {
    try {
        f();
    } catch (const std::exception& e) {
        return e.what();
    }
    return "<nothing thrown>";
}

TEST(Pipe, IntsStringsAndBlocksComeBackAsWritten) {
    LogCapture quiet;
    Loop loop;
    System::Pipe pipe = loop.pipe();
    pipe.writeInt(-7);
    pipe.writeInt64(-(int64_t{1} << 40));
    pipe.writeString(std::wstring(L"名前\0after the NUL", 17));  // up to the first NUL
    pipe.writeString(std::u16string(u"a\0b\0", 4));                // every unit
    pipe.writeString(std::wstring(L"\U0001F600"));                 // a surrogate pair
    pipe.writeBlock("abc", 3);
    pipe.writeBlock(nullptr, 0);
    EXPECT_EQ(pipe.readInt(), -7);
    EXPECT_EQ(pipe.readInt64(), -(int64_t{1} << 40));
    std::wstring text;
    pipe.readString(text);
    EXPECT_EQ(text, L"名前");
    pipe.readString(text);
    EXPECT_EQ(text, std::wstring(L"a\0b\0", 4));
    pipe.readString(text);
    EXPECT_EQ(text, L"\U0001F600");
    char block[8] = {};
    EXPECT_EQ(pipe.readBlock(block, sizeof block), 3u);
    EXPECT_EQ(std::string(block, 3), "abc");
    EXPECT_EQ(pipe.readBlock(block, sizeof block), 0u);
}

// What a reader refuses, and what an ended or silent writer gives.
TEST(Pipe, ReadsThatCannotBeHonouredThrow) {
    LogCapture quiet;
    const auto longString = [](uint32_t n) {
        std::string bytes(reinterpret_cast<const char*>(&n), 4);
        return bytes + std::string(size_t{n} * 2, 'x');
    };
    struct Case {
        const char* name;
        std::string bytes;
        bool close;  // the writer goes after the bytes
        std::function<void(System::Pipe&)> read;
        const char* error;  // empty: accepted
        const char* place;
    } cases[] = {
        {"string of 4096 units", longString(4096), false, [](System::Pipe& p) { std::wstring t; p.readString(t); }, "", ""},
        {"string of 4097 units", longString(4097), false, [](System::Pipe& p) { std::wstring t; p.readString(t); },
         "The pipe has been ended.", "System::Pipe::readString()"},
        {"block beyond its room", std::string("\x05\0\0\0hello", 9), false,
         [](System::Pipe& p) { char b[4]; (void)p.readBlock(b, 4); },
         "The pipe has been ended.", "System::Pipe::readBlock()"},
        {"block of exactly its room", std::string("\x04\0\0\0hell", 8), false,
         [](System::Pipe& p) { char b[4]; (void)p.readBlock(b, 4); }, "", ""},
        {"negative count", std::string("\xff\xff\xff\xff", 4), false,
         [](System::Pipe& p) { char b[4]; (void)p.readBlock(b, 4); },
         "The pipe has been ended.", "System::Pipe::readBlock()"},
        {"short read", std::string("\x01\0", 2), true, [](System::Pipe& p) { (void)p.readInt(); },
         "The pipe has been ended.", "System::Pipe::read()"},
        {"silent writer", std::string(), false, [](System::Pipe& p) { (void)p.readInt(); },
         "Connection timed out", "System::Pipe::read()"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Loop loop;
        System::Pipe pipe = loop.pipe();
        pipe.setKeepWaiting(System::Pipe::timeout(200));
        std::thread writer([&] {
            loop.raw(c.bytes);
            if (c.close) Platform::os::closeDescriptor(loop.writeEnd);
        });
        writer.join();
        const std::string error = what([&] { c.read(pipe); });
        if (*c.error == '\0')
            EXPECT_EQ(error, "<nothing thrown>");
        else {
            EXPECT_NE(error.find(c.error), std::string::npos) << error;
            EXPECT_NE(error.find(c.place), std::string::npos) << error;
        }
    }
}

TEST(Pipe, AWriteToAPipeWithoutReaderIsABrokenPipe) {
    LogCapture quiet;
    Loop loop;
    Platform::os::closeDescriptor(loop.readEnd);
    System::Pipe pipe = loop.pipe();
    const std::string error = what([&] { pipe.writeInt(1); });
    EXPECT_NE(error.find("The pipe has been ended."), std::string::npos) << error;
    EXPECT_NE(error.find("System::Pipe::write()"), std::string::npos) << error;
}

}  // namespace
