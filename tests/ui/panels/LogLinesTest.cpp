// The log panel's lines: what reaches the view from the logger's ring, in
// which order and colour, and where the scroll position lands.
#include "ui/panels/LogLines.h"

#include <gtest/gtest.h>

#include <thread>

#include "support/LoggerFixture.h"

namespace {

using Component::LogLines;

class LogLinesTest : public LoggerFixture {
protected:
    void start(const std::string& loggerSection = "") {
        // The panels' style metrics are read with the settings.
        writeFile(install() / "style.conf",
                  "[Layout]\nSettingItemHeight=20\nExplorerHeaderHeight=28\nListItemHeight=24\n");
        LoggerFixture::start(loggerSection);
    }
    // The message part of each copied line (a continuation line is all message), newest first.
    static std::vector<std::string> messages(const std::vector<LogLines::Line>& lines) {
        std::vector<std::string> out;
        for (const LogLines::Line& line : lines) {
            const size_t end = line.text.rfind("] ");
            out.push_back(end == std::string::npos ? line.text : line.text.substr(end + 2));
        }
        return out;
    }
};

TEST_F(LogLinesTest, LinesFromWorkerThreadsReachTheViewInTheirOrder) {
    start();
    constexpr int kThreads = 4, kLines = 25;
    std::vector<std::thread> workers;
    for (int t = 0; t < kThreads; ++t)
        workers.emplace_back([t] {
            for (int n = 0; n < kLines; ++n) System::Log::info("Worker", "t%d n%02d", t, n);
        });
    for (std::thread& worker : workers) worker.join();

    LogLines lines;
    lines.visibleLineCount = 1000;
    ASSERT_TRUE(lines.poll(logger()));
    EXPECT_EQ(lines.lineCount, kThreads * kLines);
    EXPECT_FALSE(lines.poll(logger())) << "nothing new, nothing to do";
    const std::vector<std::string> shown = messages(lines.copyWindow(logger()));
    ASSERT_EQ(shown.size(), size_t(kThreads * kLines));
    // Newest first: each thread's lines come out in reverse of their writing.
    std::vector<int> next(kThreads, kLines - 1);
    for (const std::string& text : shown) {
        const int t = text[1] - '0';
        EXPECT_EQ(text, "t" + std::to_string(t) + " n" + (next[t] < 10 ? "0" : "") + std::to_string(next[t]));
        --next[t];
    }
}

TEST_F(LogLinesTest, TheLineLimitDropsTheOldest) {
    start("MaxViewLine=5\n");
    for (int n = 0; n < 8; ++n) System::Log::info("Scope", "line %d", n);
    System::Log::info("Scope", "two\nat once");
    LogLines lines;
    lines.visibleLineCount = 10;
    ASSERT_TRUE(lines.poll(logger()));
    EXPECT_EQ(lines.lineCount, 5);
    EXPECT_EQ(messages(lines.copyWindow(logger())),
              (std::vector<std::string>{"at once", "two", "line 7", "line 6", "line 5"}));
}

TEST_F(LogLinesTest, LevelsPickWhatIsShownAndItsColour) {
    start();
    struct Case {
        const char* what;
        void (*log)();
        bool shown;
        const char* level;
        uint32_t color;
    };
    const Case cases[] = {
        {"verbose stays below the default view level", [] { System::Log::verbose("S", "m"); }, false, "", 0},
        {"info", [] { System::Log::info("S", "m"); }, true, "INFO", 0xFFFFFF},
        {"script", [] { System::Log::script(L"a.lua", "m"); }, true, "SCRIPT", 0x7FFF7F},
        {"warn", [] { System::Log::warn("S", "m"); }, true, "WARN", 0xFFFF7F},
        {"error", [] { System::Log::error("S", "m"); }, true, "ERROR", 0xFF7F7F},
    };
    LogLines lines;
    lines.visibleLineCount = 1;
    (void)lines.poll(logger());
    for (const Case& c : cases) {
        c.log();
        EXPECT_EQ(lines.poll(logger()), c.shown) << c.what;
        if (!c.shown) continue;
        const std::vector<LogLines::Line> copied = lines.copyWindow(logger());
        ASSERT_EQ(copied.size(), 1u) << c.what;
        EXPECT_STREQ(copied[0].type->name, c.level) << c.what;
        EXPECT_EQ(copied[0].type->color, c.color) << c.what;
    }
}

TEST_F(LogLinesTest, ScrollPositionAndShownWindow) {
    start();
    struct Case {
        const char* what;
        int lines, visible, firstLine;
        int expectedFirst;
        std::vector<std::string> shown;
    };
    const Case cases[] = {
        {"fewer lines than fit sit at the bottom", 5, 10, 5, -5, {"4", "3", "2", "1", "0"}},
        {"at the newest", 8, 3, 8, 5, {"7", "6", "5"}},
        {"scrolled to the oldest", 8, 3, 0, 0, {"2", "1", "0"}},
        {"scrolled to the middle", 8, 3, 2, 2, {"4", "3", "2"}},
        {"past the newest comes back", 8, 3, 20, 5, {"7", "6", "5"}},
    };
    for (const Case& c : cases) {
        logger_.reset();
        start();
        for (int n = 0; n < c.lines; ++n) System::Log::info("S", "%d", n);
        LogLines lines;
        lines.visibleLineCount = c.visible;
        (void)lines.poll(logger());
        lines.firstLine = c.firstLine;
        lines.scrollUpdate();
        EXPECT_EQ(lines.firstLine, c.expectedFirst) << c.what;
        EXPECT_EQ(messages(lines.copyWindow(logger())), c.shown) << c.what;
    }
}

TEST_F(LogLinesTest, ANewLineBringsAScrolledViewBackToTheNewest) {
    start();
    for (int n = 0; n < 20; ++n) System::Log::info("S", "%d", n);
    LogLines lines;
    lines.setHeight(100, 20);
    EXPECT_EQ(lines.visibleLineCount, 6);
    (void)lines.poll(logger());
    lines.scrollBy(-100);
    EXPECT_EQ(lines.firstLine, 0);
    System::Log::info("S", "new");
    ASSERT_TRUE(lines.poll(logger()));
    EXPECT_EQ(lines.firstLine, 21 - 6);
    EXPECT_EQ(messages(lines.copyWindow(logger())).front(), "new");
}

TEST(LogLinesShorten, LambdaNamesShrinkAndBadTextIsEmpty) {
    struct Case {
        const char* what;
        std::string text;
        std::wstring expected;
    };
    const Case cases[] = {
        {"plain", "[INFO] [Scope] ok", L"[INFO] [Scope] ok"},
        {"lambda scope", "[Edit::f::<lambda_1>::operator ()] x", L"[Edit::f::<lambda>] x"},
        {"two lambdas, each shortest", "<lambda_a>::operator () <lambda_b>::operator ()", L"<lambda> <lambda>"},
        {"japanese", "ログ", L"ログ"},
        {"invalid bytes", "\xff\xfe", L""},
        {"empty", "", L""},
    };
    for (const Case& c : cases) EXPECT_EQ(LogLines::shorten(c.text), c.expected) << c.what;
}

}  // namespace
