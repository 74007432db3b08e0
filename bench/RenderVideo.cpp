// The video render worker at 1920x1080: a scene of ten solid objects, 300
// frames requested as an export requests them, the frame left on the GPU.
// Reports frames per second and GPU submissions per frame, beside the same GPU
// work recorded straight on the context: their ratio is the worker's cost.
#include <benchmark/benchmark.h>

#include <dlfcn.h>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <memory>
#include <shared_mutex>
#include <string>
#include <thread>

#include "core/Exception.h"
#include "core/ServiceHolder.h"
#include "edit/EffectCatalog.h"
#include "edit/Object.h"
#include "edit/ProjectQueries.h"
#include "edit/ReadSection.h"
#include "edit/Scene.h"
#include "effect/EffectBase.h"
#include "effect/ModelQueries.h"
#include "effect/RenderContext.h"
#include "media/gpu/Direct3DService.h"
#include "media/gpu/FrameReadBack.h"
#include "media/gpu/RenderBuffer.h"
#include "media/gpu/ResourceBuffer.h"
#include "media/gpu/ResourceService.h"
#include "media/image/ImageBuffer.h"
#include "media/image/PixelFormat.h"
#include "render/RenderVideoWorker.h"

namespace {

constexpr int32_t kWidth = 1920, kHeight = 1080, kObjects = 10, kFrames = 300;

// A source whose image is made once and handed out on every frame.
class BenchSolidSource : public Effect::EffectBase {
public:
    BenchSolidSource() {
        name = L"ベンチ単色";
        role = kInput;
        media = kVideo;
        placement = kVideo;
    }
    std::shared_ptr<Effect::EffectBase> createInstance() const override { return std::make_shared<BenchSolidSource>(); }
    std::shared_ptr<Media::ResourceBuffer> inputVideo(Render::RenderContext&) override {
        if (!image) {
            image = std::make_shared<Media::ResourceBuffer>(480, 270);
            image->Direct3D->context->clearRenderTargetView(image->getRenderTargetView(), color);
        }
        return image;
    }
    float color[4] = {1, 1, 1, 1};
    std::shared_ptr<Media::ResourceBuffer> image;
};

// An output placing the image at a fixed point of the frame.
class BenchPlaceOutput : public Effect::EffectBase {
public:
    BenchPlaceOutput() {
        name = L"ベンチ配置";
        role = kOutput;
        media = kVideo;
        placement = kVideo;
    }
    std::shared_ptr<Effect::EffectBase> createInstance() const override { return std::make_shared<BenchPlaceOutput>(); }
    void outputVideo(Render::RenderContext&, Media::RenderBuffer& target,
                     std::shared_ptr<Media::ResourceBuffer> image) override {
        target.Direct3D->context->copySubresourceRegion(*target.texture, x, y, *image->texture, nullptr);
    }
    uint32_t x = 0, y = 0;
};

class BenchCatalog : public Edit::EffectCatalog {
public:
    BenchCatalog() { setCurrent(this); }
    ~BenchCatalog() override { setCurrent(nullptr); }
    const Effect::EffectBase& findEffect(const std::wstring& name) const override {
        if (name == source.name) return source;
        if (name == output.name) return output;
        throw System::messageException("BenchCatalog::findEffect", "not found effect.");
    }
    const Effect::EffectBase& getOutputEffect(const Effect::EffectBase&) const override { return output; }
    const Effect::EffectBase* getPairedInputEffect(const Effect::EffectBase&) const override { return nullptr; }

    BenchSolidSource source;
    BenchPlaceOutput output;
};

// The scene of ten solid objects, the lock and the worker reading it.
struct BenchScene {
    BenchScene() {
        scene->videoWidth = kWidth;
        scene->videoHeight = kHeight;
        for (int32_t i = 0; i < kObjects; ++i) {
            auto object = scene->createObject(L"ベンチ単色", i, 0, kFrames - 1);
            auto& source = static_cast<BenchSolidSource&>(*object->effects[0]);
            source.color[0] = static_cast<float>(i) / kObjects;
            auto& output = static_cast<BenchPlaceOutput&>(*object->effects[1]);
            output.x = static_cast<uint32_t>(i % 4) * 480;
            output.y = static_cast<uint32_t>(i / 4) * 270;
        }
        scene->update();
    }
    static Render::RenderVideoWorker::Settings settings() {
        Render::RenderVideoWorker::Settings s;
        s.temporaryImageCacheSize = 33177600;
        return s;
    }

    // The driver stays loaded to the end of the process.
    void* driver = dlopen("libvulkan_lvp.so", RTLD_NOW | RTLD_NODELETE);
    System::ServiceHolder<Media::Direct3DService> d3d;
    System::ServiceHolder<Resource::ResourceService> resources;  // the conversion shaders of a read-back
    Edit::ProjectQueries queries;
    const Effect::ModelQueriesScope installed{queries};
    BenchCatalog catalog;
    std::shared_ptr<Edit::Scene> scene = std::make_shared<Edit::Scene>(0, 0);
    std::shared_mutex lock;
    Render::RenderVideoWorker worker{[this] { return std::make_unique<Edit::ReadSection>(lock, scene, nullptr); },
                                     settings()};
};

void BM_RenderVideoFrames(benchmark::State& state) {
    BenchScene bench;
    Render::RenderVideoWorker& worker = bench.worker;
    Platform::gpu::Context& context = *bench.d3d.get()->context;

    std::atomic<int32_t> rendered{0};
    const auto counted = [&rendered](int32_t, Media::RenderBuffer&, Anchor::AnchorList*) { ++rendered; };
    uint64_t submissions = 0;
    for (auto _ : state) {
        const uint64_t before = context.submissionCount();
        for (int32_t frame = 0; frame < kFrames; ++frame)
            worker.requestRenderingFrame(Render::kRenderExport, frame, counted);
        worker.waitAll();
        (void)context.finish();
        submissions += context.submissionCount() - before;
    }
    const double frames = static_cast<double>(state.iterations()) * kFrames;
    state.counters["fps"] = benchmark::Counter(frames, benchmark::Counter::kIsRate);
    state.counters["submits/frame"] = static_cast<double>(submissions) / frames;
    if (rendered != static_cast<int32_t>(frames)) state.SkipWithError("frames were lost");
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
    BenchScene bench;
    Render::RenderVideoWorker& worker = bench.worker;
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
    dlopen("libvulkan_lvp.so", RTLD_NOW | RTLD_NODELETE);
    System::ServiceHolder<Media::Direct3DService> d3d;
    Platform::gpu::Context& context = *d3d.get()->context;
    Media::RenderBuffer target(d3d.get()->pixelFormat, d3d.get()->defaultSampleDesc);
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
