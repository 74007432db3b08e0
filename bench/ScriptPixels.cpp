// Reading every pixel of a 1080p object image from a script: obj.getpixel
// for each pixel against the same loop without the call, and against a plain
// C++ loop over the same 8-bit copy. One iteration is one script run that
// loads the image, makes its pixel copy and reads all 1920 x 1080 pixels.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <string>

#include "core/Log.h"
#include "core/ServiceHolder.h"
#include "edit/Object.h"
#include "edit/ProjectQueries.h"
#include "effect/ModelQueries.h"
#include "effect/RenderContext.h"
#include "media/image/ImageBuffer.h"
#include "script/ScriptEffect.h"
#include "script/ScriptPlugin.h"
#include "script/ScriptPluginInstance.h"
#include "script/ScriptService.h"
#include "support/BenchFixture.h"

namespace {

class BenchScriptEffect : public Effect::ScriptEffect {
public:
    BenchScriptEffect() : ScriptEffect(L"pixels", kInput, kVideo) {}
    std::shared_ptr<EffectBase> createInstance() const override { return std::make_shared<BenchScriptEffect>(); }
};

class BenchOutput : public Effect::EffectBase {
public:
    BenchOutput() {
        role = kOutput;
        media = kVideo;
    }
    std::shared_ptr<EffectBase> createInstance() const override { return std::make_shared<BenchOutput>(); }
    Effect::OutputView getOutputView(Render::RenderContext&) override { return {}; }
};

constexpr const char* kLoad = "obj.load('plane', 1920, 1080, 0x336699)\n";

struct ScriptBench {
    ScriptBench() {
        System::Log::setHandler([](const System::Log::Type&, const char*, const char*) {});
        object->effects = {effect, std::make_shared<BenchOutput>()};
        context.object = object;
        effect->createCommonResource();
    }
    // One run; the instance is handed out to look at its pixel copy.
    std::unique_ptr<Plugin::ScriptPluginInstance> run(const char* engine, const std::string& body) {
        effect->setScript({L"pixels", std::string(kLoad) + body}, L"/", nullptr, nullptr);
        auto instance = service.get()->findScriptPlugin(engine)->createEffectInstance(*effect, context);
        instance->executeEffect(effect->commonResource().scriptText);
        return instance;
    }

    Bench::GpuServices gpu{Bench::GpuServices::kWithShaders};
    Edit::ProjectQueries queries;
    Effect::ModelQueriesScope scope{queries};
    System::ServiceHolder<Plugin::ScriptService> service;
    std::shared_ptr<BenchScriptEffect> effect = std::make_shared<BenchScriptEffect>();
    std::shared_ptr<Edit::Object> object = std::make_shared<Edit::Object>(0, 0, 10);
    Render::RenderContext context;
};

constexpr int64_t kPixels = 1920 * 1080;

void GetpixelEveryPixel(benchmark::State& state, const char* engine) {
    ScriptBench bench;
    const std::string body =
        "local w, h = obj.getpixel() local s = 0\n"
        "for y = 0, h - 1 do for x = 0, w - 1 do local c, a = obj.getpixel(x, y) s = s + c end end\n"
        "mes(s)";
    for (auto _ : state) benchmark::DoNotOptimize(bench.run(engine, body));
    state.SetItemsProcessed(state.iterations() * kPixels);
}

void LoopWithoutGetpixel(benchmark::State& state, const char* engine) {
    ScriptBench bench;
    const std::string body =
        "local w, h = obj.getpixel() local s = 0\n"
        "for y = 0, h - 1 do for x = 0, w - 1 do s = s + x end end\n"
        "mes(s)";
    for (auto _ : state) benchmark::DoNotOptimize(bench.run(engine, body));
    state.SetItemsProcessed(state.iterations() * kPixels);
}

// The pixel copy made once by a script run, then read in C++.
void PlainLoopOverTheCopy(benchmark::State& state) {
    ScriptBench bench;
    const auto instance = bench.run("lua", "obj.getpixel(0)");
    const Media::ImageBuffer& copy = *instance->pixelCopy;
    for (auto _ : state) {
        uint64_t sum = 0;
        for (uint32_t y = 0; y < copy.height; ++y) {
            const uint8_t* row = copy.data() + static_cast<size_t>(y) * copy.pitch;
            for (uint32_t x = 0; x < copy.width; ++x)
                sum += (uint32_t{row[x * 4 + 2]} << 16) | (uint32_t{row[x * 4 + 1]} << 8) | row[x * 4];
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * kPixels);
}

BENCHMARK_CAPTURE(GetpixelEveryPixel, lua, "lua")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(GetpixelEveryPixel, luaJIT, "luaJIT")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(LoopWithoutGetpixel, lua, "lua")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(LoopWithoutGetpixel, luaJIT, "luaJIT")->Unit(benchmark::kMillisecond);
BENCHMARK(PlainLoopOverTheCopy)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
