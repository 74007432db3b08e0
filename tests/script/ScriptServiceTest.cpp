#include <gtest/gtest.h>

#include <functional>

#include "core/ServiceHolder.h"
#include "script/LuaJitScript.h"
#include "script/LuaScript.h"
#include "script/ScriptService.h"
#include "effect/ScriptMovement.h"
#include "support/LogCapture.h"

namespace {

using Plugin::ScriptService;

std::string messageOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const std::exception& e) {
        return e.what();
    }
    return "(no exception)";
}

TEST(ScriptServiceTest, RegistersBothEnginesWithoutLoadingThem) {
    LogCapture log;
    System::ServiceHolder<ScriptService> holder;
    ScriptService* service = ScriptService::get();
    ASSERT_NE(service, nullptr);
    EXPECT_EQ(service->size(), 2u);

    ASSERT_GE(log.lines.size(), 2u);
    EXPECT_EQ(log.lines[0].scope, "Plugin::ScriptService::registerPlugin");
    EXPECT_EQ(log.lines[0].message, "register script plugin [Lua5.1.4]");
    EXPECT_EQ(log.lines[1].message, "register script plugin [LuaJIT2.1]");

    const auto jit = service->findScriptPlugin();
    EXPECT_NE(dynamic_cast<Plugin::LuaJitScript*>(jit.get()), nullptr);
    EXPECT_EQ(jit->name, "luaJIT");
    EXPECT_EQ(jit->moduleFile, Plugin::LuaJitScript::kModuleFile);
    const auto lua = service->findScriptPlugin("lua");
    EXPECT_NE(dynamic_cast<Plugin::LuaScript*>(lua.get()), nullptr);
    EXPECT_EQ(lua->description, L"Lua5.1.4");
    EXPECT_FALSE(static_cast<Plugin::LuaBase&>(*lua).module().loaded());
    EXPECT_FALSE(static_cast<Plugin::LuaBase&>(*jit).module().loaded());

    for (const char* unknown : {"LuaJIT", "", "lua "}) {
        const std::string thrown = messageOf([&] { (void)service->findScriptPlugin(unknown); });
        EXPECT_EQ(thrown.rfind("not found script plugin.", 0), 0u) << unknown;
        EXPECT_NE(thrown.find("Plugin::ScriptService::findScriptPlugin"), std::string::npos);
    }
}

TEST(ScriptServiceTest, ARegisteredNameKeepsItsEngine) {
    System::ServiceHolder<ScriptService> holder;
    ScriptService* service = ScriptService::get();
    const auto first = service->findScriptPlugin("lua");
    service->registerPlugin<Plugin::LuaScript>();
    EXPECT_EQ(service->findScriptPlugin("lua"), first);
    EXPECT_EQ(service->size(), 2u);
}

TEST(ScriptServiceTest, MovementScriptsFindTheirEngineThroughTheService) {
    {
        System::ServiceHolder<ScriptService> holder;
        Effect::ScriptMovement movement(L"m", "--script:lua\nreturn 1\n");
        movement.makeScriptParams(nullptr, L"luaJIT");
        EXPECT_EQ(movement.engine, ScriptService::get()->findScriptPlugin("lua"));
        Effect::ScriptMovement plain(L"p", "return 1\n");
        plain.makeScriptParams(nullptr, L"luaJIT");
        EXPECT_EQ(plain.engine, ScriptService::get()->findScriptPlugin());
    }
    // Without the service no engine is found.
    Effect::ScriptMovement later(L"l", "return 1\n");
    later.makeScriptParams(nullptr, L"luaJIT");
    EXPECT_EQ(later.engine, nullptr);
}

}  // namespace
