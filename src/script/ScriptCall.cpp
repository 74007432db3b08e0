#include "script/ScriptCall.h"

#include <cstdarg>
#include <cstdio>
#include <string>

#include "script/LuaInstance.h"
#include "script/LuaModule.h"

namespace Plugin {

namespace {

// The failure of the last library call of this thread that failed.
struct Pending {
    std::string text;
    std::exception_ptr thrown;
};
thread_local Pending tPending;

}  // namespace

int ScriptCall::type(int index) const { return lua->lua_type(state, index); }

int32_t ScriptCall::integer(int index) const {
    return static_cast<int32_t>(static_cast<uint64_t>(lua->luaL_checkinteger(state, index)));
}

int64_t ScriptCall::integer64(int index) const { return lua->luaL_checkinteger(state, index); }

double ScriptCall::number(int index) const { return lua->luaL_checknumber(state, index); }

std::string_view ScriptCall::string(int index) const {
    size_t length = 0;
    const char* text = lua->luaL_checklstring(state, index, &length);
    return {text, length};
}

bool ScriptCall::boolean(int index) const { return lua->lua_toboolean(state, index) != 0; }

int ScriptCall::pushNumber(double value) const {
    lua->lua_pushnumber(state, value);
    return 1;
}

int ScriptCall::pushInteger(int64_t value) const {
    lua->lua_pushnumber(state, static_cast<double>(value));
    return 1;
}

int ScriptCall::pushBoolean(bool value) const {
    lua->lua_pushboolean(state, value ? 1 : 0);
    return 1;
}

int ScriptCall::pushString(std::string_view text) const {
    // Through a Lua string of its own length: the text may hold NULs.
    const std::string copy(text);
    lua->lua_pushstring(state, copy.c_str());
    return 1;
}

int ScriptCall::fail(const char* format, ...) const {
    char buffer[1024];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(buffer, sizeof buffer, format, arguments);
    va_end(arguments);
    tPending.text = buffer;
    tPending.thrown = nullptr;
    return kFailed;
}

Render::RenderContext& ScriptCall::renderContext() const { return instance->getRenderVideoTarget(); }

int ScriptCall::run(lua_State* state, int (*body)(ScriptCall&)) {
    // Only trivially destructible objects live in this frame: the Lua error
    // below may leave it by longjmp.
    ScriptCall call;
    call.state = state;
    call.lua = LuaInstance::currentModule();
    call.instance = dynamic_cast<LuaInstance*>(ScriptPluginInstance::current());
    if (call.lua == nullptr || call.instance == nullptr) return 0;
    call.count = call.lua->lua_gettop(state);
    int results = kFailed;
    // Only the program's exceptions are caught: a Lua error of the engine
    // that unwinds as a foreign exception passes through.
    try {
        results = body(call);
    } catch (const std::exception& e) {
        tPending.text = e.what();
        tPending.thrown = std::current_exception();
        results = kFailed;
    }
    if (results == kFailed) return call.lua->luaL_error(state, "%s", tPending.text.c_str());
    return results;
}

bool ScriptCall::takeThrown(std::string_view luaMessage, std::exception_ptr& thrown) {
    if (!tPending.thrown) return false;
    const std::string_view text = tPending.text;
    const bool same = luaMessage.size() >= text.size() && luaMessage.substr(luaMessage.size() - text.size()) == text;
    if (!same) return false;
    thrown = std::move(tPending.thrown);
    tPending.thrown = nullptr;
    return true;
}

void ScriptCall::clearThrown() {
    tPending.thrown = nullptr;
    tPending.text.clear();
}

}  // namespace Plugin
