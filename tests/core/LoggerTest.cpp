#include "core/Logger.h"

#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <thread>

#include "support/LoggerFixture.h"

namespace {

class LoggerTest : public LoggerFixture {
protected:
    std::vector<std::filesystem::path> logFiles() const {
        std::vector<std::filesystem::path> files;
        for (const auto& e : std::filesystem::directory_iterator(appData() / "Log")) files.push_back(e.path());
        std::sort(files.begin(), files.end());
        return files;
    }
};

TEST_F(LoggerTest, DefaultLevelsRouteLinesToTheirSinks) {
    start();
    const int32_t before = logger().revision();
    System::Log::verbose("Scope", "nowhere");
    EXPECT_EQ(logger().revision(), before);
    System::Log::info("Scope", "to the view");
    System::Log::script(L"script.lua", "script line");
    EXPECT_EQ(logger().revision(), before + 2);
    EXPECT_TRUE(logger().logFilePath().empty());

    System::Log::error("Scope", "first error");
    System::Log::warn("Scope", "a warning");
    const auto files = logFiles();
    ASSERT_EQ(files.size(), 1u);
    EXPECT_TRUE(std::regex_match(files[0].filename().string(),
                                 std::regex(R"(velmo2_\d{4}-\d\d-\d\d_\d\d-\d\d-\d\d-\d{3}\.log)")));
    const std::string content = readFile(files[0]);
    EXPECT_TRUE(
        std::regex_match(content, std::regex(R"(\[\d\d/\d\d \d\d:\d\d:\d\d\] \[ERROR\] \[Scope\] first error\n)")))
        << content;
    Platform::os::MutexLock lock(logger().mutex());
    EXPECT_EQ(logger().viewLines().front().text.substr(17), "[WARN] [Scope] a warning");
    EXPECT_EQ(logger().viewLines()[2].text.substr(17), "[SCRIPT] [script.lua] script line");
}

TEST_F(LoggerTest, MultiLineMessagesBecomeSeveralRingEntries) {
    start("MaxViewLine=3\n");
    const int32_t before = logger().revision();
    System::Log::info("S", "one\ntwo");
    EXPECT_EQ(logger().revision(), before + 2);
    {
        Platform::os::MutexLock lock(logger().mutex());
        ASSERT_EQ(logger().viewLines().size(), 2u);
        EXPECT_EQ(logger().viewLines()[0].text, "two");
        EXPECT_NE(logger().viewLines()[1].text.find("[INFO] [S] one"), std::string::npos);
    }
    System::Log::info("S", "three\r\nfour");
    Platform::os::MutexLock lock(logger().mutex());
    EXPECT_EQ(logger().viewLines().size(), 3u);
    EXPECT_EQ(logger().viewLines()[0].text, "four");
}

TEST_F(LoggerTest, RingLimitsAndSwitchedOffSinks) {
    struct Case {
        const char* settings;
        size_t ringSize;
    } cases[] = {{"MaxViewLine=0\n", 0}, {"MaxViewLine=-1\n", 6}, {"ViewLogLevel=0\n", 0}, {"ViewLogLevel=5\n", 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.settings);
        start(c.settings);
        const int32_t before = logger().revision();
        for (int i = 0; i < 6; ++i) System::Log::warn("S", "line %d", i);
        Platform::os::MutexLock lock(logger().mutex());
        EXPECT_EQ(logger().viewLines().size(), c.ringSize);
        EXPECT_EQ(logger().revision() > before, std::string(c.settings).rfind("Max", 0) == 0);
    }
}

TEST_F(LoggerTest, PruningKeepsTheNewestAndNeverTheOpenFile) {
    struct Case {
        const char* settings;
        size_t kept;  // old files left beside the new one
    } cases[] = {{"MaxFileNum=5\n", 4}, {"MaxFileNum=0\n", 0}, {"MaxFileNum=-1\n", 7}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.settings);
        std::filesystem::remove_all(appData() / "Log");
        std::vector<std::string> old;
        for (int i = 1; i <= 7; ++i) {
            old.push_back("velmo2_2020-01-0" + std::to_string(i) + "_00-00-00-000.log");
            writeFile(appData() / "Log" / old.back(), "old\n");
        }
        writeFile(appData() / "Log" / "notes.txt", "not a log\n");
        start(c.settings);
        System::Log::error("S", "new file");
        const std::wstring current = logger().logFilePath();
        auto files = logFiles();
        EXPECT_TRUE(std::filesystem::exists(System::wideToUtf8(current)));
        EXPECT_TRUE(std::filesystem::exists(appData() / "Log" / "notes.txt"));
        EXPECT_EQ(files.size(), c.kept + 2);
        for (size_t i = 0; i < c.kept; ++i)
            EXPECT_TRUE(std::filesystem::exists(appData() / "Log" / old[old.size() - 1 - i]));
    }
}

TEST_F(LoggerTest, ConcurrentLinesAreNeitherLostNorInterleaved) {
    start("ViewLogLevel=2\nFileLogLevel=2\nMaxViewLine=-1\n");
    constexpr int kThreads = 8, kLines = 2000;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([t] {
            for (int i = 0; i < kLines; ++i) System::Log::info("Worker", "thread %d line %d end", t, i);
        });
    for (auto& thread : threads) thread.join();
    const std::string content = readFile(System::wideToUtf8(logger().logFilePath()));
    std::set<std::string> seen;
    size_t lines = 0;
    const std::regex pattern(R"(\[\d\d/\d\d \d\d:\d\d:\d\d\] \[INFO\] \[Worker\] (thread \d+ line \d+) end)");
    for (size_t start = 0, end; (end = content.find('\n', start)) != std::string::npos; start = end + 1) {
        std::smatch match;
        const std::string line = content.substr(start, end - start);
        ASSERT_TRUE(std::regex_match(line, match, pattern)) << line;
        seen.insert(match[1]);
        ++lines;
    }
    EXPECT_EQ(lines, size_t{kThreads * kLines});
    EXPECT_EQ(seen.size(), size_t{kThreads * kLines});
    Platform::os::MutexLock lock(logger().mutex());
    EXPECT_EQ(logger().viewLines().size(), size_t{kThreads * kLines});
}

TEST_F(LoggerTest, HandlerIsRestoredAndSettingsWrittenBack) {
    start("MaxFileNum=3\n");
    logger_.reset();
    System::Log::error("S", "after the logger");  // the default handler: no file
    EXPECT_TRUE(logFiles().empty());
    settings_.reset();
    const std::string ini = readFile(appData() / "velmo2.ini");
    EXPECT_NE(ini.find("MaxFileNum=3\r\n"), std::string::npos);
    EXPECT_NE(ini.find("MaxViewLine=200\r\n"), std::string::npos);
}

}  // namespace
