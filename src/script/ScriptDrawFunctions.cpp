#include <algorithm>
#include <memory>
#include <string>

#include "core/Log.h"
#include "edit/Object.h"
#include "effect/RenderContext.h"
#include "media/gpu/Direct3DService.h"
#include "media/gpu/ResourceBuffer.h"
#include "media/gpu/ResourceService.h"
#include "media/gpu/VertexListQuadPosUv.h"
#include "render/ResourceCache.h"
#include "render/VideoPass.h"
#include "script/LuaInstance.h"
#include "script/LuaModule.h"
#include "script/ScriptFunctions.h"

namespace Plugin::ScriptLibrary {

namespace {

using Image = std::shared_ptr<Media::ResourceBuffer>;

struct BlendName {
    std::string_view name;
    int32_t mode;
};

constexpr BlendName kBlendNames[] = {
    {"none", 0},        {"add", 1},         {"sub", 2},         {"mul", 3},        {"screen", 4},
    {"overlay", 5},     {"light", 6},       {"dark", 7},        {"brightness", 8}, {"chroma", 9},
    {"shadow", 10},     {"light_dark", 11}, {"diff", 12},       {"alpha_add", 20}, {"alpha_add2", 21},
    {"alpha_max", 22},  {"alpha_sub", 23},
};

constexpr int32_t kMaxBlendMode = 23;

bool hasSize(const Image& image) { return image && image->width != 0 && image->height != 0; }

// One textured quad of the draw forms: positions x, y, z and u, v in 0..1 per corner.
struct Quad {
    float position[4][3];
    float uv[4][2];
};

// Draws the object image with the view into the run's draw target.
void drawIntoTarget(ScriptPluginInstance& instance, const Effect::OutputView& view, Media::VertexList* list) {
    auto* lua = dynamic_cast<LuaInstance*>(&instance);
    if (lua == nullptr || !instance.drawTarget || !hasSize(instance.objectImage())) return;
    lua->drawToObjectTarget(view, *instance.drawTarget, *instance.objectImage(), list);
}

// The view of a draw into the target: only the call's own transform, with the
// context's blend mode and sampler.
Effect::OutputView targetView(const Render::RenderContext& context) {
    Effect::OutputView view;
    view.blendMode = context.view.blendMode;
    view.samplerState = context.view.samplerState;
    view.hideBackFace = 0;
    return view;
}

// Composites the object image into the frame through the object's output with
// the context copy; the run does not composite it again.
void drawIntoFrame(ScriptPluginInstance& instance, Render::RenderContext& copy) {
    Render::VideoPass::outputVideo(copy, instance.objectImage());
    instance.drawn = 1;
}

std::shared_ptr<Media::VertexListQuadPosUv> makeList(const Quad* quads, size_t count, float alpha) {
    auto list = std::make_shared<Media::VertexListQuadPosUv>();
    list->vertices.reserve(count * 4);
    for (size_t q = 0; q < count; ++q)
        for (int corner = 0; corner < 4; ++corner)
            list->vertices.push_back({quads[q].position[corner][0], quads[q].position[corner][1],
                                      quads[q].position[corner][2], quads[q].uv[corner][0], quads[q].uv[corner][1],
                                      alpha, 0});
    return list;
}

int drawQuads(ScriptCall& call, std::shared_ptr<Media::VertexListQuadPosUv> list, double alpha) {
    ScriptPluginInstance& instance = *call.instance;
    if (instance.drawTarget) {
        Effect::OutputView view = targetView(call.renderContext());
        view.opacity = static_cast<float>(alpha);
        drawIntoTarget(instance, view, list.get());
        return 0;
    }
    Render::RenderContext copy = call.renderContext();
    copy.view.opacity = static_cast<float>(copy.view.opacity * alpha);
    copy.vertexList = std::move(list);
    copy.customShape = 1;
    if (hasSize(instance.objectImage())) drawIntoFrame(instance, copy);
    return 0;
}

// Pushes table[index] of the table at the slot, without metamethods.
void rawIndex(LuaModule& lua, lua_State* state, int slot, size_t index) {
    const int absolute = slot < 0 ? lua.lua_gettop(state) + slot + 1 : slot;
    lua.lua_pushinteger(state, static_cast<Lua::Integer>(index));
    lua.lua_rawget(state, absolute);
}

// The textured kind of the table form: 20 numbers per quad.
constexpr size_t kTexturedCount = 20;
constexpr size_t kOtherCounts[] = {28, 32, 40};

}  // namespace

int draw(ScriptCall& call) {
    const double ox = call.numberOr(1, 0), oy = call.numberOr(2, 0), oz = call.numberOr(3, 0);
    const double zoom = call.numberOr(4, 1), alpha = call.numberOr(5, 1);
    const double rx = call.numberOr(6, 0), ry = call.numberOr(7, 0), rz = call.numberOr(8, 0);
    ScriptPluginInstance& instance = *call.instance;
    if (!hasSize(instance.objectImage())) return 0;
    if (instance.drawTarget) {
        Effect::OutputView view = targetView(call.renderContext());
        view.x = static_cast<float>(ox);
        view.y = static_cast<float>(oy);
        view.z = static_cast<float>(oz);
        view.rotationX = static_cast<float>(rx);
        view.rotationY = static_cast<float>(ry);
        view.rotationZ = static_cast<float>(rz);
        view.scaleX = view.scaleY = view.scaleZ = static_cast<float>(zoom);
        view.opacity = static_cast<float>(alpha);
        drawIntoTarget(instance, view, nullptr);
        return 0;
    }
    if (auto* lua = dynamic_cast<LuaInstance*>(&instance)) {
        LuaInstance::VariableAccessSection section(*lua);
        lua->getObjectVariables();
    }
    Render::RenderContext copy = call.renderContext();
    Effect::OutputView& view = copy.view;
    view.x = static_cast<float>(view.x + ox);
    view.y = static_cast<float>(view.y + oy);
    view.z = static_cast<float>(view.z + oz);
    view.rotationX = static_cast<float>(view.rotationX + rx);
    view.rotationY = static_cast<float>(view.rotationY + ry);
    view.rotationZ = static_cast<float>(view.rotationZ + rz);
    view.scaleX = static_cast<float>(view.scaleX * zoom);
    view.scaleY = static_cast<float>(view.scaleY * zoom);
    view.scaleZ = static_cast<float>(view.scaleZ * zoom);
    view.opacity = static_cast<float>(view.opacity * alpha);
    drawIntoFrame(instance, copy);
    return 0;
}

int drawpoly(ScriptCall& call) {
    const bool tableForm = call.type(1) == Lua::kTypeTable;
    if (!tableForm) {
        Quad quad{};
        for (int i = 0; i < 12; ++i) quad.position[i / 3][i % 3] = static_cast<float>(call.number(i + 1));
        const bool textured = call.count >= 13;
        double u[4] = {0, 1, 1, 0}, v[4] = {0, 0, 1, 1};
        if (textured) {
            for (int corner = 0; corner < 4; ++corner) {
                u[corner] = call.number(13 + corner * 2);
                v[corner] = call.number(14 + corner * 2);
            }
        }
        const double alpha = call.numberOr(21, 1);
        (void)call.renderContext();
        const Image& image = call.instance->objectImage();
        if (!hasSize(image)) return 0;
        for (int corner = 0; corner < 4; ++corner) {
            const double pu = textured ? u[corner] / image->width : u[corner];
            const double pv = textured ? v[corner] / image->height : v[corner];
            quad.uv[corner][0] = static_cast<float>(std::clamp(pu, 0.0, 1.0));
            quad.uv[corner][1] = static_cast<float>(std::clamp(pv, 0.0, 1.0));
        }
        return drawQuads(call, makeList(&quad, 1, 1.0f), alpha);
    }

    // Table form: every element one quad of the kind element 1 sets.
    LuaModule& lua = *call.lua;
    lua_State* state = call.state;
    const double alpha = call.numberOr(2, 1);
    rawIndex(lua, state, 1, 1);
    const bool firstIsTable = lua.lua_type(state, -1) == Lua::kTypeTable;
    const size_t perQuad = firstIsTable ? lua.lua_objlen(state, -1) : 0;
    lua.pop(state, 1);
    if (!firstIsTable) return call.fail("argument not table");
    const bool known = perQuad == kTexturedCount ||
                       std::find(std::begin(kOtherCounts), std::end(kOtherCounts), perQuad) != std::end(kOtherCounts);
    if (!known) return call.fail("invalid number of argument");
    if (perQuad != kTexturedCount) return call.fail("unsupported");
    const size_t count = lua.lua_objlen(state, 1);
    for (size_t q = 1; q <= count; ++q) {
        rawIndex(lua, state, 1, q);
        const bool ok = lua.lua_type(state, -1) == Lua::kTypeTable && lua.lua_objlen(state, -1) == perQuad;
        lua.pop(state, 1);
        if (!ok) return call.fail("invalid number of argument");
    }
    (void)call.renderContext();
    const Image& image = call.instance->objectImage();
    const double width = image ? image->width : 1, height = image ? image->height : 1;
    std::unique_ptr<Quad[]> quads(new Quad[count]);
    for (size_t q = 0; q < count; ++q) {
        rawIndex(lua, state, 1, q + 1);
        float values[kTexturedCount];
        for (size_t i = 0; i < kTexturedCount; ++i) {
            rawIndex(lua, state, -1, i + 1);
            values[i] = static_cast<float>(lua.lua_tonumber(state, -1));
            lua.pop(state, 1);
        }
        lua.pop(state, 1);
        for (int i = 0; i < 12; ++i) quads[q].position[i / 3][i % 3] = values[i];
        for (int corner = 0; corner < 4; ++corner) {
            quads[q].uv[corner][0] = static_cast<float>(values[12 + corner * 2] / width);
            quads[q].uv[corner][1] = static_cast<float>(values[13 + corner * 2] / height);
        }
    }
    return drawQuads(call, makeList(quads.get(), count, 1.0f), alpha);
}

int setoption(ScriptCall& call) {
    const std::string_view name = call.string(1);
    ScriptPluginInstance& instance = *call.instance;
    if (name == "focus_mode") {
        (void)call.string(2);
        return 0;  // the fixed-size focus only changes how the preview's anchors look
    }
    if (name == "drawtarget" || name == "dst") {
        const std::string_view target = call.string(2);
        const bool sized = call.has(3) || call.has(4);
        const int32_t width = sized ? call.integer(3) : 0;
        const int32_t height = sized ? call.integer(4) : 0;
        if (target == "framebuffer" || target == "frm") {
            instance.drawTarget.reset();
            return 0;
        }
        if (target != "tempbuffer" && target != "tmp")
            return call.fail("invalid drawtarget type=%.*s", static_cast<int>(target.size()), target.data());
        Render::RenderContext& context = call.renderContext();
        if (!context.resourceCache) {
            instance.drawTarget.reset();
            return 0;
        }
        if (!sized) {
            instance.drawTarget = context.resourceCache->find("tempbuffer");
            return 0;
        }
        const int32_t w = std::clamp<int32_t>(width, 1, Media::ResourceBuffer::kMaxSize);
        const int32_t h = std::clamp<int32_t>(height, 1, Media::ResourceBuffer::kMaxSize);
        instance.drawTarget = context.resourceCache->acquire("tempbuffer", w, h);
        Media::Direct3DService* device = Media::Direct3DService::get();
        if (instance.drawTarget && device != nullptr && device->context) {
            const float clear[4] = {0, 0, 0, 0};
            device->context->clearRenderTargetView(instance.drawTarget->getRenderTargetView(), clear);
        }
        return 0;
    }
    if (name == "sampler") {
        const std::string_view word = call.string(2);
        const int index = word == "clip" ? 0 : word == "clamp" ? 1 : word == "loop" ? 2 : -1;
        Render::RenderContext& context = call.renderContext();
        Resource::ResourceService* resources = Resource::ResourceService::get();
        if (index < 0 || resources == nullptr) {
            context.view.samplerState.reset();
            return 0;
        }
        // The list lives as long as the device; the context only points at it.
        context.view.samplerState = std::shared_ptr<Platform::gpu::SamplerState>(
            std::shared_ptr<void>(), resources->samplerStates[static_cast<size_t>(index)].createResource());
        return 0;
    }
    if (name == "blend") {
        int32_t mode = 0;
        if (call.type(2) == Lua::kTypeNumber) {
            mode = static_cast<int32_t>(std::clamp<int64_t>(call.integer64(2), 0, kMaxBlendMode));
        } else {
            const std::string_view word = call.string(2);
            const auto found = std::find_if(std::begin(kBlendNames), std::end(kBlendNames),
                                            [&](const BlendName& entry) { return entry.name == word; });
            if (found == std::end(kBlendNames))
                return call.fail("invalid blend type=%.*s", static_cast<int>(word.size()), word.data());
            mode = found->mode;
        }
        call.renderContext().view.blendMode = mode;
        return 0;
    }
    if (name == "culling") {
        const int64_t value = call.integer64(2);
        call.renderContext().view.hideBackFace = value != 0 ? 1 : 0;
        return 0;
    }
    if (name == "billboard") {
        const int32_t value = call.integer(2);
        call.renderContext().view.facingMode = value;
        return 0;
    }
    if (name == "draw_state") {
        instance.drawn = call.boolean(2) ? 1 : 0;
        return 0;
    }
    if (name == "antialias" || name == "shadow") return 0;
    System::Log::script(instance.record().name.c_str(), "invalid set option name=%s", std::string(name).c_str());
    return 0;
}

int getoption(ScriptCall& call) {
    const std::string_view name = call.string(1);
    ScriptPluginInstance& instance = *call.instance;
    if (name == "section_num") {
        const Render::RenderContext& context = instance.genericContext();
        return call.pushInteger(context.object ? context.object->sectionCount() : 1);
    }
    if (name == "multi_object") return call.pushBoolean(call.renderContext().count != 1);
    if (name == "camera_mode") return call.pushBoolean(call.renderContext().view.cameraControl != nullptr);
    if (name == "gui") return call.pushBoolean(call.renderContext().anchorList != nullptr);
    return call.fail("invalid get option name=%.*s", static_cast<int>(name.size()), name.data());
}

}  // namespace Plugin::ScriptLibrary
