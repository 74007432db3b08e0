#pragma once
#include <mutex>
#include <string>

#include "script/ScriptPluginInstance.h"

struct lua_State;

namespace Effect {
struct OutputView;
}
namespace Media {
class ResourceBuffer;
class VertexList;
}  // namespace Media

namespace Plugin {

class LuaBase;
class LuaModule;

// The font settings a script's text functions start from in every effect run.
struct ScriptTextState {
    std::wstring fontName;
    float size = 40.0f;
    int32_t decorationType = 0;
    float color1[4] = {1, 1, 1, 1};
    float color2[4] = {0, 0, 0, 1};
};

// A run on a Lua engine. Creating it takes the engine lock (recursive, so a
// run may nest another of the same engine on its thread) and a state from
// the engine's pool, and makes it the current instance; destroying it undoes
// all three in reverse.
class LuaInstance : public ScriptPluginInstance {
public:
    LuaInstance(LuaBase& engine, Effect::ScriptEffect& effect, Render::RenderContext& context);
    LuaInstance(LuaBase& engine, const Effect::ScriptMovement& movement, const Effect::EffectItemNumber& item,
                const Render::SectionPosition& position, Render::RenderContext& context);
    ~LuaInstance() override;

    void executeEffect(const std::string& scriptText) override;
    double executeMovement(const std::string& scriptText) override;
    void setScriptVariables() override;
    double getFieldNumber(const char* name) override;
    void setFieldNumber(const char* name, double value) override;
    void setFieldBoolean(const char* name, bool value) override;

    // Pushes the global table "obj" for the object-variable operations and pops
    // it again; "obj table not defined" when a script replaced it.
    class VariableAccessSection {
    public:
        explicit VariableAccessSection(LuaInstance& instance);
        ~VariableAccessSection();
        VariableAccessSection(const VariableAccessSection&) = delete;
        VariableAccessSection& operator=(const VariableAccessSection&) = delete;

    private:
        LuaInstance& instance_;
    };

    // The number item a script names: "0" to "9..." are the track items
    // ("track" and the name), other names the local variables of --track@
    // lines. None when there is no such number item; the current instance
    // must be an effect run.
    static Effect::EffectItemNumber* findTrackItem(const std::string& name);

    // A path as a script names it: absolute paths stay, others are taken
    // relative to the folder of the script's file.
    std::wstring resolveScriptPath(const std::string& path) const;

    // Draws the source into the target through the object's output stage:
    // a scene change made by a script draws with its own view; an object
    // draws through the output of the first object of its chain when that is
    // a placing output; anything else draws nothing. Without a render
    // context (a movement run) it throws "not effect script.".
    void drawToObjectTarget(const Effect::OutputView& view, Media::ResourceBuffer& target,
                            Media::ResourceBuffer& source, Media::VertexList* list);

    // The log text for a Lua error message: the error text and up to three
    // script lines from the one before the error line; the message itself
    // when it names no line of the chunk.
    static std::wstring formatScriptError(const std::string& message, const std::string& chunk);

    lua_State* state() const { return state_; }
    LuaBase& engine() const { return engine_; }

    // This thread's current engine library, for the script library's functions.
    static LuaModule* currentModule();
    // The assignments setScriptVariables put in front of the chunk.
    static const std::string& variablePrefix();
    static ScriptTextState& textState();

private:
    void enter();
    void setPackagePaths();
    // Pushes the global "obj" without asking metamethods.
    void pushObjectTable();
    // Calls the helper below its arguments in protected mode; an error a
    // script's metamethod raised is logged and thrown like a script error.
    void callHelper(int arguments, int results);
    [[noreturn]] void raiseError(const std::string& chunk);

    LuaBase& engine_;
    std::unique_lock<std::recursive_mutex> lock_;
    lua_State* state_ = nullptr;
    LuaModule* previousModule_ = nullptr;
    ScriptPluginInstance* previousInstance_ = nullptr;
};

}  // namespace Plugin
