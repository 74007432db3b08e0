#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <thread>
#include <vector>

#include "script/LuaInstance.h"
#include "script/ScriptTestSupport.h"
#include "support/LogCapture.h"

namespace {

using Plugin::LuaBase;
using Plugin::LuaInstance;

struct EngineKind {
    const char* name;
    std::shared_ptr<LuaBase> (*make)(const wchar_t*);
};

std::shared_ptr<LuaBase> makeLua(const wchar_t* file) {
    return makeEngine<Plugin::LuaScript>(file ? file : Plugin::LuaScript::kModuleFile);
}
std::shared_ptr<LuaBase> makeLuaJit(const wchar_t* file) {
    return makeEngine<Plugin::LuaJitScript>(file ? file : Plugin::LuaJitScript::kModuleFile);
}

class LuaEngineTest : public testing::TestWithParam<EngineKind> {
protected:
    std::shared_ptr<LuaBase> engine = GetParam().make(nullptr);
    MovementRun run;
};

std::string messageOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const std::exception& e) {
        return e.what();
    }
    return "(no exception)";
}

TEST_P(LuaEngineTest, AMovementScriptReturnsItsNumber) {
    struct Case {
        const char* script;
        double expected;
    };
    const Case cases[] = {
        {"return 1.5", 1.5},
        {"return '42'", 42.0},           // a string holding a number
        {"local x = 1", 0.0},            // nothing returned
        {"return 'abc'", 0.0},           // not a number
        {"return 2 ^ 10, 7", 1024.0},    // only the first result counts
        {"return math.floor(7.9)", 7.0}  // the standard libraries are open
    };
    for (const Case& c : cases) EXPECT_DOUBLE_EQ(run.run(*engine, c.script), c.expected) << c.script;
    // Every run used the one state at depth 0.
    EXPECT_EQ(engine->poolSize(), 1u);
    EXPECT_EQ(engine->depth(), 0);
}

TEST_P(LuaEngineTest, GlobalsStayOnTheEngineButNotAcrossEngines) {
    const std::string counter = "counter = (counter or 0) + 1 return counter";
    EXPECT_EQ(run.run(*engine, counter), 1.0);
    EXPECT_EQ(run.run(*engine, counter), 2.0);
    EXPECT_EQ(run.run(*engine, "return counter * 10"), 20.0);  // another script sees it too

    auto other = std::string(GetParam().name) == "lua" ? makeLuaJit(nullptr) : makeLua(nullptr);
    EXPECT_EQ(run.run(*other, counter), 1.0);
}

TEST_P(LuaEngineTest, NestedRunsShareNoStateAndStopAtFourDeep) {
    Effect::ScriptMovement movement(L"nested", "return 0");
    std::vector<std::unique_ptr<Plugin::ScriptPluginInstance>> nested;
    std::vector<lua_State*> states;
    for (int i = 0; i < LuaBase::kMaxDepth; ++i) {
        nested.push_back(run.instance(*engine, movement));
        EXPECT_EQ(Plugin::ScriptPluginInstance::current(), nested.back().get());
        states.push_back(static_cast<LuaInstance&>(*nested.back()).state());
    }
    for (size_t i = 0; i < states.size(); ++i)
        for (size_t j = i + 1; j < states.size(); ++j) EXPECT_NE(states[i], states[j]);

    EXPECT_EQ(messageOf([&] { (void)run.instance(*engine, movement); }).rfind("lua recursive call limit exceeded.", 0),
              0u);
    EXPECT_EQ(engine->depth(), LuaBase::kMaxDepth);
    EXPECT_EQ(Plugin::ScriptPluginInstance::current(), nested.back().get());

    // Unwinding restores each outer instance; the states stay pooled and are
    // lent again by depth.
    while (!nested.empty()) {
        nested.pop_back();
        EXPECT_EQ(Plugin::ScriptPluginInstance::current(), nested.empty() ? nullptr : nested.back().get());
    }
    EXPECT_EQ(engine->depth(), 0);
    EXPECT_EQ(Plugin::LuaInstance::currentModule(), nullptr);
    EXPECT_EQ(engine->poolSize(), 4u);
    auto again = run.instance(*engine, movement);
    EXPECT_EQ(static_cast<LuaInstance&>(*again).state(), states[0]);
}

