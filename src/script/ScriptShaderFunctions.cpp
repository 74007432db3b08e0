// The script's own shaders run over the run's buffers.
#include <memory>
#include <string>
#include <vector>

#include "core/Log.h"
#include "effect/RenderContext.h"
#include "media/gpu/ComputeShader.h"
#include "media/gpu/ConstantBufferCommon.h"
#include "media/gpu/Direct3DService.h"
#include "media/gpu/PixelShader.h"
#include "media/gpu/RenderBuffer.h"
#include "media/gpu/ResourceBuffer.h"
#include "media/gpu/ResourceService.h"
#include "media/gpu/ShaderBufferInstance.h"
#include "render/ResourceCache.h"
#include "script/LuaInstance.h"
#include "script/LuaModule.h"
#include "script/ScriptEffect.h"
#include "script/ScriptFunctions.h"

namespace Plugin::ScriptLibrary {

namespace {

using Platform::gpu::ShaderStage;
using Image = std::shared_ptr<Media::ResourceBuffer>;

constexpr std::string_view kCachePrefix = "cache:";

// Checks a target or resource argument: nil, a name or a table of names.
// Raises the engine's argument error for anything else, so it runs before
// any object with a destructor exists.
void checkBufferArgument(ScriptCall& call, int index) {
    if (call.has(index) && call.type(index) != Lua::kTypeTable) (void)call.string(index);
}

// The names an argument gives, a table's values in table order.
std::vector<std::string> bufferNames(ScriptCall& call, int index) {
    std::vector<std::string> names;
    if (!call.has(index)) return names;
    if (call.type(index) != Lua::kTypeTable) {
        names.emplace_back(call.string(index));
        return names;
    }
    LuaModule& lua = *call.lua;
    lua.lua_pushnil(call.state);
    while (lua.lua_next(call.state, index) != 0) {
        size_t length = 0;
        // Only string and number values are names; converting a number
        // changes the value, never the key the walk goes on from.
        const int type = lua.lua_type(call.state, -1);
        const char* text = type == Lua::kTypeString || type == Lua::kTypeNumber
                               ? lua.lua_tolstring(call.state, -1, &length)
                               : nullptr;
        names.emplace_back(text != nullptr ? std::string(text, length) : std::string());
        lua.pop(call.state, 1);
    }
    return names;
}

// The views of the buffers the names give; a name that gives none is logged
// and left out. The buffers stay alive while the list lives.
struct ViewList {
    std::vector<Image> held;
    std::vector<std::unique_ptr<Media::ShaderBufferInstance>> views;

    size_t size() const { return views.size(); }
    Media::ShaderBufferInstance& operator[](size_t i) const { return *views[i]; }

