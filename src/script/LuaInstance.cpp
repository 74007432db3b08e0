#include "script/LuaInstance.h"

#include <cstdio>
#include <cstdlib>

#include "core/Exception.h"
#include "core/Log.h"
#include "core/TextConvert.h"
#include "effect/EffectItemCheck.h"
#include "effect/EffectItemColor.h"
#include "effect/EffectItemComboFile.h"
#include "effect/EffectItemFile.h"
#include "effect/EffectItemNumber.h"
#include "effect/EffectItemSelect.h"
#include "effect/EffectItemString.h"
#include "edit/Object.h"
#include "effect/RenderContext.h"
#include "effects/BasicOutput.h"
#include "media/gpu/ResourceBuffer.h"
#include "render/VideoPass.h"
#include "script/LuaBase.h"
#include "script/SceneChangeScript.h"
#include "script/ScriptCall.h"
#include "script/ScriptEffect.h"

namespace Plugin {

namespace {

thread_local LuaModule* tCurrentModule = nullptr;
thread_local std::string tVariablePrefix;
thread_local ScriptTextState tTextState;

bool isControl(char c) { return static_cast<unsigned char>(c) < 0x20; }

std::string printNumber(double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%f", value);
    return buffer;
}

std::string doubledBackslashes(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        out += c;
        if (c == '\\') out += '\\';
    }
    return out;
}

}  // namespace

LuaInstance::LuaInstance(LuaBase& engine, Effect::ScriptEffect& effect, Render::RenderContext& context)
    : ScriptPluginInstance(effect, effect.commonResource(), context), engine_(engine), lock_(engine.engineLock()) {
    enter();
}

LuaInstance::LuaInstance(LuaBase& engine, const Effect::ScriptMovement& movement, const Effect::EffectItemNumber& item,
                         const Render::SectionPosition& position, Render::RenderContext& context)
    : ScriptPluginInstance(movement, item, position, context), engine_(engine), lock_(engine.engineLock()) {
    enter();
}

void LuaInstance::enter() {
    // A failure here leaves the depth as it was; the lock goes with the
    // half-made instance.
    state_ = engine_.createLuaState();
    previousModule_ = tCurrentModule;
    previousInstance_ = current();
    setCurrent(this);
    tCurrentModule = &engine_.module();
}

LuaInstance::~LuaInstance() {
    engine_.releaseLuaState();
    tCurrentModule = previousModule_;
    setCurrent(previousInstance_);
}

LuaModule* LuaInstance::currentModule() { return tCurrentModule; }
const std::string& LuaInstance::variablePrefix() { return tVariablePrefix; }
ScriptTextState& LuaInstance::textState() { return tTextState; }

void LuaInstance::setPackagePaths() {
    LuaModule& lua = engine_.module();
    const std::string folder = System::wideToUtf8(record().folder);
    lua.lua_getfield(state_, Lua::kRegistryIndex, LuaBase::kPackagePathHelper);
    lua.lua_pushstring(state_, (folder + "/?.lua").c_str());
    lua.lua_pushstring(state_, (folder + "/?.so").c_str());
    callHelper(2, 0);
}

void LuaInstance::pushObjectTable() {
    LuaModule& lua = engine_.module();
    lua.lua_pushstring(state_, "obj");
    lua.lua_rawget(state_, Lua::kGlobalsIndex);
}

void LuaInstance::callHelper(int arguments, int results) {
    if (engine_.module().lua_pcall(state_, arguments, results, 0) != 0) raiseError(std::string());
}

void LuaInstance::raiseError(const std::string& chunk) {
    LuaModule& lua = engine_.module();
    const char* text = lua.lua_tolstring(state_, -1, nullptr);
    // An error value that is not a string or a number has no text of its own.
    const std::string message = text != nullptr ? text : "(error object is not a string)";
    lua.pop(state_, 1);
    // A library function that threw ends the run with its own exception.
    std::exception_ptr thrown;
    if (ScriptCall::takeThrown(message, thrown)) std::rethrow_exception(thrown);
    System::Log::script(record().name.c_str(), L"%ls", formatScriptError(message, chunk).c_str());
    throw std::runtime_error(message);
}

