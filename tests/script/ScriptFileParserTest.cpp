#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "core/TextConvert.h"
#include "script/ScriptFileParser.h"
#include "support/LogCapture.h"

namespace {

using Effect::ScriptFileParser;

std::string describe(const std::vector<ScriptFileParser::ScriptSection>& sections) {
    std::string out;
    for (const auto& s : sections) out += "<" + System::wideToUtf8(s.name) + ">" + s.text + "|";
    return out;
}

TEST(ScriptFileParserTest, SplitsMultiScriptTexts) {
    struct Case {
        const char* text;
        const wchar_t* fileName;
        const char* scripts;
    };
    const Case cases[] = {
        {"@A\na1\n@B\r\nb1\r\nb2", L"", "<A>a1\n|<B>b1\r\nb2|"},
        {"lost\n@ A \nx\n", L"@Set", "<A@Set>x\n|"},
        {"@\nnameless\n@B\rb", L"", "<B>b|"},
        {"@A", L"", "<A>|"},
        {"no header at all", L"", ""},
        {"", L"", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(describe(ScriptFileParser::splitScripts(c.text, c.fileName)), c.scripts);
}

TEST(ScriptFileParserTest, ReadsFilesByTheirKind) {
    const auto folder = std::filesystem::temp_directory_path() / ("velmo-script-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    const auto write = [&](const char* name, const std::string& text) {
        std::ofstream(folder / name, std::ios::binary) << text;
        return System::utf8ToWide((folder / name).string());
    };
    EXPECT_EQ(describe(ScriptFileParser::loadScriptFile(write("Blur.anm2", "@A\nx\n"), false, false)),
              "<Blur>@A\nx\n|");
    EXPECT_EQ(describe(ScriptFileParser::loadScriptFile(write("@Set.anm2", "@A\na\n@B\nb\n"), false, false)),
              "<A@Set>a\n|<B@Set>b\n|");
    EXPECT_EQ(describe(ScriptFileParser::loadScriptFile(write("script.anm2", "@A\na\n"), false, true)), "<A>a\n|");
    // An older file in the system code page arrives as UTF-8.
    EXPECT_EQ(describe(ScriptFileParser::loadScriptFile(write("Old.anm", "-- \x93\xfa\x96\x7b\n"), true, false)),
              "<Old>-- 日本\n|");

    LogCapture log;
    EXPECT_TRUE(
        ScriptFileParser::loadScriptFile(System::utf8ToWide((folder / "none.anm2").string()), false, false).empty());
    ASSERT_EQ(log.lines.size() >= 1, true);
    EXPECT_EQ(log.lines.back().level, "WARN");
    EXPECT_EQ(log.lines.back().scope, "Effect::ScriptFileParser::loadScriptFile");
    EXPECT_EQ(log.lines.back().message.rfind("script file load faild.\n", 0), 0u);
    std::filesystem::remove_all(folder);
}

}  // namespace