TEST_P(LuaEngineTest, TheEngineLockIsHeldForTheWholeRun) {
    Effect::ScriptMovement movement(L"locked", "return 0");
    auto tryLockElsewhere = [&] {
        bool locked = false;
        std::thread other([&] {
            locked = engine->engineLock().try_lock();
            if (locked) engine->engineLock().unlock();
        });
        other.join();
        return locked;
    };
    {
        auto instance = run.instance(*engine, movement);
        EXPECT_FALSE(tryLockElsewhere());
    }
    EXPECT_TRUE(tryLockElsewhere());
}

TEST_P(LuaEngineTest, ScriptErrorsAreLoggedWithTheirLinesAndThrown) {
    struct Case {
        const char* script;
        const char* thrownContains;
        const char* logged;  // what the SCRIPT line holds
    };
    const Case cases[] = {
        // A run-time error on line 3 quotes lines 2 to 4.
        {"local a = 1\nlocal b = 2\nlocal c = nil + 1\nlocal d = 4\nreturn 5", ":3: attempt to perform arithmetic",
         " value\r\n> local b = 2\r\n> local c = nil + 1\r\n> local d = 4"},
        // A compile error.
        {"return (", "near", "\r\n> return ("},
        // An error value that is no text.
        {"error({})", "(error object is not a string)", "(error object is not a string)"},
        // A message without a chunk name is logged whole.
        {"error('plain text', 0)", "plain text", "plain text"},
    };
    for (const Case& c : cases) {
        LogCapture log;
        const std::string thrown = messageOf([&] { run.run(*engine, c.script); });
        EXPECT_NE(thrown.find(c.thrownContains), std::string::npos) << c.script << " -> " << thrown;
        ASSERT_FALSE(log.lines.empty()) << c.script;
        const auto& line = log.lines.back();
        EXPECT_EQ(line.level, "SCRIPT");
        EXPECT_EQ(line.scope, "test");
        EXPECT_NE(line.message.find(c.logged), std::string::npos) << line.message;
        EXPECT_EQ(engine->depth(), 0);
    }
    // The state is still fine after the errors.
    EXPECT_EQ(run.run(*engine, "return 3"), 3.0);
}

TEST_P(LuaEngineTest, ARunSurvivesAScriptThatReplacedItsTables) {
    // Without a "package" table the paths are not stored, and the run goes on.
    EXPECT_EQ(run.run(*engine, "package = nil return 1"), 1.0);
    EXPECT_EQ(run.run(*engine, "return 2"), 2.0);

    // A replaced "obj" fails the next variable access.
    EXPECT_EQ(run.run(*engine, "obj = 5 return 0"), 0.0);
    Effect::ScriptMovement movement(L"obj", "return 0");
    auto instance = run.instance(*engine, movement);
    auto& lua = static_cast<LuaInstance&>(*instance);
    EXPECT_NE(messageOf([&] { LuaInstance::VariableAccessSection section(lua); }).find("obj table not defined"),
              std::string::npos);
}

