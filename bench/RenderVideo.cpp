// The video render worker at 1920x1080: a scene of ten solid objects, 300
// frames requested as an export requests them, the frame left on the GPU.
// Reports frames per second and GPU submissions per frame, beside the same GPU
// work recorded straight on the context: their ratio is the worker's cost.
#include <benchmark/benchmark.h>

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>

#include "media/gpu/FrameReadBack.h"
#include "media/gpu/RenderBuffer.h"
#include "media/image/ImageBuffer.h"
#include "media/image/PixelFormat.h"
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

// The same frames read back as an export reads them, in 8-bit BGRX. Arg 0:
// the render thread waits for each read-back before the next frame; arg 1:
// it only submits the read-back and another thread waits for it and takes
// the bytes, in order, while the next frames are drawn, with at most four
// frames asked for and not yet taken (the export's frames ahead).
void BM_RenderVideoReadBack(benchmark::State& state) {
    constexpr int32_t kReadFrames = 60, kAhead = 4;
    const bool overlapped = state.range(0) != 0;
    Bench::GpuServices gpu(Bench::GpuServices::kWithShaders);  // the conversion shaders of a read-back
    Bench::SolidModel model(kWidth, kHeight);
    Bench::addSolidGrid(*model.scene, kObjects, kFrames);
    Render::RenderVideoWorker worker(model.reader(), Bench::solidGridSettings());
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<std::shared_ptr<Media::FrameReadBack>> queue;
    int64_t checksum = 0;
    int32_t taken = 0;  // guarded by mutex
    int64_t total = 0;
    for (auto _ : state) {
        taken = 0;
        std::thread consumer;
        if (overlapped) {
            consumer = std::thread([&] {
                for (int32_t frame = 0; frame < kReadFrames; ++frame) {
                    std::shared_ptr<Media::FrameReadBack> next;
                    {
                        std::unique_lock held(mutex);
                        changed.wait(held, [&] { return !queue.empty(); });
                        next = std::move(queue.front());
                        queue.pop_front();
                    }
                    const uint8_t byte = next->image()->data()[0];
                    const std::lock_guard held(mutex);
                    checksum += byte;
                    ++taken;
                    changed.notify_all();
                }
            });
        }
        for (int32_t frame = 0; frame < kReadFrames; ++frame) {
            if (overlapped) {
                std::unique_lock held(mutex);
                changed.wait(held, [&] { return frame - taken < kAhead; });
            }
            worker.requestRenderingFrame(
                Render::kRenderExport, frame, [&](int32_t, Media::RenderBuffer& buffer, Anchor::AnchorList*) {
                    if (!overlapped) {
                        const auto image = buffer.createImageBuffer(Media::PixelFormat::kB8G8R8X8Unorm, false);
                        const std::lock_guard held(mutex);
                        checksum += image->data()[0];
                        ++taken;
                        return;
                    }
                    auto readBack = buffer.submitImageBuffer(Media::PixelFormat::kB8G8R8X8Unorm, false);
                    const std::lock_guard held(mutex);
                    queue.push_back(std::move(readBack));
                    changed.notify_all();
                });
        }
        worker.waitAll();
        if (consumer.joinable()) consumer.join();
        total += taken;
    }
    const double frames = static_cast<double>(state.iterations()) * kReadFrames;
    state.counters["fps"] = benchmark::Counter(frames, benchmark::Counter::kIsRate);
    if (total != static_cast<int64_t>(frames)) state.SkipWithError("frames were lost");
    benchmark::DoNotOptimize(checksum);
}
BENCHMARK(BM_RenderVideoReadBack)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

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
