#include "script/LuaBase.h"

#include "core/Exception.h"
#include "script/LuaInstance.h"
#include "script/ScriptLibrary.h"

namespace Plugin {

namespace {

constexpr const char* kStateScope = "Plugin::LuaBase::createLuaState";

// The program's own accesses to script-visible tables run through these, in
// protected calls: a metamethod a script put on "obj" or "package" may raise
// an error, and an error outside a protected call would end the process.
// They are made before any script runs, so they hold the original globals.
struct Helper {
    const char* key;
    const char* code;
};
constexpr Helper kHelpers[] = {
    {LuaBase::kSetFieldHelper, "return function(t, k, v) t[k] = v end"},
    {LuaBase::kGetFieldHelper, "return function(t, k) return t[k] end"},
    {LuaBase::kPackagePathHelper,
     "local type = type return function(p, c) "
     "if type(package) == 'table' then package.path = p package.cpath = c end end"},
};

}  // namespace

LuaBase::~LuaBase() {
    if (module_.loaded()) {
        for (lua_State* state : pool_) module_.lua_close(state);
        module_.freeModule();
    }
    pool_.clear();
    depth_ = 0;
}

lua_State* LuaBase::createLuaState() {
    if (static_cast<size_t>(depth_) < pool_.size()) return pool_[static_cast<size_t>(depth_++)];
    if (depth_ >= kMaxDepth) throw System::messageException(kStateScope, "lua recursive call limit exceeded.");
    module_.loadModule(moduleFile);
    lua_State* state = module_.luaL_newstate();
    if (state == nullptr) throw System::messageException(kStateScope, "luaL_newstate() failed.");
    module_.luaL_openlibs(state);
    module_.luaL_register(state, "_G", ScriptLibrary::globalFunctions());
    module_.luaL_register(state, "obj", ScriptLibrary::objFunctions());
    for (const Helper& helper : kHelpers) {
        if (module_.luaL_loadstring(state, helper.code) != 0 || module_.lua_pcall(state, 0, 1, 0) != 0) {
            module_.lua_close(state);
            throw System::messageException(kStateScope, "luaL_newstate() failed.");
        }
        module_.lua_setfield(state, Lua::kRegistryIndex, helper.key);
    }
    module_.lua_settop(state, 0);
    pool_.push_back(state);
    ++depth_;
    return state;
}

std::unique_ptr<ScriptPluginInstance> LuaBase::createMovementInstance(const Effect::ScriptMovement& movement,
                                                                      const Effect::EffectItemNumber& item,
                                                                      const Render::SectionPosition& position,
                                                                      Render::RenderContext& context) {
    return std::make_unique<LuaInstance>(*this, movement, item, position, context);
}

std::unique_ptr<ScriptPluginInstance> LuaBase::createEffectInstance(Effect::ScriptEffect& effect,
                                                                    Render::RenderContext& context) {
    return std::make_unique<LuaInstance>(*this, effect, context);
}

}  // namespace Plugin
