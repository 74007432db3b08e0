#include "script/LuaModule.h"

#include "core/Exception.h"
#include "core/Log.h"
#include "core/TextConvert.h"

namespace Plugin {

namespace {

constexpr const char* kLoadScope = "Plugin::LuaModule::loadModule";

template <class F>
bool fetch(Platform::os::DynamicLibrary& library, F& slot, const char* name) {
    slot = reinterpret_cast<F>(library.symbol(name));
    return slot != nullptr;
}

}  // namespace

LuaModule::~LuaModule() { freeModule(); }

void LuaModule::loadModule(const std::wstring& moduleFile) {
    if (library_.loaded()) return;
    System::Log::info(kLoadScope, L"load script module [%ls]", moduleFile.c_str());
    if (Platform::failed(library_.open(System::wideToUtf8(moduleFile))))
        throw System::lastErrorException("LoadLibrary", kLoadScope);

    auto& l = library_;
    const bool complete =
        fetch(l, luaL_checknumber, "luaL_checknumber") && fetch(l, luaL_checkinteger, "luaL_checkinteger") &&
        fetch(l, luaL_checklstring, "luaL_checklstring") && fetch(l, lua_pcall, "lua_pcall") &&
        fetch(l, lua_tolstring, "lua_tolstring") && fetch(l, luaL_loadstring, "luaL_loadstring") &&
        fetch(l, lua_settop, "lua_settop") && fetch(l, luaL_register, "luaL_register") &&
        fetch(l, luaL_openlibs, "luaL_openlibs") && fetch(l, luaL_newstate, "luaL_newstate") &&
        fetch(l, lua_close, "lua_close") && fetch(l, lua_pushnumber, "lua_pushnumber") &&
        fetch(l, lua_setfield, "lua_setfield") && fetch(l, lua_pushnil, "lua_pushnil") &&
        fetch(l, lua_getfield, "lua_getfield") && fetch(l, lua_tonumber, "lua_tonumber") &&
        fetch(l, lua_tointeger, "lua_tointeger") && fetch(l, lua_pushinteger, "lua_pushinteger") &&
        fetch(l, lua_gettop, "lua_gettop") && fetch(l, lua_createtable, "lua_createtable") &&
        fetch(l, lua_pushboolean, "lua_pushboolean") && fetch(l, lua_isnumber, "lua_isnumber") &&
        fetch(l, lua_isstring, "lua_isstring") && fetch(l, lua_sethook, "lua_sethook") &&
        fetch(l, luaL_error, "luaL_error") && fetch(l, lua_settable, "lua_settable") &&
        fetch(l, lua_type, "lua_type") && fetch(l, lua_gettable, "lua_gettable") &&
        fetch(l, lua_pushstring, "lua_pushstring") && fetch(l, lua_pushlightuserdata, "lua_pushlightuserdata") &&
        fetch(l, lua_touserdata, "lua_touserdata") && fetch(l, lua_toboolean, "lua_toboolean") &&
        fetch(l, lua_isuserdata, "lua_isuserdata") && fetch(l, lua_newuserdata, "lua_newuserdata") &&
        fetch(l, lua_next, "lua_next") && fetch(l, lua_objlen, "lua_objlen") && fetch(l, lua_rawget, "lua_rawget");
    if (!complete) {
        // Nothing stays half loaded: a later run tries the whole load again
        // and so never calls an empty slot.
        auto failure = System::lastErrorException("GetProcAddress", kLoadScope);
        clearEntryPoints();
        library_.close();
        throw failure;
    }
}

void LuaModule::freeModule() {
    if (!library_.loaded()) return;
    System::Log::info("Plugin::LuaModule::freeModule", "free script module");
    clearEntryPoints();
    library_.close();
}

void LuaModule::clearEntryPoints() {
    luaL_checknumber = nullptr;
    luaL_checkinteger = nullptr;
    luaL_checklstring = nullptr;
    lua_pcall = nullptr;
    lua_tolstring = nullptr;
    luaL_loadstring = nullptr;
    lua_settop = nullptr;
    luaL_register = nullptr;
    luaL_openlibs = nullptr;
    luaL_newstate = nullptr;
    lua_close = nullptr;
    lua_pushnumber = nullptr;
    lua_setfield = nullptr;
    lua_pushnil = nullptr;
    lua_getfield = nullptr;
    lua_tonumber = nullptr;
    lua_tointeger = nullptr;
    lua_pushinteger = nullptr;
    lua_gettop = nullptr;
    lua_createtable = nullptr;
    lua_pushboolean = nullptr;
    lua_isnumber = nullptr;
    lua_isstring = nullptr;
    lua_sethook = nullptr;
    luaL_error = nullptr;
    lua_settable = nullptr;
    lua_type = nullptr;
    lua_gettable = nullptr;
    lua_pushstring = nullptr;
    lua_pushlightuserdata = nullptr;
    lua_touserdata = nullptr;
    lua_toboolean = nullptr;
    lua_isuserdata = nullptr;
    lua_newuserdata = nullptr;
    lua_next = nullptr;
    lua_objlen = nullptr;
    lua_rawget = nullptr;
}

}  // namespace Plugin
