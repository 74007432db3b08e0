#pragma once
#include <cstdint>
#include <mutex>
#include <vector>

#include "script/LuaModule.h"
#include "script/ScriptPlugin.h"

namespace Plugin {

class LuaInstance;

// An engine speaking the Lua 5.1 API through its library. The library is
// loaded when the first state is needed. States are pooled by nesting depth:
// the run at depth d uses the state at index d, created once and kept until
// the engine goes. The engine lock is held for the whole of a run.
class LuaBase : public ScriptPlugin {
public:
    static constexpr int32_t kMaxDepth = 4;
    // Registry keys of the functions every state gets for the program's own
    // table accesses (see LuaInstance).
    static constexpr const char* kSetFieldHelper = "velmo.setfield";
    static constexpr const char* kGetFieldHelper = "velmo.getfield";
    static constexpr const char* kPackagePathHelper = "velmo.setpaths";

    LuaBase() = default;
    ~LuaBase() override;

    std::unique_ptr<ScriptPluginInstance> createMovementInstance(const Effect::ScriptMovement& movement,
                                                                 const Effect::EffectItemNumber& item,
                                                                 const Render::SectionPosition& position,
                                                                 Render::RenderContext& context) override;
    std::unique_ptr<ScriptPluginInstance> createEffectInstance(Effect::ScriptEffect& effect,
                                                               Render::RenderContext& context) override;

    LuaModule& module() { return module_; }
    std::recursive_mutex& engineLock() { return lock_; }

    // For inspection; both are read under the engine lock.
    int32_t depth() const { return depth_; }
    size_t poolSize() const { return pool_.size(); }

private:
    friend class LuaInstance;

    // The state for a new instance, with the engine lock held.
    lua_State* createLuaState();
    // The instance at the current depth is done with its state.
    void releaseLuaState() { --depth_; }

    LuaModule module_;
    std::vector<lua_State*> pool_;
    int32_t depth_ = 0;
    std::recursive_mutex lock_;
};

}  // namespace Plugin
