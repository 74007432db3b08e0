// The video render worker at 1920x1080: a scene of ten solid objects, 300
// frames requested as an export requests them, the frame left on the GPU.
// Reports frames per second and GPU submissions per frame, beside the same GPU
// work recorded straight on the context: their ratio is the worker's cost.
#include <benchmark/benchmark.h>

#include <memory>

#include "media/gpu/RenderBuffer.h"
#include "render/RenderVideoWorker.h"
#include "support/BenchFixture.h"

namespace {

constexpr int32_t kWidth = 1920, kHeight = 1080, kObjects = 10, kFrames = 300;

void BM_RenderVideoFrames(benchmark::State& state) {
    Bench::GpuServices gpu(Bench::GpuServices::kDeviceOnly);
    Bench::SolidModel model(kWidth, kHeight);
    Bench::addSolidGrid(*model.scene, kObjects, kFrames);
    Render::RenderVideoWorker worker(model.reader(), Bench::solidGridSettings());
    Bench::measureExportFrames(state, worker, gpu.context(), kFrames);
}
BENCHMARK(BM_RenderVideoFrames)->Unit(benchmark::kMillisecond)->UseRealTime();

// The reference: the clear and the ten copies of each frame recorded
// directly, flushed once per frame, with no scene, walk or threads.
void BM_SameWorkDirect(benchmark::State& state) {
    Bench::GpuServices gpu(Bench::GpuServices::kDeviceOnly);
    Platform::gpu::Context& context = gpu.context();
    Media::RenderBuffer target(gpu.d3d.get()->pixelFormat, gpu.d3d.get()->defaultSampleDesc);
    target.createTexture2D(kWidth, kHeight);
    target.createRenderTargetView();
    Media::ResourceBuffer image(480, 270);
    const float color[4] = {1, 1, 1, 1}, clear[4] = {0, 0, 0, 0};
    context.clearRenderTargetView(image.getRenderTargetView(), color);
    for (auto _ : state) {
        for (int32_t frame = 0; frame < kFrames; ++frame) {
            context.clearRenderTargetView(target.renderTargetView, clear);
            for (int32_t i = 0; i < kObjects; ++i)
                context.copySubresourceRegion(*target.texture, static_cast<uint32_t>(i % 4) * 480,
                                              static_cast<uint32_t>(i / 4) * 270, *image.texture, nullptr);
            (void)context.flush();
        }
        (void)context.finish();
    }
    state.counters["fps"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * kFrames, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_SameWorkDirect)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