void LuaInstance::executeEffect(const std::string& scriptText) {
    LuaModule& lua = engine_.module();
    lua.lua_settop(state_, 0);
    ScriptCall::clearThrown();
    tTextState = ScriptTextState{};
    setPackagePaths();
    setScriptVariables();
    {
        VariableAccessSection section(*this);
        setObjectVariables();
    }
    const std::string chunk = tVariablePrefix.empty() ? scriptText : tVariablePrefix + scriptText;
    if (lua.luaL_loadstring(state_, chunk.c_str()) != 0) raiseError(chunk);
    if (lua.lua_pcall(state_, 0, 0, 0) != 0) raiseError(chunk);
    {
        VariableAccessSection section(*this);
        getObjectVariables();
    }
    if (drawn != 0 && objectImage()) {
        // The script drew the object into the frame itself; the anchors
        // follow the image it drew.
        Render::RenderContext& context = getRenderVideoTarget();
        Render::VideoPass::updateOutputAnchor(context, static_cast<int32_t>(objectImage()->width),
                                              static_cast<int32_t>(objectImage()->height));
        setObjectImage(nullptr);
    }
}

double LuaInstance::executeMovement(const std::string& scriptText) {
    LuaModule& lua = engine_.module();
    lua.lua_settop(state_, 0);
    ScriptCall::clearThrown();
    setPackagePaths();
    if (lua.luaL_loadstring(state_, scriptText.c_str()) != 0) raiseError(scriptText);
    if (lua.lua_pcall(state_, 0, 1, 0) != 0) raiseError(scriptText);
    const double value = lua.lua_tonumber(state_, -1);
    lua.pop(state_, 1);
    return value;
}

LuaInstance::VariableAccessSection::VariableAccessSection(LuaInstance& instance) : instance_(instance) {
    LuaModule& lua = instance.engine_.module();
    instance.pushObjectTable();
    if (lua.lua_type(instance.state_, -1) != Lua::kTypeTable) {
        lua.pop(instance.state_, 1);
        throw System::messageException("Plugin::LuaInstance::VariableAccessSection::VariableAccessSection",
                                       "obj table not defined");
    }
}

LuaInstance::VariableAccessSection::~VariableAccessSection() { instance_.engine_.module().pop(instance_.state_, 1); }

// The field operations work on "obj", the table the section holds.
double LuaInstance::getFieldNumber(const char* name) {
    LuaModule& lua = engine_.module();
    lua.lua_getfield(state_, Lua::kRegistryIndex, LuaBase::kGetFieldHelper);
    pushObjectTable();
    lua.lua_pushstring(state_, name);
    callHelper(2, 1);
    const double value = lua.lua_tonumber(state_, -1);
    lua.pop(state_, 1);
    return value;
}

void LuaInstance::setFieldNumber(const char* name, double value) {
    LuaModule& lua = engine_.module();
    lua.lua_getfield(state_, Lua::kRegistryIndex, LuaBase::kSetFieldHelper);
    pushObjectTable();
    lua.lua_pushstring(state_, name);
    lua.lua_pushnumber(state_, value);
    callHelper(3, 0);
}

void LuaInstance::setFieldBoolean(const char* name, bool value) {
    LuaModule& lua = engine_.module();
    lua.lua_getfield(state_, Lua::kRegistryIndex, LuaBase::kSetFieldHelper);
    pushObjectTable();
    lua.lua_pushstring(state_, name);
    lua.lua_pushboolean(state_, value ? 1 : 0);
    callHelper(3, 0);
}

