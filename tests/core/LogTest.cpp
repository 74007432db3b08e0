#include "core/Log.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <memory>
#include <regex>
#include <string>
#include <thread>

#include "core/BadFunctionCall.h"
#include "core/TextConvert.h"
#include "support/LogCapture.h"

namespace {

TEST(Log, LevelsHaveTheirNamesLevelsAndColours) {
    using namespace System::Log;
    const struct {
        const Type* type;
        const char* name;
        int level;
        uint32_t color;
    } rows[] = {{&kVerbose, "VERBOSE", 1, 0xcccccc},
                {&kInfo, "INFO", 2, 0xffffff},
                {&kScript, "SCRIPT", 2, 0x7fff7f},
                {&kWarn, "WARN", 3, 0xffff7f},
                {&kError, "ERROR", 4, 0xff7f7f}};
    for (const auto& row : rows) {
        EXPECT_STREQ(row.type->name, row.name);
        EXPECT_EQ(row.type->level, row.level);
        EXPECT_EQ(row.type->color, row.color);
    }
}

TEST(Log, FrontEndsReachTheHandlerWithTheirLevel) {
    LogCapture log;
    System::Log::verbose("A::b", "v %d", 1);
    System::Log::info("A::b", L"i %ls %d", L"\u65e5\u672c", 2);
    System::Log::warn("A::b", "w %s", "x");
    System::Log::error("A::b", L"e %p", reinterpret_cast<void*>(0xabcULL));
    System::Log::script(L"\u30b9\u30af\u30ea\u30d7\u30c8.obj2", "s %d", 5);
    System::Log::script(L"name", L"%ls", L"wide");
    ASSERT_EQ(log.lines.size(), 6u);
    EXPECT_EQ(log.lines[0].level, "VERBOSE");
    EXPECT_EQ(log.lines[0].message, "v 1");
    EXPECT_EQ(log.lines[1].level, "INFO");
    EXPECT_EQ(log.lines[1].message, "i \xe6\x97\xa5\xe6\x9c\xac 2");
    EXPECT_EQ(log.lines[2].level, "WARN");
    EXPECT_EQ(log.lines[3].level, "ERROR");
    EXPECT_EQ(log.lines[3].message, "e 0000000000000ABC");
    EXPECT_EQ(log.lines[4].level, "SCRIPT");
    EXPECT_EQ(log.lines[4].scope, "\xe3\x82\xb9\xe3\x82\xaf\xe3\x83\xaa\xe3\x83\x97\xe3\x83\x88.obj2");
    EXPECT_EQ(log.lines[4].message, "s 5");
    EXPECT_EQ(log.lines[5].scope, "name");
    EXPECT_EQ(log.lines[5].message, "wide");
    for (const auto& l : log.lines) EXPECT_EQ(l.scope.empty(), false);
}

TEST(Log, MessagesAreCutAt1023) {
    LogCapture log;
    const std::string narrow(5000, 'a');
    const std::wstring wide(5000, L'\u3042');
    System::Log::info("S", "%s", narrow.c_str());
    System::Log::info("S", L"%ls", wide.c_str());
    EXPECT_EQ(log.lines.at(0).message.size(), 1023u);
    // The wide text is cut at 1023 characters, then its UTF-8 form at 1023 bytes.
    EXPECT_LE(log.lines.at(1).message.size(), 1023u);
    EXPECT_GT(log.lines.at(1).message.size(), 1000u);
}

// Whether text is whole UTF-8: every lead byte followed by all its continuation bytes.
bool wholeUtf8(const std::string& text) {
    for (size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const size_t need = lead < 0x80 ? 1 : lead >= 0xf0 ? 4 : lead >= 0xe0 ? 3 : lead >= 0xc0 ? 2 : 0;
        if (need == 0 || i + need > text.size()) return false;
        for (size_t k = 1; k < need; ++k)
            if ((static_cast<unsigned char>(text[i + k]) & 0xc0) != 0x80) return false;
        i += need;
    }
    return true;
}

TEST(Log, CutsFallOnCharacterBoundaries) {
    // ASCII padding shifts where 1023 bytes end inside the 2-, 3- and 4-byte characters.
    const struct {
        const char* name;
        const char* character;
    } characters[] = {{"two bytes", "\xc3\xa9"}, {"three bytes", "\xe3\x81\x82"}, {"four bytes", "\xf0\x9f\x8e\xac"}};
    for (const auto& c : characters) {
        for (size_t pad = 0; pad < 4; ++pad) {
            std::string text(pad, 'a');
            while (text.size() < 3000) text += c.character;
            const std::wstring wide = System::utf8ToWide(text);
            LogCapture log;
            System::Log::info("S", "%s", text.c_str());
            System::Log::info("S", L"%ls", wide.c_str());
            char line[System::Log::kLineBufferSize];
            System::Log::formatLine(line, "INFO", "S", text.c_str());
            const std::string cuts[] = {log.lines.at(0).message, log.lines.at(1).message, line};
            for (const std::string& cut : cuts) {
                SCOPED_TRACE(std::string(c.name) + " after " + std::to_string(pad) + " bytes");
                EXPECT_TRUE(wholeUtf8(cut));
                EXPECT_LE(cut.size(), 1023u);
                EXPECT_GE(cut.size(), 1020u);
            }
            EXPECT_EQ(text.compare(0, cuts[0].size(), cuts[0]), 0);
            EXPECT_EQ(text.compare(0, cuts[1].size(), cuts[1]), 0);
        }
    }
}

TEST(Log, FormatLine) {
    char line[System::Log::kLineBufferSize];
    System::Log::formatLine(line, "WARN", "Edit::X", "hello");
    EXPECT_TRUE(std::regex_match(line, std::regex(R"(\[\d\d/\d\d \d\d:\d\d:\d\d\] \[WARN\] \[Edit::X\] hello\n)")))
        << line;

    const std::string longMessage(2000, 'z');
    System::Log::formatLine(line, "INFO", "S", longMessage.c_str());
    EXPECT_EQ(std::string(line).size(), 1023u);
    EXPECT_NE(std::string(line).back(), '\n');
}

TEST(Log, NoHandlerIsABadFunctionCall) {
    System::Log::setHandler(nullptr);
    try {
        System::Log::info("S", "x");
        ADD_FAILURE() << "no exception";
    } catch (const std::bad_function_call& e) {
        EXPECT_STREQ(e.what(), "bad function call");
    }
    System::Log::setHandler(System::Log::defaultHandler);
    System::Log::info("S", "dropped by the default handler");
}

// A handler replaced while another thread is inside it has finished that
// call when setHandler returns, so what it captured may be destroyed then
// (a test's log tap was destroyed under a notification thread's line, which
// then waited forever on the tap's freed mutex). A handler writing a line of
// its own meanwhile does not wait for the replacement.
TEST(Log, ReplacingTheHandlerWaitsForCallsInsideIt) {
    std::promise<void> entered, release;
    std::shared_future<void> released = release.get_future().share();
    auto finished = std::make_shared<std::atomic<bool>>(false);
    std::atomic<int> nested{0};
    System::Log::setHandler([&, finished](const System::Log::Type&, const char*, const char* message) {
        if (std::string(message) == "inner") {
            ++nested;
            return;
        }
        entered.set_value();
        released.wait();
        System::Log::info("S", "inner");
        finished->store(true);
    });
    std::thread writer([] { System::Log::info("S", "outer"); });
    entered.get_future().wait();
    std::future<bool> swapped = std::async(std::launch::async, [finished] {
        System::Log::setHandler(System::Log::defaultHandler);
        return finished->load();
    });
    // The replacement must still be waiting; if it came back at once the
    // old handler was still running.
    if (swapped.wait_for(std::chrono::milliseconds(100)) == std::future_status::ready)
        ADD_FAILURE() << "setHandler returned while the old handler ran";
    release.set_value();
    EXPECT_TRUE(swapped.get());
    writer.join();
    EXPECT_EQ(nested.load(), 1);
}

}  // namespace
