#include "script/LuaBase.h"

#include "core/Exception.h"
#include "script/LuaInstance.h"
#include "script/ScriptLibrary.h"

namespace Plugin {

namespace {
constexpr const char* kStateScope = "Plugin::LuaBase::createLuaState";
}

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
