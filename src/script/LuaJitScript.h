#pragma once
#include "script/LuaBase.h"

namespace Plugin {

// The LuaJIT 2.1 engine, the default one.
class LuaJitScript : public LuaBase {
public:
    static constexpr const char* kName = "luaJIT";
    static constexpr const wchar_t* kDescription = L"LuaJIT2.1";
    static constexpr const wchar_t* kModuleFile = L"libluajit-5.1.so.2";
};

}  // namespace Plugin
