#pragma once
#include <string>

#include "platform/os/DynamicLibrary.h"
#include "script/LuaApi.h"

// One engine library and the entry points the program calls it through. The
// library is loaded on first need; every entry point is required.
namespace Plugin {

class LuaModule {
public:
    LuaModule() = default;
    ~LuaModule();
    LuaModule(const LuaModule&) = delete;
    LuaModule& operator=(const LuaModule&) = delete;

    // Loads the library by file name and fetches the entry points in table
    // order; returns at once when it is loaded. A failure throws the system
    // error of "LoadLibrary" or "GetProcAddress" and leaves nothing loaded,
    // so the next call tries again.
    void loadModule(const std::wstring& moduleFile);
    // Logs "free script module" and releases the library when it is loaded.
    void freeModule();
    bool loaded() const { return library_.loaded(); }

    static constexpr int kEntryPointCount = 37;

    // The entry points, in the order they are fetched.
    Lua::Number (*luaL_checknumber)(lua_State*, int) = nullptr;
    Lua::Integer (*luaL_checkinteger)(lua_State*, int) = nullptr;
    const char* (*luaL_checklstring)(lua_State*, int, size_t*) = nullptr;
    int (*lua_pcall)(lua_State*, int, int, int) = nullptr;
    const char* (*lua_tolstring)(lua_State*, int, size_t*) = nullptr;
    int (*luaL_loadstring)(lua_State*, const char*) = nullptr;
    void (*lua_settop)(lua_State*, int) = nullptr;
    void (*luaL_register)(lua_State*, const char*, const Lua::Reg*) = nullptr;
    void (*luaL_openlibs)(lua_State*) = nullptr;
    lua_State* (*luaL_newstate)() = nullptr;
    void (*lua_close)(lua_State*) = nullptr;
    void (*lua_pushnumber)(lua_State*, Lua::Number) = nullptr;
    void (*lua_setfield)(lua_State*, int, const char*) = nullptr;
    void (*lua_pushnil)(lua_State*) = nullptr;
    void (*lua_getfield)(lua_State*, int, const char*) = nullptr;
    Lua::Number (*lua_tonumber)(lua_State*, int) = nullptr;
    Lua::Integer (*lua_tointeger)(lua_State*, int) = nullptr;
    void (*lua_pushinteger)(lua_State*, Lua::Integer) = nullptr;
    int (*lua_gettop)(lua_State*) = nullptr;
    void (*lua_createtable)(lua_State*, int, int) = nullptr;
    void (*lua_pushboolean)(lua_State*, int) = nullptr;
    int (*lua_isnumber)(lua_State*, int) = nullptr;
    int (*lua_isstring)(lua_State*, int) = nullptr;
    int (*lua_sethook)(lua_State*, Lua::Hook, int, int) = nullptr;
    int (*luaL_error)(lua_State*, const char*, ...) = nullptr;
    void (*lua_settable)(lua_State*, int) = nullptr;
    int (*lua_type)(lua_State*, int) = nullptr;
    void (*lua_gettable)(lua_State*, int) = nullptr;
    void (*lua_pushstring)(lua_State*, const char*) = nullptr;
    void (*lua_pushlightuserdata)(lua_State*, void*) = nullptr;
    void* (*lua_touserdata)(lua_State*, int) = nullptr;
    int (*lua_toboolean)(lua_State*, int) = nullptr;
    int (*lua_isuserdata)(lua_State*, int) = nullptr;
    void* (*lua_newuserdata)(lua_State*, size_t) = nullptr;
    int (*lua_next)(lua_State*, int) = nullptr;
    size_t (*lua_objlen)(lua_State*, int) = nullptr;
    void (*lua_rawget)(lua_State*, int) = nullptr;

    // The helpers of the Lua headers that are macros there.
    void pop(lua_State* state, int count) const { lua_settop(state, -count - 1); }
    void getGlobal(lua_State* state, const char* name) const { lua_getfield(state, Lua::kGlobalsIndex, name); }
    void setGlobal(lua_State* state, const char* name) const { lua_setfield(state, Lua::kGlobalsIndex, name); }

private:
    void clearEntryPoints();

    Platform::os::DynamicLibrary library_;
};

}  // namespace Plugin
