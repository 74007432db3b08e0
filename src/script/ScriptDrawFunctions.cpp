#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "core/Log.h"
#include "core/TextConvert.h"
#include "edit/Scene.h"
#include "effect/EffectItemNumber.h"
#include "effect/MovementBase.h"
#include "effects/CameraControl.h"
#include "edit/Object.h"
#include "effect/RenderContext.h"
#include "media/gpu/Direct3DService.h"
#include "media/gpu/ResourceBuffer.h"
#include "media/gpu/ResourceService.h"
#include "media/gpu/VertexListQuadPosColor.h"
#include "media/gpu/VertexListQuadPosColorNorm.h"
#include "media/gpu/VertexListQuadPosUv.h"
#include "media/gpu/VertexListQuadPosUvNorm.h"
#include "render/ResourceCache.h"
#include "render/VideoPass.h"
#include "script/LuaInstance.h"
#include "script/LuaModule.h"
#include "script/ScriptEffect.h"
#include "script/ScriptFilter.h"
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

int drawQuads(ScriptCall& call, std::shared_ptr<Media::VertexList> list, double alpha) {
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

// The kinds of the table form by their numbers per quad.
constexpr size_t kTexturedCount = 20;
constexpr size_t kColouredCount = 28;
constexpr size_t kTexturedNormalCount = 32;
constexpr size_t kColouredNormalCount = 40;
constexpr size_t kOtherCounts[] = {kColouredCount, kTexturedNormalCount, kColouredNormalCount};

// The camera control that applies to the context's object, or none.
Effect::CameraControl* cameraOf(const Render::RenderContext& context) {
    const std::shared_ptr<Edit::Object>& control = context.view.cameraControl;
    if (!control || control->effects.empty()) return nullptr;
    return dynamic_cast<Effect::CameraControl*>(control->effects.front().get());
}

// The camera's fields as a script sees them; the up direction is stored negated.
int pushCamera(ScriptCall& call, const Effect::CameraControl::Record& camera) {
    LuaModule& lua = *call.lua;
    lua.lua_createtable(call.state, 0, 11);
    const struct {
        const char* name;
        float value;
    } fields[] = {{"x", camera.eye.x},     {"y", camera.eye.y},     {"z", camera.eye.z},     {"d", camera.focal},
                  {"tx", camera.target.x}, {"ty", camera.target.y}, {"tz", camera.target.z}, {"rz", camera.tilt},
                  {"ux", -camera.up.x},    {"uy", -camera.up.y},    {"uz", -camera.up.z}};
    for (const auto& field : fields) {
        lua.lua_pushnumber(call.state, field.value);
        lua.lua_setfield(call.state, -2, field.name);
    }
    return 1;
}

// A field of the table argument, without metamethods; 0 when missing.
float rawField(ScriptCall& call, const char* name) {
    LuaModule& lua = *call.lua;
    lua.lua_pushstring(call.state, name);
    lua.lua_rawget(call.state, 2);
    const auto value = static_cast<float>(lua.lua_tonumber(call.state, -1));
    lua.pop(call.state, 1);
    return value;
}

void setCamera(ScriptCall& call, Effect::CameraControl& camera) {
    Effect::CameraControl::Record& r = camera.record;
    r.eye = {rawField(call, "x"), rawField(call, "y"), rawField(call, "z"), 1};
    r.focal = rawField(call, "d");
    r.target = {rawField(call, "tx"), rawField(call, "ty"), rawField(call, "tz"), 1};
    r.tilt = rawField(call, "rz");
    r.up = {-rawField(call, "ux"), -rawField(call, "uy"), -rawField(call, "uz"), 0};
    // The frame's camera follows at once, for the objects drawn after the script.
    const Edit::Scene* scene = call.renderContext().scene;
    const float w = scene ? static_cast<float>(scene->videoWidth) : 0;
    const float h = scene ? static_cast<float>(scene->videoHeight) : 0;
    camera.direction = {r.target.x - r.eye.x, r.target.y - r.eye.y, r.target.z - r.eye.z, 0};
    if (camera.direction.x == 0 && camera.direction.y == 0 && camera.direction.z == 0) camera.direction.z = 1;
    camera.cameraMatrix = Effect::CameraControl::getCameraMatrix(r, w, h);
}

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
    const bool textured = perQuad == kTexturedCount || perQuad == kTexturedNormalCount;
    const bool normals = perQuad == kTexturedNormalCount || perQuad == kColouredNormalCount;
    // The numbers of one quad: positions, then texture or colour, then normals.
    std::vector<float> values(perQuad);
    const auto readQuad = [&](size_t q) {
        rawIndex(lua, state, 1, q + 1);
        for (size_t i = 0; i < perQuad; ++i) {
            rawIndex(lua, state, -1, i + 1);
            values[i] = static_cast<float>(lua.lua_tonumber(state, -1));
            lua.pop(state, 1);
        }
        lua.pop(state, 1);
    };
    const size_t normalAt = textured ? 20 : 28;
    std::shared_ptr<Media::VertexList> list;
    if (textured && !normals) {
        auto quads = std::make_shared<Media::VertexListQuadPosUv>();
        quads->vertices.reserve(count * 4);
        for (size_t q = 0; q < count; ++q) {
            readQuad(q);
            for (size_t c = 0; c < 4; ++c)
                quads->vertices.push_back({values[c * 3], values[c * 3 + 1], values[c * 3 + 2],
                                           static_cast<float>(values[12 + c * 2] / width),
                                           static_cast<float>(values[13 + c * 2] / height), 1.0f, 0});
        }
        list = std::move(quads);
    } else if (textured) {
        auto quads = std::make_shared<Media::VertexListQuadPosUvNorm>();
        quads->vertices.reserve(count * 4);
        for (size_t q = 0; q < count; ++q) {
            readQuad(q);
            for (size_t c = 0; c < 4; ++c)
                quads->vertices.push_back({values[c * 3], values[c * 3 + 1], values[c * 3 + 2],
                                           values[normalAt + c * 3], values[normalAt + c * 3 + 1],
                                           values[normalAt + c * 3 + 2],
                                           static_cast<float>(values[12 + c * 2] / width),
                                           static_cast<float>(values[13 + c * 2] / height), 1.0f, 0});
        }
        list = std::move(quads);
    } else if (!normals) {
        auto quads = std::make_shared<Media::VertexListQuadPosColor>();
        quads->vertices.reserve(count * 4);
        for (size_t q = 0; q < count; ++q) {
            readQuad(q);
            for (size_t c = 0; c < 4; ++c)
                quads->vertices.push_back({values[c * 3], values[c * 3 + 1], values[c * 3 + 2], values[12 + c * 4],
                                           values[13 + c * 4], values[14 + c * 4], values[15 + c * 4]});
        }
        list = std::move(quads);
    } else {
        auto quads = std::make_shared<Media::VertexListQuadPosColorNorm>();
        quads->vertices.reserve(count * 4);
        for (size_t q = 0; q < count; ++q) {
            readQuad(q);
            for (size_t c = 0; c < 4; ++c)
                quads->vertices.push_back({values[c * 3], values[c * 3 + 1], values[c * 3 + 2],
                                           values[normalAt + c * 3], values[normalAt + c * 3 + 1],
                                           values[normalAt + c * 3 + 2], values[12 + c * 4], values[13 + c * 4],
                                           values[14 + c * 4], values[15 + c * 4]});
        }
        list = std::move(quads);
    }
    return drawQuads(call, std::move(list), alpha);
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
    if (name == "camera_param") {
        if (call.type(2) != Lua::kTypeTable) (void)call.lua->luaL_checklstring(call.state, 2, nullptr);
        Effect::CameraControl* camera = cameraOf(call.renderContext());
        if (camera == nullptr) return call.fail("no camera control");
        setCamera(call, *camera);
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
    if (name == "track_mode") {
        const std::string_view track = call.string(2);
        (void)instance.getEffect();
        const Effect::EffectItemNumber* item = LuaInstance::findTrackItem(std::string(track));
        if (item == nullptr)
            return call.fail("invalid track name=%.*s", static_cast<int>(track.size()), track.data());
        if (item->movement == nullptr || std::wstring_view(item->movement->name) == L"移動無し")
            return call.pushInteger(0);
        return call.pushString(System::wideToUtf8(item->movement->name));
    }
    if (name == "camera_param") {
        Effect::CameraControl* camera = cameraOf(call.renderContext());
        if (camera == nullptr) return call.fail("no camera control");
        return pushCamera(call, camera->record);
    }
    if (name == "script_name") {
        const int64_t offset = call.has(2) ? call.integer64(2) : 0;
        const bool enabledOnly = call.has(3) && call.boolean(3);
        const Effect::ScriptEffect& own = instance.getEffect();
        const Edit::Object* object = instance.genericContext().object.get();
        if (object == nullptr) return call.pushString("");
        const auto& effects = object->effects;
        const auto found = std::find_if(effects.begin(), effects.end(), [&](const auto& e) { return e.get() == &own; });
        if (found == effects.end()) return call.pushString("");
        int64_t at = found - effects.begin();
        const int64_t step = offset < 0 ? -1 : 1;
        for (int64_t left = offset < 0 ? -offset : offset; left > 0;) {
            at += step;
            if (at < 0 || at >= static_cast<int64_t>(effects.size())) return call.pushString("");
            if (!enabledOnly || effects[static_cast<size_t>(at)]->disabled == 0) --left;
        }
        const auto* reached = dynamic_cast<const Effect::ScriptFilter*>(effects[static_cast<size_t>(at)].get());
        return call.pushString(reached != nullptr ? System::wideToUtf8(reached->name) : std::string());
    }
    return call.fail("invalid get option name=%.*s", static_cast<int>(name.size()), name.data());
}

}  // namespace Plugin::ScriptLibrary
