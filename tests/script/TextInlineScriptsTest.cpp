#include <gtest/gtest.h>

#include <functional>

#include "core/ServiceHolder.h"
#include "effect/RenderContext.h"
#include "script/ScriptService.h"
#include "script/TextInlineScripts.h"
#include "support/LogCapture.h"

namespace {

TEST(TextInlineScriptsTest, TheServiceInstallsTheRunnerForItsLifetime) {
    Effect::TextInput::InlineScripts* before = Effect::TextInput::setInlineScripts(nullptr);
    {
        System::ServiceHolder<Plugin::ScriptService> service;
        Effect::TextInput::InlineScripts* installed = Effect::TextInput::setInlineScripts(nullptr);
        EXPECT_NE(dynamic_cast<Plugin::TextInlineScripts*>(installed), nullptr);
        Effect::TextInput::setInlineScripts(installed);
    }
    EXPECT_EQ(Effect::TextInput::setInlineScripts(before), nullptr);
}

TEST(TextInlineScriptsTest, ABlockIsReplacedByWhatItWrites) {
    System::ServiceHolder<Plugin::ScriptService> service;
    struct Case {
        const wchar_t* code;
        const wchar_t* written;
    };
    const Case cases[] = {
        {L"mes('a') mes(1 + 2) obj.mes('b')", L"a3b"},
        {L"mes('日本')", L"日本"},
        {L"local x = 1", L""},
        {L"mes(obj.frame) mes(obj.w)", L"00"},  // measuring: no object, zeros
    };
    for (const Case& c : cases) EXPECT_EQ(Plugin::TextInlineScripts::runBlock(L"テキスト", c.code, nullptr), c.written);

    // A failing block throws after its log line; a wrong argument is a Lua error.
    for (const wchar_t* failing : {L"mes(", L"mes(nil)", L"mes('x') error('stop')"}) {
        LogCapture log;
        EXPECT_THROW(Plugin::TextInlineScripts::runBlock(L"テキスト", failing, nullptr), std::runtime_error);
        ASSERT_FALSE(log.lines.empty());
        EXPECT_EQ(log.lines.back().level, "SCRIPT");
        EXPECT_EQ(log.lines.back().scope, "テキスト");
    }
}

}  // namespace
