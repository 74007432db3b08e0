#include "script/ScriptLibrary.h"

#include "core/TextConvert.h"
#include "script/LuaInstance.h"
#include "script/LuaModule.h"

namespace Plugin::ScriptLibrary {

namespace {

// mes(text): appends the text to the run's message text.
int mes(lua_State* state) {
    LuaModule* lua = LuaInstance::currentModule();
    ScriptPluginInstance* instance = ScriptPluginInstance::current();
    if (lua == nullptr || instance == nullptr) return 0;
    // The check may raise a Lua error, so it comes before any object of ours.
    size_t length = 0;
    const char* text = lua->luaL_checklstring(state, 1, &length);
    instance->messageText += System::utf8ToWide(std::string(text, length));
    return 0;
}

// The library functions join these lists as they are built; the table "obj"
// exists in every state even while its list is short.
constexpr Lua::Reg kGlobalFunctions[] = {{"mes", mes}, {nullptr, nullptr}};
constexpr Lua::Reg kObjFunctions[] = {{"mes", mes}, {nullptr, nullptr}};

}  // namespace

const Lua::Reg* globalFunctions() { return kGlobalFunctions; }
const Lua::Reg* objFunctions() { return kObjFunctions; }

}  // namespace Plugin::ScriptLibrary
