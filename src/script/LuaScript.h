#pragma once
#include "script/LuaBase.h"

namespace Plugin {

// The Lua 5.1 engine.
class LuaScript : public LuaBase {
public:
    static constexpr const char* kName = "lua";
    static constexpr const wchar_t* kDescription = L"Lua5.1.4";
    static constexpr const wchar_t* kModuleFile = L"liblua5.1.so.0";
};

}  // namespace Plugin
