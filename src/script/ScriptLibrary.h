#pragma once
#include "script/LuaApi.h"

// The functions every Lua state gets: the global functions (registered into
// "_G") and those of the table "obj". Each list ends with a null entry.
namespace Plugin::ScriptLibrary {

const Lua::Reg* globalFunctions();
const Lua::Reg* objFunctions();

}  // namespace Plugin::ScriptLibrary
