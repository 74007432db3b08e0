#include "script/ScriptLibrary.h"

namespace Plugin::ScriptLibrary {

namespace {

// The library functions join these lists as they are built; the table "obj"
// exists in every state even while its list is empty.
constexpr Lua::Reg kGlobalFunctions[] = {{nullptr, nullptr}};
constexpr Lua::Reg kObjFunctions[] = {{nullptr, nullptr}};

}  // namespace

const Lua::Reg* globalFunctions() { return kGlobalFunctions; }
const Lua::Reg* objFunctions() { return kObjFunctions; }

}  // namespace Plugin::ScriptLibrary