void LuaInstance::setScriptVariables() {
    tVariablePrefix.clear();
    VariableAccessSection section(*this);
    Effect::ScriptEffect& effect = getEffect();
    std::string& prefix = tVariablePrefix;
    for (const auto& [name, item] : effect.variableMap()) {
        const bool local = !name.empty() && name[0] == '@';
        const std::string variable = local ? name.substr(1) : name;
        const auto assign = [&](const std::string& value) { prefix += variable + "=" + value + ";"; };
        switch (item->type) {
        case Effect::EffectItem::kNumber: {
            const double value = static_cast<Effect::EffectItemNumber&>(*item).getValue(genericContext());
            if (local)
                assign(printNumber(value));
            else
                setFieldNumber(name.c_str(), value);
            break;
        }
        case Effect::EffectItem::kCheck: {
            const bool on = static_cast<Effect::EffectItemCheck&>(*item).value != 0;
            if (local)
                assign(on ? "1" : "0");
            else
                setFieldBoolean(name.c_str(), on);
            break;
        }
        case Effect::EffectItem::kString: {
            const std::string text = System::wideToUtf8(static_cast<Effect::EffectItemString&>(*item).text);
            assign("\"" + text + "\"");
            break;
        }
        case Effect::EffectItem::kFile:
            if (local)
                assign("\"" + doubledBackslashes(System::wideToUtf8(static_cast<Effect::EffectItemFile&>(*item).path)) +
                       "\"");
            break;
        case Effect::EffectItem::kColor:
        case Effect::EffectItem::kColorUnset: {
            const auto& color = static_cast<Effect::EffectItemColor&>(*item);
            if (!local) break;
            if (item->type == Effect::EffectItem::kColorUnset && color.unset != 0) {
                assign("nil");
            } else {
                assign(printNumber((color.red << 16) | (color.green << 8) | color.blue));
            }
            break;
        }
        case Effect::EffectItem::kSelect:
            if (local) assign(printNumber(static_cast<Effect::EffectItemSelect&>(*item).index));
            break;
        case Effect::EffectItem::kFont: {
            const auto& font = static_cast<Effect::EffectItemSelect&>(*item);
            const wchar_t* family = font.options != nullptr && font.options->indexMap.count(font.index) != 0
                                        ? font.options->nameOf(font.index)
                                        : L"";
            if (local) assign("\"" + System::wideToUtf8(family) + "\"");
            break;
        }
        case Effect::EffectItem::kScriptFigure: {
            const auto& figure = static_cast<Effect::EffectItemComboFile&>(*item);
            std::wstring figureName = figure.path;
            if (figure.index >= 0 && figure.options != nullptr && figure.options->indexMap.count(figure.index) != 0)
                figureName = figure.options->nameOf(figure.index);
            if (local) assign("\"" + doubledBackslashes(System::wideToUtf8(figureName)) + "\"");
            break;
        }
        case Effect::EffectItem::kScriptString1: {
            const std::string text = System::wideToUtf8(static_cast<Effect::EffectItemString&>(*item).text);
            assign(text.empty() ? "nil" : text);
            break;
        }
        case Effect::EffectItem::kScriptString2: {
            const std::string text = System::wideToUtf8(static_cast<Effect::EffectItemString&>(*item).text);
            assign("{" + text + "}");
            break;
        }
        default: throw System::notImplementException("Plugin::LuaInstance::setScriptVariables");
        }
    }
}

Effect::EffectItemNumber* LuaInstance::findTrackItem(const std::string& name) {
    ScriptPluginInstance* instance = current();
    if (instance == nullptr)
        throw System::messageException("Plugin::ScriptPluginInstance::getEffect", "not effect script.");
    const Effect::ScriptEffect& effect = instance->getEffect();
    const bool digit = !name.empty() && name[0] >= '0' && name[0] <= '9';
    const auto found = effect.variableMap().find(digit ? "track" + name : "@local " + name);
    if (found == effect.variableMap().end() || found->second->type != Effect::EffectItem::kNumber) return nullptr;
    return static_cast<Effect::EffectItemNumber*>(found->second.get());
}

