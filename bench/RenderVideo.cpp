// The video render worker at 1920x1080: a scene of ten solid objects, 300
// frames requested as an export requests them, the frame left on the GPU.
// Reports frames per second and GPU submissions per frame, beside the same GPU
// work recorded straight on the context: their ratio is the worker's cost.
#include <benchmark/benchmark.h>

#include <dlfcn.h>

#include <atomic>
#include <map>
#include <memory>
#include <shared_mutex>
#include <string>

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
#include "media/gpu/RenderBuffer.h"
#include "media/gpu/ResourceBuffer.h"
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
        if (name == source.name)
            return source;
        if (name == output.name)
            return output;
        throw System::messageException("BenchCatalog::findEffect", "not found effect.");
    }
    const Effect::EffectBase& getOutputEffect(const Effect::EffectBase&) const override { return output; }
    const Effect::EffectBase* getPairedInputEffect(const Effect::EffectBase&) const override { return nullptr; }

    BenchSolidSource source;
    BenchPlaceOutput output;
};

void BM_RenderVideoFrames(benchmark::State& state) {
    dlopen("libvulkan_lvp.so", RTLD_NOW | RTLD_NODELETE);
    System::ServiceHolder<Media::Direct3DService> d3d;
    Edit::ProjectQueries queries;
    const Effect::ModelQueriesScope installed(queries);
    BenchCatalog catalog;

    auto scene = std::make_shared<Edit::Scene>(0, 0);
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
    std::shared_mutex lock;
    Render::RenderVideoWorker::Settings settings;
    settings.temporaryImageCacheSize = 33177600;
    Render::RenderVideoWorker worker([&] { return std::make_unique<Edit::ReadSection>(lock, scene, nullptr); },
                                     settings);
    Platform::gpu::Context& context = *d3d.get()->context;

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
    if (rendered != static_cast<int32_t>(frames))
        state.SkipWithError("frames were lost");
}
BENCHMARK(BM_RenderVideoFrames)->Unit(benchmark::kMillisecond)->UseRealTime();

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
