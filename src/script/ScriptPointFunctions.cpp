#include <algorithm>
#include <cstdint>
#include <string>

#include "core/Exception.h"
#include "edit/Object.h"
#include "edit/Scene.h"
#include "effect/EffectItemGroup.h"
#include "effect/EffectItemNumber.h"
#include "effect/MovementBase.h"
#include "effect/RenderContext.h"
#include "effect/SectionPosition.h"
#include "script/LuaInstance.h"
#include "script/ScriptFunctions.h"

namespace Plugin::ScriptLibrary {

namespace {

constexpr const char* kNotMovement = "not movement script.";

const Effect::EffectItemNumber& movedItem(const ScriptPluginInstance& instance) {
    if (instance.movement() == nullptr)
        throw System::messageException("Plugin::ScriptPluginInstance::getMovement", kNotMovement);
    if (instance.movedItem() == nullptr)
        throw System::messageException("Plugin::ScriptPluginInstance::getEffectItem", kNotMovement);
    return *instance.movedItem();
}

// The movement settings as the item would use them: its own when they match
// the movement's list, else the movement's defaults.
const std::vector<double>& settingsOf(const Effect::EffectItemNumber& item) {
    if (item.settings.size() != item.movement->defaultSettings.size()) return item.movement->defaultSettings;
    return item.settings;
}

struct Timing {
    int32_t start = 0, end = 0;
    double rate = 30, scale = 1;
    double seconds(double frame) const { return (frame - start) * scale / rate; }
};

Timing timingOf(const Render::RenderContext& context) {
    Timing t;
    if (context.object) {
        t.start = context.object->start;
        t.end = context.object->end;
    }
    if (context.scene != nullptr && context.scene->videoRate > 0 && context.scene->videoScale > 0) {
        t.rate = context.scene->videoRate;
        t.scale = context.scene->videoScale;
    }
    return t;
}

}  // namespace

int getpoint(ScriptCall& call) {
    const bool indexed = call.type(1) == Lua::kTypeNumber;
    const int32_t index = indexed ? call.integer(1) : 0;
    const std::string_view target = indexed ? std::string_view() : call.string(1);
    const bool linked = indexed && call.has(2);
    const int32_t offset = linked ? call.integer(2) : 0;
    const int32_t wanted = linked ? call.integerOr(3, 1) : 1;
    const bool pointGiven = !indexed && target == "time" && call.has(2);
    const int32_t point = pointGiven ? call.integer(2) : 0;
    const std::string_view option = !indexed && target == "timecontrol" ? call.string(2) : std::string_view();

    const ScriptPluginInstance& instance = *call.instance;
    const Effect::EffectItemNumber& item = movedItem(instance);
    Render::RenderContext& context = instance.genericContext();
    const Timing timing = timingOf(context);

    if (indexed && !linked) return call.pushNumber(item.keyValue(index));
    if (indexed) {
        (void)item.clampValueIndex(index);
        if (wanted < 1) return 0;
        const Effect::EffectItemGroup* group = item.group;
        const int32_t own = group != nullptr ? std::max(group->indexOf(&item), 0) : 0;
        const size_t size = group != nullptr ? std::max<size_t>(group->members.size(), 1) : 1;
        int results = 0;
        for (int32_t j = 0; j < wanted; ++j) {
            const Effect::EffectItemNumber* other = &item;
            if (group != nullptr && !group->members.empty()) {
                // A negative sum counts from the top of the 64-bit range.
                const auto sum = static_cast<int32_t>(static_cast<uint32_t>(own) + static_cast<uint32_t>(offset) +
                                                      static_cast<uint32_t>(j));
                const uint64_t at = static_cast<uint64_t>(static_cast<int64_t>(sum)) % size;
                other = group->members[at];
                if (other == nullptr || other->movement != item.movement || other->flags != item.flags) other = &item;
            }
            results += call.pushNumber(other->keyValue(index));
        }
        return results;
    }
    if (target == "index") return call.pushNumber(item.getSectionTime(context, context.preciseFrame));
    if (target == "num") return call.pushInteger(static_cast<int64_t>(item.values.size()));
    if (target == "param") {
        const std::vector<double>& settings = settingsOf(item);
        if (settings.empty()) return call.fail("no set param");
        return call.pushNumber(settings.front());
    }
    if (target == "accelerate") return call.pushBoolean((item.flags & Effect::EffectItemNumber::kAccelerate) != 0);
    if (target == "decelerate") return call.pushBoolean((item.flags & Effect::EffectItemNumber::kDecelerate) != 0);
    if (target == "time") {
        if (!pointGiven) return call.pushNumber(timing.seconds(context.frame));
        const auto values = static_cast<int32_t>(item.values.size());
        double frame = timing.end;
        if (point <= 0) {
            frame = timing.start;
        } else if (point < values - 1) {
            const bool exists = context.object && static_cast<size_t>(point) <= context.object->midpoints.size();
            frame = exists ? timing.start + context.object->midpoints[static_cast<size_t>(point - 1)] : timing.end + 1;
        }
        return call.pushNumber(timing.seconds(frame));
    }
    if (target == "timecontrol") {
        const Render::SectionPosition* section = instance.sectionPosition();
        if (section == nullptr)
            throw System::messageException("Plugin::ScriptPluginInstance::getTargetSection", kNotMovement);
        const double c = item.applyTimeControl(section->progress);
        if (option == "index")
            return call.pushNumber(item.getSectionTime(context, timing.start + c * (timing.end - timing.start)));
        if (option == "time") return call.pushNumber(c * (timing.end - timing.start) * timing.scale / timing.rate);
        return call.fail("invalid get point timecontrol option=%.*s", static_cast<int>(option.size()), option.data());
    }
    if (target == "framerate") return call.pushNumber(timing.rate / timing.scale);
    if (target == "link") {
        const Effect::EffectItemGroup* group = item.group;
        if (group == nullptr) return call.pushInteger(0) + call.pushInteger(1);
        return call.pushInteger(std::max(group->indexOf(&item), 0)) +
               call.pushInteger(static_cast<int64_t>(group->members.size()));
    }
    return call.fail("invalid get point target=%.*s", static_cast<int>(target.size()), target.data());
}

}  // namespace Plugin::ScriptLibrary
