#include "core/PipeProcess.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <regex>
#include <thread>

#include "core/TextConvert.h"
#include "platform/os/Pipe.h"
#include "support/LogCapture.h"

namespace {

const std::wstring kChild = System::utf8ToWide(VELMO_TEST_PIPE_CHILD);

struct ChildMode {
    explicit ChildMode(const char* mode) { setenv("VELMO_PIPE_CHILD_MODE", mode, 1); }
    ~ChildMode() { unsetenv("VELMO_PIPE_CHILD_MODE"); }
};

void sendBlock(System::PipeProcess& process, const std::string& block) {
    const auto size = static_cast<uint32_t>(block.size());
    size_t done = 0;
    ASSERT_EQ(Platform::os::writeFully(process.writePipe(), &size, sizeof size, done), Platform::kOk);
    ASSERT_EQ(Platform::os::writeFully(process.writePipe(), block.data(), block.size(), done), Platform::kOk);
}

std::string receiveBlock(System::PipeProcess& process) {
    uint32_t size = 0;
    size_t done = 0;
    (void)Platform::os::readFully(process.readPipe(), &size, sizeof size, done);
    if (done != sizeof size) return "<closed>";
    std::string block(size, '\0');
    (void)Platform::os::readFully(process.readPipe(), block.data(), size, done);
    return block;
}

TEST(PipeProcess, ChildEchoesFramedBlocksAndEndsWhenThePipesClose) {
    ChildMode mode("echo");
    System::PipeProcess process;
    EXPECT_FALSE(process.isAlive());
    process.start(kChild);
    EXPECT_TRUE(process.isAlive());
    const std::string big(300000, 'z');  // more than a pipe buffer
    for (const std::string& block : {std::string("hello"), std::string(), big}) {
        sendBlock(process, block);
        EXPECT_EQ(receiveBlock(process), block);
    }
    LogCapture log;
    process.terminate();
    EXPECT_TRUE(log.lines.empty());  // it ended by itself: no kill
    EXPECT_FALSE(process.isAlive());
    EXPECT_EQ(process.readPipe(), -1);
    process.terminate();  // nothing open: nothing happens
}

TEST(PipeProcess, AChildThatExitsIsNoLongerAlive) {
    ChildMode mode("exit");
    System::PipeProcess process;
    process.start(kChild);
    for (int i = 0; i < 1000 && process.isAlive(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_FALSE(process.isAlive());
}

TEST(PipeProcess, AHangingChildIsKilledAfterTheTimeout) {
    ChildMode mode("hang");
    System::PipeProcess process;
    process.start(kChild);
    const int pid = process.processId();
    LogCapture log;
    process.terminate();
    ASSERT_EQ(log.lines.size(), 1u);
    EXPECT_EQ(log.lines[0].level, "WARN");
    EXPECT_EQ(log.lines[0].scope, "System::PipeProcess::terminate");
    char expected[64];
    std::snprintf(expected, sizeof expected, "kill pipe process [%016X]", pid);
    EXPECT_EQ(log.lines[0].message, expected);
    EXPECT_FALSE(process.isAlive());
}

TEST(PipeProcess, AMissingExecutableFailsWithEveryHandleClosed) {
    LogCapture log;
    System::PipeProcess process;
    try {
        process.start(L"/nonexistent/pipe32vin");
        ADD_FAILURE();
    } catch (const std::runtime_error& e) {
        EXPECT_EQ(std::string(e.what()).rfind("CreateProcess() failed.", 0), 0u) << e.what();
        EXPECT_NE(std::string(e.what()).find("System::PipeProcess::start()"), std::string::npos);
    }
    EXPECT_EQ(process.readPipe(), -1);
    EXPECT_EQ(process.writePipe(), -1);
    EXPECT_EQ(process.mutexHandle(), -1);
    EXPECT_FALSE(process.isAlive());
}

TEST(PipeProcess, WaitReturnsWhenTheChildLetsGoOfTheMutex) {
    ChildMode mode("mutex");
    System::PipeProcess process;
    process.start(kChild);
    sendBlock(process, std::to_string(process.mutexHandle()));  // the handle value the child is told
    ASSERT_EQ(receiveBlock(process), "held");
    auto release = std::async(std::launch::async, [&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        sendBlock(process, "release");
    });
    process.waitMutexProcessMessage(nullptr);
    release.get();
    sendBlock(process, "still there");
    EXPECT_EQ(receiveBlock(process), "still there");
}

}  // namespace
