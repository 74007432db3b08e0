// The in-place cuts of "斜めクリッピング" and "扇クリッピング" and the tiling of
// "画像ループ" on a 1920x1080 RGBA16F image, next to a full-frame copy pass
// (the floor: one pass of the same size into an image made once). Each
// iteration waits for the GPU: the time is ms per pass. Compare the ratios to
// the copy pass; a loaded machine moves them all.
#include <benchmark/benchmark.h>

#include <memory>

#include "filters/AngleClipFilter.h"
#include "filters/ImageLoop.h"
#include "filters/LineClipFilter.h"
#include "media/gpu/PixelShaderList.h"
#include "media/gpu/ResourceBuffer.h"
#include "support/BenchFixture.h"

namespace {

constexpr uint32_t kWidth = 1920, kHeight = 1080;
constexpr size_t kCopy = 2;  // the general copy shader

struct Setup {
    Bench::GpuServices gpu{Bench::GpuServices::kWithShaders};
    std::shared_ptr<Effect::LineClipFilter> line = std::make_shared<Effect::LineClipFilter>();
    std::shared_ptr<Effect::AngleClipFilter> sector = std::make_shared<Effect::AngleClipFilter>();
    std::shared_ptr<Effect::ImageLoop> loop = std::make_shared<Effect::ImageLoop>();
    std::shared_ptr<Media::ResourceBuffer> image = Bench::filledImage(kWidth, kHeight, {0.25f, 0.5f, 0.75f, 1});

    Setup() {
        line->createCommonResource();
        sector->createCommonResource();
        loop->createCommonResource();
    }
    Platform::gpu::Context& context() { return gpu.context(); }
};

Setup& setup() {
    static Setup* s = new Setup();
    return *s;
}

template <class Pass>
void timed(benchmark::State& state, Pass pass) {
    pass();  // pipeline made outside the timing
    setup().context().finish();
    for (auto _ : state) {
        pass();
        setup().context().finish();
    }
}

void CopyPass(benchmark::State& state) {
    Setup& s = setup();
    auto target = std::make_shared<Media::ResourceBuffer>(kWidth, kHeight);
    Media::PixelShader& copy = Resource::ResourceService::get()->pixelShaders[kCopy];
    timed(state, [&] { copy.drawResourceToResource(*target, *s.image, nullptr); });
}
BENCHMARK(CopyPass)->Unit(benchmark::kMillisecond)->UseRealTime();

// range(0): band width (0: the half-plane).
void LineClip(benchmark::State& state) {
    Setup& s = setup();
    timed(state, [&] { s.line->clipLine(*s.image, 30, int32_t(state.range(0)), 0, 0, 10); });
}
BENCHMARK(LineClip)->Arg(0)->Arg(200)->Unit(benchmark::kMillisecond)->UseRealTime();

// range(0): range angle (below 180 the narrow shader, else the wide one).
void SectorClip(benchmark::State& state) {
    Setup& s = setup();
    timed(state, [&] { s.sector->clipSector(*s.image, 20, float(state.range(0)), 0, 0, 10, false); });
}
BENCHMARK(SectorClip)->Arg(90)->Arg(270)->Unit(benchmark::kMillisecond)->UseRealTime();

// range(0): tiles across and down; the output is that many frames of pixels.
void LoopTiles(benchmark::State& state) {
    Setup& s = setup();
    const auto n = int32_t(state.range(0));
    timed(state, [&] { benchmark::DoNotOptimize(s.loop->tile(*s.image, n, n, 0.25f, 0.5f)); });
}
BENCHMARK(LoopTiles)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
