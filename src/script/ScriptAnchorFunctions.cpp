#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "core/Color.h"
#include "edit/Object.h"
#include "effect/AnchorEffectBase.h"
#include "effect/AnchorList.h"
#include "effect/EffectItemNumber.h"
#include "effect/ModelQueries.h"
#include "effect/RenderContext.h"
#include "script/LuaInstance.h"
#include "script/LuaModule.h"
#include "script/ScriptEffect.h"
#include "script/ScriptFunctions.h"

namespace Plugin::ScriptLibrary {

namespace {

enum class LineKind { kNone, kLine, kLoop, kStar, kArm };

// Points beyond this many get no anchors of their own: a count from a
// script must not decide how much memory a frame takes.
constexpr int64_t kMaxAnchorPoints = 65536;

Media::ColorRgba colourOf(int32_t rgb) {
    return {((rgb >> 16) & 255) / 255.0f, ((rgb >> 8) & 255) / 255.0f, (rgb & 255) / 255.0f, 1.0f};
}

// The segments of one half (points first .. last - 1) as two-point polylines.
void addLines(Anchor::AnchorList& list, const Effect::EffectBase* owner, const std::vector<Platform::math::Float4>& at,
              size_t first, size_t last, const Platform::math::Float4& origin, LineKind kind,
              const Media::ColorRgba& colour) {
    if (first >= last) return;
    const auto segment = [&](const Platform::math::Float4& a, const Platform::math::Float4& b) {
        const Platform::math::Float4 points[2] = {a, b};
        list.addPolyline(owner, points, 2, &colour);
    };
    switch (kind) {
    case LineKind::kNone: return;
    case LineKind::kStar:
        for (size_t i = first; i < last; ++i) segment(at[i], origin);
        return;
    case LineKind::kLine:
    case LineKind::kLoop:
    case LineKind::kArm:
        for (size_t i = first; i + 1 < last; ++i) segment(at[i], at[i + 1]);
        if (kind == LineKind::kLoop && last - first >= 2) segment(at[last - 1], at[first]);
        if (kind == LineKind::kArm) segment(at[last - 1], origin);
        return;
    }
}

}  // namespace

int setanchor(ScriptCall& call) {
    const bool fromTable = call.type(1) == Lua::kTypeTable;
    const std::string_view name = fromTable ? std::string_view() : call.string(1);
    const int32_t count = call.integer(2);
    bool xyz = false, inout = false;
    LineKind kind = LineKind::kNone;
    int32_t rgb = 0xffffff;
    for (int at = 3; at <= call.count; ++at) {
        if (call.type(at) != Lua::kTypeString) continue;
        const std::string_view word = call.string(at);
        if (word == "xyz") xyz = true;
        else if (word == "inout") inout = true;
        else if (word == "line") kind = LineKind::kLine;
        else if (word == "loop") kind = LineKind::kLoop;
        else if (word == "star") kind = LineKind::kStar;
        else if (word == "arm") kind = LineKind::kArm;
        else if (word == "color" && at < call.count) rgb = call.integer(++at);
    }

    LuaModule& lua = *call.lua;
    lua_State* state = call.state;
    int32_t result = count;
    // The values for the script's global table, kept where an error of the
    // table's own metamethods cannot leave C++ objects behind.
    float* scratch = nullptr;
    size_t scratchCount = 0;
    {
        Render::RenderContext& context = call.renderContext();
        Effect::ScriptEffect& effect = call.instance->getEffect();
        const std::shared_ptr<Edit::Object>& object = context.object;
        if (!object) return 0;
        const auto entry = std::find_if(object->effects.begin(), object->effects.end(),
                                        [&](const auto& e) { return e.get() == &effect; });
        if (entry == object->effects.end()) return 0;
        const int32_t coordinates = xyz ? 3 : 2;

        const bool tracks = !fromTable && name == "track";
        int64_t points = std::max(count, 0);
        if (tracks) {
            size_t largest = 0;
            for (int32_t j = 0; j < coordinates; ++j)
                if (const Effect::EffectItemNumber* track = effect.getTrackItem(j))
                    largest = std::max(largest, track->values.size());
            points = static_cast<int64_t>(largest);
            result = static_cast<int32_t>(largest);
        }

        const Effect::ModelQueries& model = Effect::modelQueries();
        if (!context.anchorList || effect.locked != 0 || !context.scene ||
            model.isObjectLayerLocked(*context.scene, *object) || !model.isFocusObject(*context.scene, *object))
            return call.pushInteger(result);

        points = std::min(points, kMaxAnchorPoints);
        std::vector<float> values;
        if (fromTable) {
            const size_t length = lua.lua_objlen(state, 1);
            values.reserve(std::min<size_t>(length, static_cast<size_t>(points * coordinates)));
            for (size_t i = 1; i <= length && values.size() < static_cast<size_t>(points * coordinates); ++i) {
                lua.lua_pushinteger(state, static_cast<Lua::Integer>(i));
                lua.lua_rawget(state, 1);
                values.push_back(static_cast<float>(lua.lua_tonumber(state, -1)));
                lua.pop(state, 1);
            }
        } else if (tracks) {
            values = effect.getTrackPoints(context, coordinates, static_cast<int32_t>(points));
        } else {
            values = effect.getAnchorValues(std::string(name));
        }
        const size_t valueCount = static_cast<size_t>(points * coordinates);
        if (values.size() < valueCount) values.resize(valueCount, 0.0f);

        const Platform::math::Matrix matrix = context.getOutputView().getWorldViewMatrix();
        std::vector<Platform::math::Float4> transformed;
        transformed.reserve(static_cast<size_t>(points));
        const auto half = static_cast<size_t>(inout ? points / 2 : points);
        for (size_t i = 0; i < static_cast<size_t>(points); ++i) {
            const float x = values[i * coordinates], y = values[i * coordinates + 1];
            const float z = xyz ? values[i * coordinates + 2] : 0.0f;
            transformed.push_back(Platform::math::transform({x, y, z, 1}, matrix));
            if (fromTable) continue;
            uint32_t flags = xyz ? Effect::ScriptEffect::kAnchor3d : Effect::ScriptEffect::kAnchor2d;
            if (inout) flags |= i < half ? 1u : 2u;
            Anchor::AnchorItem& item =
                context.anchorList->addPoint(object, *entry, static_cast<int32_t>(i), x, y, z, matrix, flags);
            item.setPosition(matrix, x, y, z);
            item.label = std::string(name);
            item.tag = valueCount;
        }
        if (kind != LineKind::kNone) {
            const Platform::math::Float4 origin = Platform::math::transform({0, 0, 0, 1}, matrix);
            Media::ColorRgba first = colourOf(rgb), second = first;
            if (inout) {
                (void)Effect::AnchorEffectBase::styleColour("AnchorIn", first);
                (void)Effect::AnchorEffectBase::styleColour("AnchorOut", second);
            }
            addLines(*context.anchorList, &effect, transformed, 0, half, origin, kind, first);
            addLines(*context.anchorList, &effect, transformed, half, transformed.size(), origin, kind, second);
        }
        if (!fromTable && !values.empty()) {
            scratchCount = values.size();
            scratch = static_cast<float*>(lua.lua_newuserdata(state, scratchCount * sizeof(float)));
            std::memcpy(scratch, values.data(), scratchCount * sizeof(float));
        }
    }
    if (scratch != nullptr) {
        // Lua strings end with a zero, so the name can be passed as it is.
        lua.getGlobal(state, name.data());
        if (lua.lua_type(state, -1) == Lua::kTypeTable) {
            for (size_t i = 0; i < scratchCount; ++i) {
                lua.lua_pushinteger(state, static_cast<Lua::Integer>(i + 1));
                lua.lua_pushnumber(state, scratch[i]);
                lua.lua_settable(state, -3);
            }
        }
        lua.pop(state, 1);
    }
    return call.pushInteger(result);
}

}  // namespace Plugin::ScriptLibrary
