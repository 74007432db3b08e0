#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

#include "core/Log.h"
#include "core/TextConvert.h"
#include "edit/Object.h"
#include "edit/Scene.h"
#include "effect/EffectBase.h"
#include "effect/EffectItemNumber.h"
#include "effect/RenderContext.h"
#include "plugin/OutputService.h"
#include "script/LuaInstance.h"
#include "script/ScriptFunctions.h"

namespace Plugin::ScriptLibrary {

namespace {

constexpr int32_t kImageMax = 16384;

// The scene's frame rate as rate over scale; 30 / 1 without a scene.
struct Timing {
    double rate = 30, scale = 1;
    explicit Timing(const Edit::Scene* scene) {
        if (scene != nullptr && scene->videoRate > 0 && scene->videoScale > 0) {
            rate = scene->videoRate;
            scale = scene->videoScale;
        }
    }
};

bool isSource(const Edit::Object& object) {
    return !object.effects.empty() && object.effects.front()->role == Effect::EffectBase::kInput;
}

// The frame as an integer, saturating instead of overflowing.
int32_t wholeFrame(double frame) {
    if (!(frame == frame)) return 0;
    if (frame >= std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
    if (frame <= std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(frame);
}

// The layer number of a "layer..." target, and where its value name starts;
// false when the number cannot be read.
bool readLayerTarget(std::string_view target, int32_t& layer, size_t& rest) {
    size_t at = 5;
    while (at < target.size() && target[at] == ' ') ++at;
    size_t end = at;
    while (end < target.size() && target[end] != '.' && static_cast<unsigned char>(target[end]) >= 0x20) ++end;
    rest = end < target.size() && target[end] == '.' ? end + 1 : end;
    std::string_view digits = target.substr(at, end - at);
    while (!digits.empty() && digits.back() == ' ') digits.remove_suffix(1);
    bool negative = false;
    if (!digits.empty() && (digits.front() == '-' || digits.front() == '+')) {
        negative = digits.front() == '-';
        digits.remove_prefix(1);
    }
    if (digits.empty() || digits.size() > 10) return false;
    int64_t value = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + (c - '0');
    }
    if (negative) value = -value;
    if (value < std::numeric_limits<int32_t>::min() || value > std::numeric_limits<int32_t>::max()) return false;
    layer = static_cast<int32_t>(value);
    return true;
}

}  // namespace

int32_t randomInteger(int32_t lo, int32_t hi, int64_t seed, int64_t frameNumber) {
    const auto c = static_cast<uint64_t>(seed);
    const auto d = static_cast<uint64_t>(frameNumber);
    uint64_t x = c * 135829u + d * 97553u;
    x = (x ^ (x << 17) ^ 0x137bd137bd137bd1u) + c;
    x = (x ^ (x >> 19) ^ 0x37bd137bd137bd13u) + d;
    x = (x ^ (x << 41) ^ 0x7bd137bd137bd137u) + c;
    x = (x ^ (x >> 47) ^ 0xbd137bd137bd137bu) + d;
    uint64_t y = x * 97555u - (x / 135829u) * 135829u;
    y = y ^ (y << 17) ^ 0x137bd137bd137bd1u;
    y = y ^ (y >> 19) ^ 0x37bd137bd137bd13u;
    y = y ^ (y << 41) ^ 0x7bd137bd137bd137u;
    y = y ^ (y >> 47) ^ 0xbd137bd137bd137bu;
    const auto count32 = static_cast<int32_t>(static_cast<uint32_t>(hi) - static_cast<uint32_t>(lo) + 1u);
    const auto count = static_cast<uint64_t>(static_cast<int64_t>(count32));
    // The whole 32-bit range has no count; every value is in it.
    if (count == 0) return static_cast<int32_t>(static_cast<uint32_t>(y));
    return static_cast<int32_t>(static_cast<uint32_t>(lo) + static_cast<uint32_t>(y % count));
}

double objectTimeFraction(ScriptCall& call) {
    const Render::RenderContext& context = call.instance->genericContext();
    if (!context.object) return 0;
    const double length = static_cast<double>(context.object->end) - context.object->start + 1;
    if (length == 0) return 0;
    return (context.preciseFrame - context.object->start) / length;
}

int getinfo(ScriptCall& call) {
    const std::string_view name = call.string(1);
    if (name == "script_path") {
        const std::string folder = System::wideToUtf8(call.instance->record().folder);
        return call.pushString(folder + "/");
    }
    if (name == "saving") {
        const OutputService* output = OutputService::get();
        return call.pushBoolean(output != nullptr && output->isRunning());
    }
    if (name == "image_max") return call.pushInteger(kImageMax) + call.pushInteger(kImageMax);
    return call.fail("invalid get info name=%.*s", static_cast<int>(name.size()), name.data());
}

int debugPrint(ScriptCall& call) {
    const std::string_view text = call.string(1);
    const std::string written(text.substr(0, 1023));
    System::Log::script(call.instance->record().name.c_str(), "%s", written.c_str());
    return 0;
}

int mes(ScriptCall& call) {
    const std::string_view text = call.string(1);
    call.instance->messageText += System::utf8ToWide(std::string(text));
    return 0;
}

int rand(ScriptCall& call) {
    const int32_t a = call.integer(1);
    const int32_t b = call.integer(2);
    const bool seeded = call.has(3);
    const int32_t seed = seeded ? call.integer(3) : 0;
    const bool framed = call.has(4);
    const int32_t frame = framed ? call.integer(4) : 0;

    const Render::RenderContext& context = call.instance->genericContext();
    const int64_t layer = context.object ? context.object->layer : context.layer;
    int64_t c = layer * 1913;
    if (call.instance->hasRenderContext()) c += static_cast<int64_t>(call.instance->getRenderVideoTarget().index) * 757;
    int64_t d = context.frame;
    if (seeded) c = seed < 0 ? -static_cast<int64_t>(seed) : c + seed;
    if (framed) d = frame;
    return call.pushInteger(randomInteger(std::min(a, b), std::max(a, b), c, d));
}

int getvalue(ScriptCall& call) {
    const bool trackNumber = call.type(1) == Lua::kTypeNumber;
    const std::string_view target = call.string(1);
    const bool timed = call.has(2);
    const double seconds = timed ? call.number(2) : 0;
    const int32_t reference = call.has(3) ? call.integer(3) : 0;

    ScriptPluginInstance& instance = *call.instance;
    // Nothing moved here reaches the running object.
    Render::RenderContext context = call.renderContext();
    if (target == "scenechange") return call.pushNumber(instance.sceneChangeProgress);

    std::string name(target);
    Effect::EffectItemNumber* track = trackNumber ? LuaInstance::findTrackItem(name) : nullptr;
    if (track == nullptr) {
        if (name.rfind("layer", 0) == 0) {
            int32_t layer = 0;
            size_t rest = 0;
            // An unreadable number keeps the script's own object; the value
            // name after the "." counts either way.
            if (!readLayerTarget(name, layer, rest)) {
                System::Log::script(instance.record().name.c_str(), "invalid layer parameter");
            } else if (context.scene != nullptr && layer >= 1 && layer <= context.scene->layerCount()) {
                const std::shared_ptr<Edit::Object> object =
                    context.scene->findLayerObject(layer - 1, context.frame, Effect::EffectBase::kVideo);
                if (object && isSource(*object)) context.setObject(object);
            }
            name.erase(0, rest);
        }
        if (context.object && !isSource(*context.object) && context.chain && !context.chain->empty())
            context.setObject(context.chain->front());
    }

    const Timing timing(context.scene);
    if (timed && context.object) {
        const Edit::Object& object = *context.object;
        double frame = seconds * timing.rate / timing.scale + object.start;
        if (reference < 0) {
            frame += static_cast<double>(object.end) - object.start;
        } else if (reference > 0) {
            const auto boundary = static_cast<size_t>(reference);
            frame += boundary <= object.midpoints.size() ? object.midpoints[boundary - 1]
                                                         : static_cast<double>(object.end) - object.start;
        }
        // A time that gives no frame (NaN) stays at the start; frames beyond
        // the integer range stop at its ends.
        if (!(frame == frame)) frame = object.start;
        frame = std::clamp<double>(frame, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max());
        context.frame = wholeFrame(frame);
        context.preciseFrame = frame;
        context.section = Render::SectionPosition::locate(object, context.frame, frame);
    }

    if (track != nullptr) return call.pushNumber(static_cast<float>(track->getValue(context)));
    const double start = context.object ? context.object->start : 0;
    if (name == "time") return call.pushNumber((context.preciseFrame - start) * timing.scale / timing.rate);

    Effect::OutputView view;
    if (context.object && isSource(*context.object) && context.object->effects.size() >= 2)
        view = context.object->effects[1]->getOutputView(context);
    if (name == "x") return call.pushNumber(view.x);
    if (name == "y") return call.pushNumber(view.y);
    if (name == "z") return call.pushNumber(view.z);
    if (name == "rx") return call.pushNumber(view.rotationX);
    if (name == "ry") return call.pushNumber(view.rotationY);
    if (name == "rz") return call.pushNumber(view.rotationZ);
    if (name == "alpha") return call.pushNumber(view.opacity);
    if (name == "zoom") {
        float largest = view.scaleX;
        if (view.scaleY > largest) largest = view.scaleY;
        if (view.scaleZ > largest) largest = view.scaleZ;
        return call.pushNumber(100.0 * largest);
    }
    if (name == "aspect") {
        const double sx = view.scaleX, sy = view.scaleY;
        if (sx <= 0 && sy <= 0) return call.pushNumber(0);
        return call.pushNumber(sy > sx ? 1 - sx / sy : sy / sx - 1);
    }
    return call.fail("invalid get value target=%s", std::string(target).c_str());
}

int unsupported(ScriptCall& call) { return call.fail("unsupported"); }

}  // namespace Plugin::ScriptLibrary
