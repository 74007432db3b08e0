// Scripts that call the script library's functions with arbitrary
// arguments: numbers of every size (NaN and the infinities included),
// integers, the names the functions know, arbitrary texts, nil, booleans and
// tables, protected and unprotected, on both engines. A call may fail as a
// script error or end the run; it must never crash, and every run leaves the
// engine as it found it.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "core/Log.h"
#include "core/ServiceHolder.h"
#include "edit/Object.h"
#include "edit/ProjectQueries.h"
#include "edit/Scene.h"
#include "effect/AnchorList.h"
#include "effect/RenderContext.h"
#include "script/LuaBase.h"
#include "script/ScriptEffect.h"
#include "script/ScriptPluginInstance.h"
#include "script/ScriptService.h"

namespace {

class FuzzScriptEffect : public Effect::ScriptEffect {
public:
    FuzzScriptEffect() : ScriptEffect(L"fuzz", kInput, kVideo) {}
    std::shared_ptr<EffectBase> createInstance() const override { return std::make_shared<FuzzScriptEffect>(); }
};

class FuzzOutput : public Effect::EffectBase {
public:
    FuzzOutput() {
        role = kOutput;
        media = kVideo;
    }
    std::shared_ptr<EffectBase> createInstance() const override { return std::make_shared<FuzzOutput>(); }
    Effect::OutputView getOutputView(Render::RenderContext&) override { return view; }
    Effect::OutputView view;
};

constexpr const char* kFunctions[] = {
    "OR",          "AND",         "XOR",          "SHIFT",         "RGB",           "HSV",
    "mes",         "rand",        "rotation",     "setfont",       "debug_print",   "obj.mes",
    "obj.rand",    "obj.interpolation", "obj.load", "obj.setfont",  "obj.getvalue",  "obj.getinfo",
    "obj.putpixel", "obj.copypixel", "obj.getpixeldata", "obj.putpixeldata", "obj.filter",
    "obj.draw",    "obj.drawpoly", "obj.setoption", "obj.getoption", "obj.copybuffer", "obj.clearbuffer",
    "obj.getpixel", "obj.pixeloption", "obj.effect", "obj.getpoint", "obj.setanchor", "obj.getaudio",
};

constexpr const char* kWords[] = {
    "x",           "y",          "z",          "rx",         "ry",          "rz",          "zoom",
    "alpha",       "aspect",     "time",       "scenechange", "layer1.x",   "layer2.zoom", "layer 99.y",
    "layer.x",     "layerx",     "layer-1.x",  "image_max",  "script_path", "saving",      "movie",
    "image",       "text",       "figure",     "plane",      "framebuffer", "tempbuffer",  "layer",
    "before",      "a.png",      "b.svg",      "/no/such.svg", "c.mp4",     "0",           "track0",
    "obj",         "tmp",        "frm",        "object",     "cache:",      "cache:a",     "image:a.png",
    "image:",      "col",        "rgb",        "yc",         "get",         "type",        "blend",
    "add",         "alpha_sub",  "drawtarget", "dst",        "sampler",     "clip",        "loop",
    "culling",     "billboard",  "draw_state", "antialias",  "section_num", "multi_object", "gui",
    "track",       "pos",        "xyz",        "inout",      "line",        "star",        "arm",
    "color",       "audiobuffer", "spectrum",  "fourier",    "pcm",         "num",         "link",
    "param",       "index",      "timecontrol", "framerate", "track_mode",  "script_name", "camera_param",
    "縁取り",      "単色化",     "サイズ",     "縁色",       "ffffff",
};

constexpr double kNumbers[] = {0, -0.0, 1, -1, 0.5, 2147483647, -2147483648, 4294967296, 1e308, -1e308, 1e-320,
                               16384, 16385, 100, 360, -720};

class Reader {
public:
    Reader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    bool more() const { return at_ < size_; }
    uint8_t byte() { return at_ < size_ ? data_[at_++] : 0; }
    template <class T>
    T value() {
        T v{};
        const size_t n = std::min(sizeof v, size_ - std::min(at_, size_));
        std::memcpy(&v, data_ + at_, n);
        at_ += sizeof v;
        return v;
    }

private:
    const uint8_t* data_;
    size_t size_;
    size_t at_ = 0;
};

std::string number(double v) {
    if (std::isnan(v)) return "(0/0)";
    if (std::isinf(v)) return v > 0 ? "(1/0)" : "(-1/0)";
    char text[64];
    std::snprintf(text, sizeof text, "%.17g", v);
    return std::string("(") + text + ")";
}

std::string argument(Reader& in) {
    switch (in.byte() % 10) {
    case 0: return std::to_string(in.value<int32_t>());
    case 1: return number(kNumbers[in.byte() % std::size(kNumbers)]);
    case 2: return number(in.value<double>());
    case 3: return std::string("'") + kWords[in.byte() % std::size(kWords)] + "'";
    case 4: {
        // Any bytes, as decimal escapes.
        std::string text = "'";
        const uint8_t length = in.byte() % 24;
        for (uint8_t i = 0; i < length; ++i) text += "\\" + std::to_string(in.byte());
        return text + "'";
    }
    case 5: return "nil";
    case 6: return in.byte() & 1 ? "true" : "false";
    case 7: {
        // An empty table or a list of quads of the kinds' counts (20, 28,
        // 32, 40 numbers), now and then one more.
        static constexpr int kCounts[] = {20, 28, 32, 40};
        const uint8_t quads = in.byte() % 4;
        const int kind = kCounts[in.byte() % std::size(kCounts)];
        std::string text = "{";
        for (uint8_t q = 0; q < quads; ++q) {
            const int count = kind + (in.byte() % 3 == 0 ? 1 : 0);
            text += "{";
            for (int i = 0; i < count; ++i) text += (i ? "," : "") + std::to_string(static_cast<int>(in.byte()) - 64);
            text += "},";
        }
        return text + "}";
    }
    case 8: return std::to_string(static_cast<int>(in.byte()) - 128);
    default: return "(0/0)";
    }
}

std::string script(Reader& in) {
    std::string text = "--track0:Size,0,100,10\n--track1:Y,-100,100,0\n--dialog:Points,pos={1,2,3}\n";
    while (in.more()) {
        const uint8_t op = in.byte();
        const char* function = kFunctions[op % std::size(kFunctions)];
        std::string call = std::string(function) + "(";
        const uint8_t count = in.byte() % 14;
        for (uint8_t i = 0; i < count; ++i) call += (i ? ", " : "") + argument(in);
        call += ")";
        // Most calls are protected so that the rest run; some end the run.
        if (op & 0x80)
            text += call + "\n";
        else
            text += "pcall(function() local r = {" + call + "} end)\n";
    }
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    System::Log::setHandler([](const System::Log::Type&, const char*, const char*) {});
    static System::ServiceHolder<Plugin::ScriptService> service;
    static Edit::ProjectQueries queries;
    static const Effect::ModelQueries* installed = Effect::setModelQueries(&queries);
    (void)installed;
    if (size < 1) return 0;
    Reader in(data, size);
    const char* engineName = in.byte() & 1 ? "lua" : "luaJIT";

    // An object on the second layer of a scene, with a neighbour on the first.
    Edit::Scene scene(0, 0);
    auto effect = std::make_shared<FuzzScriptEffect>();
    effect->createCommonResource();
    effect->setScript({L"fuzz", script(in)}, L"/scripts", nullptr, nullptr);
    auto object = scene.createObject(1, 0, 99);
    auto neighbour = scene.createObject(0, 0, 99);
    if (!object || !neighbour) __builtin_trap();
    object->effects = {effect, std::make_shared<FuzzOutput>()};
    neighbour->effects = {std::make_shared<FuzzScriptEffect>(), std::make_shared<FuzzOutput>()};
    Render::RenderContext context;
    context.scene = &scene;
    context.frame = 12;
    context.preciseFrame = 12;
    context.resetObject(object);
    context.chain = std::make_shared<Render::ObjectChain>(Render::ObjectChain{object});
    // A preview run of the focused object, so that anchors are made.
    scene.focusObject = object;
    Anchor::AnchorList anchors;
    context.anchorList = &anchors;

    const auto engine = std::dynamic_pointer_cast<Plugin::LuaBase>(service.get()->findScriptPlugin(engineName));
    if (!engine) __builtin_trap();
    try {
        auto instance = engine->createEffectInstance(*effect, context);
        instance->executeEffect(effect->commonResource().scriptText);
    } catch (const std::exception&) {
    }
    // Every run gives its state back and leaves no current instance.
    if (engine->depth() != 0 || Plugin::ScriptPluginInstance::current() != nullptr) __builtin_trap();
    return 0;
}