TEST_P(LuaEngineTest, MetamethodErrorsInTheProgramsOwnAccessesAreScriptErrors) {
    // Without protection each of these would raise a Lua error outside any
    // protected call, which ends the process.
    struct Case {
        const char* setup;
        std::function<void(LuaInstance&)> probe;
        const char* thrown;
    };
    const Case cases[] = {
        {"setmetatable(obj, {__newindex = function() error('obj locked') end}) return 0",
         [](LuaInstance& lua) {
             LuaInstance::VariableAccessSection section(lua);
             lua.setFieldNumber("w", 1);
         },
         "obj locked"},
        {"setmetatable(obj, {__newindex = function() error('obj locked') end}) return 0",
         [](LuaInstance& lua) {
             LuaInstance::VariableAccessSection section(lua);
             lua.setFieldBoolean("check0", true);
         },
         "obj locked"},
        {"setmetatable(obj, {__index = function() error('no reads') end}) return 0",
         [](LuaInstance& lua) {
             LuaInstance::VariableAccessSection section(lua);
             (void)lua.getFieldNumber("zoom");
         },
         "no reads"},
        {"obj = nil setmetatable(_G, {__index = function() error('no globals') end}) return 0",
         [](LuaInstance& lua) { LuaInstance::VariableAccessSection section(lua); }, "obj table not defined"},
        {"package.path = nil setmetatable(package, {__newindex = function() error('package locked') end}) return 0",
         [](LuaInstance& lua) { (void)lua.executeMovement("return 1"); }, "package locked"},
    };
    for (const Case& c : cases) {
        auto fresh = GetParam().make(nullptr);
        EXPECT_EQ(run.run(*fresh, c.setup), 0.0) << c.setup;
        Effect::ScriptMovement movement(L"probe", "return 0");
        LogCapture log;
        {
            auto instance = run.instance(*fresh, movement);
            EXPECT_NE(messageOf([&] { c.probe(static_cast<LuaInstance&>(*instance)); }).find(c.thrown),
                      std::string::npos)
                << c.setup;
            EXPECT_EQ(fresh->module().lua_gettop(static_cast<LuaInstance&>(*instance).state()), 0) << c.setup;
        }
        EXPECT_EQ(fresh->depth(), 0);
    }
}

TEST_P(LuaEngineTest, ModulesAreFoundBesideTheScript) {
    // The paths name the script's folder; a movement has none, so only the form is checked.
    EXPECT_EQ(run.run(*engine, "return package.path == '/?.lua' and package.cpath == '/?.so' and 1 or 0"), 1.0);
}

TEST_P(LuaEngineTest, AnEffectOperationOnAMovementRunIsRefused) {
    Effect::ScriptMovement movement(L"m", "return 0");
    auto instance = run.instance(*engine, movement);
    EXPECT_NE(messageOf([&] { instance->executeEffect("return"); }).find("not effect script."), std::string::npos);
    EXPECT_NE(messageOf([&] { (void)instance->getRenderVideoTarget(); }).find("not effect script."), std::string::npos);
    EXPECT_EQ(engine->depth(), 1);
}

TEST_P(LuaEngineTest, AMissingLibraryFailsEveryRunAndLeavesNothingHeld) {
    auto missing = GetParam().make(L"libvelmo-no-such-engine.so");
    LogCapture log;
    for (int attempt = 0; attempt < 2; ++attempt) {
        const std::string thrown = messageOf([&] { run.run(*missing, "return 1"); });
        EXPECT_EQ(thrown.rfind("LoadLibrary() failed.", 0), 0u) << thrown;
        EXPECT_EQ(missing->depth(), 0);
        EXPECT_FALSE(missing->module().loaded());
    }
    EXPECT_EQ(Plugin::ScriptPluginInstance::current(), nullptr);
    std::thread other([&] {
        EXPECT_TRUE(missing->engineLock().try_lock());
        missing->engineLock().unlock();
    });
    other.join();
    missing.reset();
    for (const auto& line : log.lines) EXPECT_NE(line.message, "free script module");
}

TEST_P(LuaEngineTest, ShutdownClosesTheStatesAndFreesTheLibraryOnlyWhenItWasLoaded) {
    {
        LogCapture log;
        engine.reset();
        EXPECT_TRUE(log.lines.empty());
    }
    engine = GetParam().make(nullptr);
    EXPECT_EQ(run.run(*engine, "return 1"), 1.0);
    LogCapture log;
    engine.reset();
    ASSERT_EQ(log.lines.size(), 1u);
    EXPECT_EQ(log.lines[0].level, "INFO");
    EXPECT_EQ(log.lines[0].scope, "Plugin::LuaModule::freeModule");
    EXPECT_EQ(log.lines[0].message, "free script module");
}

INSTANTIATE_TEST_SUITE_P(Engines, LuaEngineTest,
                         testing::Values(EngineKind{"lua", makeLua}, EngineKind{"luaJIT", makeLuaJit}),
                         [](const testing::TestParamInfo<EngineKind>& info) {
                             return std::string(info.param.name) == "lua" ? "Lua" : "LuaJit";
                         });

}  // namespace