    // True when one of the views is over the same buffer as this one.
    bool holds(Media::ShaderBufferInstance& view) const {
        for (const auto& own : views)
            if (own->get() == view.get()) return true;
        return false;
    }
};

ViewList bufferViews(ScriptCall& call, const std::vector<std::string>& names) {
    ViewList list;
    for (const std::string& name : names) {
        if (name == "object") {
            const Image& image = call.instance->objectImage();
            if (image && image->texture) {
                list.held.push_back(image);
                list.views.push_back(std::make_unique<Media::ShaderResourceBuffer>(image.get()));
                continue;
            }
        } else if (name == "tempbuffer" || std::string_view(name).starts_with(kCachePrefix)) {
            Render::RenderContext& context = call.renderContext();
            if (Image image = context.resourceCache ? context.resourceCache->find(name) : nullptr;
                image && image->texture) {
                list.views.push_back(std::make_unique<Media::ShaderResourceBuffer>(image.get()));
                list.held.push_back(std::move(image));
                continue;
            }
        } else if (name == "framebuffer") {
            Media::RenderBuffer* frame = call.renderContext().view.frameBuffer;
            if (frame != nullptr && frame->texture) {
                list.views.push_back(std::make_unique<Media::ShaderRenderBuffer>(frame));
                continue;
            }
        }
        System::Log::script(call.instance->record().name.c_str(), "invalid buffer type. name=%s", name.c_str());
    }
    return list;
}

// The numbers of a constant table as 32-bit floats, padded with zeros to
// whole groups of four; empty without a table or without a number in it.
std::vector<float> constantValues(ScriptCall& call, int index) {
    std::vector<float> values;
    if (call.type(index) != Lua::kTypeTable) return values;
    LuaModule& lua = *call.lua;
    lua.lua_pushnil(call.state);
    while (lua.lua_next(call.state, index) != 0) {
        if (lua.lua_type(call.state, -1) == Lua::kTypeNumber)
            values.push_back(static_cast<float>(lua.lua_tonumber(call.state, -1)));
        lua.pop(call.state, 1);
    }
    values.resize((values.size() + 3) / 4 * 4, 0.0f);
    return values;
}

// A constant buffer holding the values for this call, or none without values.
std::unique_ptr<Media::ConstantBufferCommon> constantBuffer(const std::vector<float>& values) {
    if (values.empty()) return nullptr;
    auto buffer = std::make_unique<Media::ConstantBufferCommon>();
    buffer->create(values.data(), static_cast<uint32_t>(values.size() * sizeof(float)));
    return buffer;
}

Effect::ScriptEffect::CommonResource& scriptResource(ScriptCall& call) {
    Effect::ScriptEffect& effect = call.instance->getEffect();
    if (!effect.hasCommonResource()) effect.createCommonResource();
    return effect.commonResource();
}

// The blend state of a blend word: none for blending off; false for an
// unknown word.
bool blendState(std::string_view word, const Platform::gpu::BlendState*& state) {
    size_t index = 3;
    if (word.empty() || word == "copy")
        index = 3;
    else if (word == "draw")
        index = 0;
    else if (word == "mask")
        index = 7;
    else if (word == "add")
        index = 11;
    else
        return false;
    Resource::ResourceService* resources = Resource::ResourceService::get();
    state = resources != nullptr ? resources->blendStates[index].createResource() : nullptr;
    return true;
}

}  // namespace

int pixelshader(ScriptCall& call) {
    const std::string_view name = call.string(1);
    checkBufferArgument(call, 2);
    checkBufferArgument(call, 3);
    const std::string_view blendWord = call.has(5) ? call.string(5) : std::string_view();

    Media::PixelShader* shader = scriptResource(call).getPixelShader(std::string(name));
    if (shader == nullptr)
        return call.fail("invalid shader name. name=%.*s", static_cast<int>(name.size()), name.data());
    const ViewList targets = bufferViews(call, bufferNames(call, 2));
    const ViewList resources = bufferViews(call, bufferNames(call, 3));
    if (targets.size() != 1) return call.fail("invalid shader output parameter");
    const Platform::gpu::BlendState* blend = nullptr;
    if (!blendState(blendWord, blend))
        return call.fail("invalid shader blend mode. mode=%.*s", static_cast<int>(blendWord.size()), blendWord.data());

    Media::Direct3DService& device = *Media::Direct3DService::get();
    Platform::gpu::Context& context = *device.context;
    const auto constants = constantBuffer(constantValues(call, 4));
    // A resource that is the target itself is read from a copy made now.
    std::vector<Platform::gpu::View*> sources;
    for (size_t i = 0; i < resources.size(); ++i)
        sources.push_back(targets.holds(resources[i]) ? resources[i].getCopyShaderResourceView()
                                                      : resources[i].getShaderResourceView());
    if (constants) context.setConstantBuffer(ShaderStage::Pixel, 0, constants->buffer.get());
    targets[0].setTarget();
    for (size_t i = 0; i < sources.size(); ++i)
        context.setShaderResource(ShaderStage::Pixel, static_cast<uint32_t>(i), sources[i]);
    shader->draw(*shader, blend, nullptr);
    for (size_t i = 0; i < sources.size(); ++i)
        context.setShaderResource(ShaderStage::Pixel, static_cast<uint32_t>(i), nullptr);
    context.setRenderTarget(nullptr);
    if (constants) context.setConstantBuffer(ShaderStage::Pixel, 0, nullptr);
    return 0;
}

int computeshader(ScriptCall& call) {
    const std::string_view name = call.string(1);
    checkBufferArgument(call, 2);
    checkBufferArgument(call, 3);
    const int32_t x = call.integerOr(5, 1);
    const int32_t y = call.integerOr(6, 1);
    const int32_t z = call.integerOr(7, 1);

    Media::ComputeShader* shader = scriptResource(call).getComputeShader(std::string(name));
    if (shader == nullptr)
        return call.fail("invalid shader name. name=%.*s", static_cast<int>(name.size()), name.data());
    const ViewList targets = bufferViews(call, bufferNames(call, 2));
    const ViewList resources = bufferViews(call, bufferNames(call, 3));
    if (targets.size() == 0) return call.fail("invalid shader output parameter");

    Media::Direct3DService& device = *Media::Direct3DService::get();
    Platform::gpu::Context& context = *device.context;
    const auto constants = constantBuffer(constantValues(call, 4));
    std::vector<Platform::gpu::View*> sources;
    for (size_t i = 0; i < resources.size(); ++i)
        sources.push_back(targets.holds(resources[i]) ? resources[i].getCopyShaderResourceView()
                                                      : resources[i].getShaderResourceView());
    if (constants) context.setConstantBuffer(ShaderStage::Compute, 0, constants->buffer.get());
    for (size_t i = 0; i < targets.size(); ++i)
        context.setUnorderedAccessView(ShaderStage::Compute, static_cast<uint32_t>(i),
                                       targets[i].getUnorderedAccessView());
    for (size_t i = 0; i < sources.size(); ++i)
        context.setShaderResource(ShaderStage::Compute, static_cast<uint32_t>(i), sources[i]);
    shader->dispatch(static_cast<uint32_t>(x), static_cast<uint32_t>(y), static_cast<uint32_t>(z));
    for (size_t i = 0; i < sources.size(); ++i)
        context.setShaderResource(ShaderStage::Compute, static_cast<uint32_t>(i), nullptr);
    for (size_t i = 0; i < targets.size(); ++i)
        context.setUnorderedAccessView(ShaderStage::Compute, static_cast<uint32_t>(i), nullptr);
    if (constants) context.setConstantBuffer(ShaderStage::Compute, 0, nullptr);
    return 0;
}

}  // namespace Plugin::ScriptLibrary