std::wstring LuaInstance::resolveScriptPath(const std::string& path) const {
    const std::wstring wide = System::utf8ToWide(path);
    if (!path.empty() && (path[0] == '\\' || path[0] == '/')) return wide;
    if (path.find(":\\") != std::string::npos) return wide;
    return record().folder + L"/" + wide;
}

namespace {

// The output drawing of a scene change made by a script.
class SceneChangeDrawer : public Effect::OutputShaderEffect {};

}  // namespace

void LuaInstance::drawToObjectTarget(const Effect::OutputView& view, Media::ResourceBuffer& target,
                                     Media::ResourceBuffer& source, Media::VertexList* list) {
    const std::shared_ptr<Edit::Object>& object = genericContext().object;
    if (object && !object->effects.empty() && object->effects.front()->role == Effect::EffectBase::kControl) {
        if (dynamic_cast<const Effect::SceneChangeScript*>(object->effects.front().get()) != nullptr) {
            SceneChangeDrawer drawer;
            drawer.drawToTarget(view, target, source, list);
        }
        return;
    }
    const Render::RenderContext& context = getRenderVideoTarget();
    if (!context.chain || context.chain->empty()) return;
    const Edit::Object& first = *context.chain->front();
    if (first.effects.size() < 2) return;
    if (auto* output = dynamic_cast<Effect::BasicOutput*>(first.effects[1].get()))
        output->drawToTarget(view, target, source, list);
}

std::wstring LuaInstance::formatScriptError(const std::string& message, const std::string& chunk) {
    const auto plain = [&] { return System::utf8ToWide(message); };
    // The chunk name: up to the "]" that closes the first "[".
    size_t pos = 0;
    int depth = 0;
    bool closed = false;
    for (; pos < message.size(); ++pos) {
        if (message[pos] == '[') {
            ++depth;
        } else if (message[pos] == ']' && depth > 0) {
            if (--depth == 0) {
                ++pos;
                closed = true;
                break;
            }
        }
    }
    if (!closed || pos >= message.size() || message[pos] != ':') return plain();
    ++pos;
    while (pos < message.size() && message[pos] == ' ') ++pos;
    size_t tokenEnd = pos;
    while (tokenEnd < message.size() && message[tokenEnd] != ':' && !isControl(message[tokenEnd])) ++tokenEnd;
    std::string token = message.substr(pos, tokenEnd - pos);
    while (!token.empty() && token.back() == ' ') token.pop_back();
    pos = tokenEnd;
    if (pos < message.size() && message[pos] == ':') ++pos;
    while (pos < message.size() && message[pos] != ' ' && !isControl(message[pos])) ++pos;
    if (pos < message.size() && message[pos] == ' ') ++pos;
    const std::string errorText = message.substr(std::min(pos, message.size()));

    if (errorText.empty() || token.empty() || token.size() > 9) return plain();
    for (const char c : token)
        if (c < '0' || c > '9') return plain();
    const long line = std::strtol(token.c_str(), nullptr, 10);

    // Lines end at CR LF, CR or LF.
    const auto nextLine = [&](size_t at) {
        while (at < chunk.size() && chunk[at] != '\r' && chunk[at] != '\n') ++at;
        if (at < chunk.size() && chunk[at] == '\r') {
            ++at;
            if (at < chunk.size() && chunk[at] == '\n') ++at;
        } else if (at < chunk.size()) {
            ++at;
        }
        return at;
    };
    size_t at = 0;
    for (long skipped = 0; skipped < line - 2 && at < chunk.size(); ++skipped) at = nextLine(at);

    std::wstring text = System::utf8ToWide(errorText);
    for (int quoted = 0; quoted < 3 && at < chunk.size(); ++quoted) {
        size_t end = at;
        while (end < chunk.size() && chunk[end] != '\r' && chunk[end] != '\n') ++end;
        text += L"\r\n> " + System::utf8ToWide(chunk.substr(at, end - at));
        at = nextLine(at);
    }
    return text;
}

}  // namespace Plugin
