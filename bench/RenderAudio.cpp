// The audio render worker: a scene of ten tone objects mixed through the
// shipped audio output with volume and pan, 300 frames at 48 kHz 30/1
// requested as an export requests them. Reports frames per second.
#include <benchmark/benchmark.h>

#include <memory>
#include <shared_mutex>
#include <string>

#include "core/Exception.h"
#include "edit/EffectCatalog.h"
#include "edit/Object.h"
#include "edit/ProjectQueries.h"
#include "edit/ReadSection.h"
#include "edit/Scene.h"
#include "effect/AudioRenderContext.h"
#include "effect/EffectBase.h"
#include "effect/ModelQueries.h"
#include "effects/AudioOutput.h"
#include "media/audio/AudioBuffer.h"
#include "render/RenderAudioWorker.h"

namespace {

constexpr int32_t kObjects = 10, kFrames = 300;

class BenchToneSource : public Effect::EffectBase {
public:
    BenchToneSource() {
        name = L"ベンチ音源";
        role = kInput;
        media = kAudio;
        placement = kAudio;
    }
    std::shared_ptr<Effect::EffectBase> createInstance() const override { return std::make_shared<BenchToneSource>(); }
    std::shared_ptr<Media::AudioBuffer> inputAudio(Render::AudioRenderContext& context) override {
        auto out = std::make_shared<Media::AudioBuffer>();
        out->resize(context.range.count, 2);
        for (int32_t c = 0; c < 2; ++c) {
            float* samples = out->getChannel(c);
            for (int32_t i = 0; i < out->samples; ++i)
                samples[i] = static_cast<float>((context.range.offset + i) % 100) * 0.001f;
        }
        return out;
    }
};

class BenchCatalog : public Edit::EffectCatalog {
public:
    BenchCatalog() { setCurrent(this); }
    ~BenchCatalog() override { setCurrent(nullptr); }
    const Effect::EffectBase& findEffect(const std::wstring& name) const override {
        if (name == source.name)
            return source;
        if (name == output.name)
            return output;
        throw System::messageException("BenchCatalog::findEffect", "not found effect.");
    }
    const Effect::EffectBase& getOutputEffect(const Effect::EffectBase&) const override { return output; }
    const Effect::EffectBase* getPairedInputEffect(const Effect::EffectBase&) const override { return nullptr; }

    BenchToneSource source;
    Effect::AudioOutput output;
};

void BM_RenderAudioFrames(benchmark::State& state) {
    Edit::ProjectQueries queries;
    const Effect::ModelQueriesScope installed(queries);
    BenchCatalog catalog;
    auto scene = std::make_shared<Edit::Scene>(0, 0);
    for (int32_t i = 0; i < kObjects; ++i) {
        auto object = scene->createObject(catalog.source.name, i, 0, kFrames - 1);
        static_cast<Effect::AudioOutput&>(*object->effects[1]).pan.setValue(i * 10 - 50, 0);
    }
    scene->update();
    std::shared_mutex lock;
    Render::RenderAudioWorker worker([&] { return std::make_unique<Edit::ReadSection>(lock, scene, nullptr); });
    float sink = 0;
    for (auto _ : state) {
        for (int32_t f = 0; f < kFrames; ++f)
            worker.requestRenderingAudio(Render::kRenderExport, f,
                                         [&sink](int32_t, Media::AudioBuffer& mix) { sink += mix.getChannel(0)[0]; });
        worker.waitAll();
    }
    benchmark::DoNotOptimize(sink);
    state.counters["frames/s"] =
        benchmark::Counter(static_cast<double>(kFrames) * state.iterations(), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_RenderAudioFrames)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
