#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "edit/Scene.h"
#include "effect/RenderContext.h"
#include "media/audio/AudioBuffer.h"
#include "render/RenderAudioWorker.h"
#include "render/RenderService.h"
#include "render/cache/CacheService.h"
#include "script/LuaInstance.h"
#include "script/LuaModule.h"
#include "script/ScriptFunctions.h"

namespace Plugin::ScriptLibrary {

namespace {

// The sound of the context's frame: the scene's mix, or the file's samples
// of the frame counted from the object's start.
std::shared_ptr<Media::AudioBuffer> frameAudio(ScriptCall& call, Render::RenderContext& context,
                                               std::string_view source) {
    if (source == "audiobuffer") {
        Render::RenderService* render = Render::RenderService::get();
        if (render == nullptr || context.scene == nullptr) return nullptr;
        const std::shared_ptr<Render::RenderAudioWorker::RenderingBuffer> request =
            render->audio().requestPreInputAudio(*context.scene, context.frame);
        if (!request) return nullptr;
        request->event.wait();
        return std::shared_ptr<Media::AudioBuffer>(request, static_cast<Media::AudioBuffer*>(request.get()));
    }
    Cache::CacheService* caches = Cache::CacheService::get();
    const Render::AudioRange range = context.getAudioRange();
    if (caches == nullptr || range.rate <= 0 || range.count <= 0) return nullptr;
    const std::wstring path = call.instance->resolveScriptPath(std::string(source));
    return caches->audioCache.getAudio(path, {range.offset, static_cast<uint32_t>(range.rate)}, range.count, 0.0, 1.0);
}

}  // namespace

int getaudio(ScriptCall& call) {
    const bool intoTable = call.type(1) == Lua::kTypeTable;
    const std::string_view source = call.string(2);
    const std::string_view kind = call.string(3);
    const int64_t size = call.has(4) ? call.integer64(4) : 65536;
    if (size < 1) return 0;

    LuaModule& lua = *call.lua;
    lua_State* state = call.state;
    // The values are kept where an error of a table's metamethods cannot
    // leave C++ objects behind.
    float* scratch = nullptr;
    size_t count = 0;
    int32_t rate = 0;
    {
        Render::RenderContext& context = call.renderContext();
        const std::shared_ptr<Media::AudioBuffer> audio = frameAudio(call, context, source);
        if (!audio || audio->samples <= 0) return 0;
        rate = context.getAudioRange().rate;
        std::vector<float> values;
        if (kind == "spectrum") {
            values = audio->getSpectrum(static_cast<int32_t>(std::min<int64_t>(size, INT32_MAX)));
        } else if (kind == "fourier") {
            values = audio->getFourier();
        } else {
            const auto n = static_cast<size_t>(std::min<int64_t>(audio->samples, size));
            const float* left = audio->getChannel(0);
            const float* right = audio->getChannel(1);
            values.resize(n);
            for (size_t i = 0; i < n; ++i) values[i] = (left[i] + right[i]) * 32768.0f;
        }
        count = values.size();
        if (count != 0) {
            scratch = static_cast<float*>(lua.lua_newuserdata(state, count * sizeof(float)));
            std::memcpy(scratch, values.data(), count * sizeof(float));
        }
    }
    if (intoTable) {
        for (size_t i = 0; i < count; ++i) {
            lua.lua_pushinteger(state, static_cast<Lua::Integer>(i + 1));
            lua.lua_pushnumber(state, scratch[i]);
            lua.lua_settable(state, 1);
        }
        return call.pushInteger(static_cast<int64_t>(count)) + call.pushInteger(rate);
    }
    int results = call.pushInteger(static_cast<int64_t>(count)) + call.pushInteger(rate);
    lua.lua_createtable(state, static_cast<int>(std::min<size_t>(count, INT32_MAX)), 0);
    for (size_t i = 0; i < count; ++i) {
        lua.lua_pushinteger(state, static_cast<Lua::Integer>(i + 1));
        lua.lua_pushnumber(state, scratch[i]);
        lua.lua_settable(state, -3);
    }
    return results + 1;
}

}  // namespace Plugin::ScriptLibrary
