// The audio render worker: a scene of ten tone objects mixed through the
// shipped audio output with volume and pan, 300 frames at 48 kHz 30/1
// requested as an export requests them. Reports frames per second.
#include <benchmark/benchmark.h>

#include <memory>

#include "edit/Object.h"
#include "effect/AudioRenderContext.h"
#include "effects/AudioOutput.h"
#include "media/audio/AudioBuffer.h"
#include "render/RenderAudioWorker.h"
#include "support/BenchFixture.h"

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

void BM_RenderAudioFrames(benchmark::State& state) {
    Bench::Model<BenchToneSource, Effect::AudioOutput> model;
    for (int32_t i = 0; i < kObjects; ++i) {
        auto object = model.scene->createObject(model.catalog.source.name, i, 0, kFrames - 1);
        static_cast<Effect::AudioOutput&>(*object->effects[1]).pan.setValue(i * 10 - 50, 0);
    }
    model.scene->update();
    Render::RenderAudioWorker worker(model.reader());
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
