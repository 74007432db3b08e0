#include <gtest/gtest.h>

#include "script/LuaInstance.h"

namespace {

TEST(ScriptErrorTextTest, QuotesTheLinesAroundTheErrorLine) {
    const std::string chunk = "line1\nline2\r\nline3\rline4\nline5";
    struct Case {
        const char* message;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {"[string \"line1...\"]:3: boom", L"boom\r\n> line2\r\n> line3\r\n> line4"},
        {"[string \"line1...\"]:1: boom", L"boom\r\n> line1\r\n> line2\r\n> line3"},
        {"[string \"line1...\"]:2: boom", L"boom\r\n> line1\r\n> line2\r\n> line3"},
        {"[string \"line1...\"]:5: boom", L"boom\r\n> line4\r\n> line5"},
        {"[string \"line1...\"]:9: boom", L"boom"},  // past the end: nothing to quote
        // A chunk name holding brackets of its own.
        {"[string \"a[1]...\"]:4: x y", L"x y\r\n> line3\r\n> line4\r\n> line5"},
        // Plain forms: no chunk name, no line number, no text after it.
        {"plain message", L"plain message"},
        {"[string \"x\"] no colon", L"[string \"x\"] no colon"},
        {"[string \"x\"]:abc: boom", L"[string \"x\"]:abc: boom"},
        {"[string \"x\"]:3:", L"[string \"x\"]:3:"},
        {"[string \"x\"]:99999999999: boom", L"[string \"x\"]:99999999999: boom"},
        {"[unclosed", L"[unclosed"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Plugin::LuaInstance::formatScriptError(c.message, chunk), c.expected) << c.message;
}

}  // namespace
