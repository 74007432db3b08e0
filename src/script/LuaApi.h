#pragma once
#include <cstddef>

// The part of the Lua 5.1 C API the engines use, declared here so that no Lua
// header is needed: both engine libraries export these functions with these
// signatures.
struct lua_State;
struct lua_Debug;

namespace Plugin::Lua {

using Number = double;
using Integer = std::ptrdiff_t;
using CFunction = int (*)(lua_State*);
using Hook = void (*)(lua_State*, lua_Debug*);

struct Reg {
    const char* name;
    CFunction func;
};

inline constexpr int kRegistryIndex = -10000;
inline constexpr int kGlobalsIndex = -10002;
inline constexpr int kMultipleResults = -1;

inline constexpr int kTypeNone = -1;
inline constexpr int kTypeNil = 0;
inline constexpr int kTypeBoolean = 1;
inline constexpr int kTypeLightUserData = 2;
inline constexpr int kTypeNumber = 3;
inline constexpr int kTypeString = 4;
inline constexpr int kTypeTable = 5;

}  // namespace Plugin::Lua
