// The composite of one translucent (and rotated) 1920x1080 image into a 1080p frame
// by the standard drawing, 300 frames rendered as an export renders them,
// beside the same frames filled by one plain full-frame copy pass each (the
// cheapest draw that touches every pixel): their ratio is the cost of the
// placement, the filtered read and the blend over the frame.
#include <benchmark/benchmark.h>

#include <dlfcn.h>

#include <atomic>
#include <memory>
#include <shared_mutex>

#include "core/Exception.h"
#include "core/ServiceHolder.h"
#include "edit/EffectCatalog.h"
#include "edit/Object.h"
#include "edit/ProjectQueries.h"
#include "edit/ReadSection.h"
#include "edit/Scene.h"
#include "effect/ModelQueries.h"
#include "effect/OutputView.h"
#include "effects/VideoOutput.h"
#include "media/gpu/Direct3DService.h"
#include "media/gpu/RenderBuffer.h"
#include "media/gpu/ResourceBuffer.h"
#include "media/gpu/ResourceService.h"
#include "render/RenderVideoWorker.h"

namespace {

constexpr int32_t kWidth = 1920, kHeight = 1080, kFrames = 300;

// A source whose image is made once and handed out on every frame.
class BenchImageSource : public Effect::EffectBase {
public:
    BenchImageSource() {
        name = L"ベンチ画像";
        role = kInput;
        media = kVideo;
        placement = kVideo;
    }
    std::shared_ptr<Effect::EffectBase> createInstance() const override { return std::make_shared<BenchImageSource>(); }
    std::shared_ptr<Media::ResourceBuffer> inputVideo(Render::RenderContext&) override {
        if (!image) {
            image = std::make_shared<Media::ResourceBuffer>(kWidth, kHeight);
            const float color[4] = {0.5f, 0.25f, 0.125f, 1};
            image->Direct3D->context->clearRenderTargetView(image->getRenderTargetView(), color);
        }
        return image;
    }
    std::shared_ptr<Media::ResourceBuffer> image;
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

    BenchImageSource source;
    Effect::VideoOutput output;
};

void BM_RotatedQuadComposite(benchmark::State& state) {
    dlopen("libvulkan_lvp.so", RTLD_NOW | RTLD_NODELETE);
    System::ServiceHolder<Media::Direct3DService> d3d;
    System::ServiceHolder<Resource::ResourceService> resources;
    Effect::setFrameSizeReader(Media::renderBufferSize);
    Edit::ProjectQueries queries;
    const Effect::ModelQueriesScope installed(queries);
    BenchCatalog catalog;

    auto scene = std::make_shared<Edit::Scene>(0, 0);
    scene->videoWidth = kWidth;
    scene->videoHeight = kHeight;
    auto object = scene->createObject(L"ベンチ画像", 0, 0, kFrames - 1);
    auto& output = dynamic_cast<Effect::VideoOutput&>(*object->effects[1]);
    output.angleZ.setValue(static_cast<double>(state.range(0)), 0);
    output.zoom.setValue(static_cast<double>(state.range(1)), 0);
    output.alpha.setValue(30, 0);
    scene->update();
    std::shared_mutex lock;
    Render::RenderVideoWorker worker([&] { return std::make_unique<Edit::ReadSection>(lock, scene, nullptr); },
                                     Render::RenderVideoWorker::Settings{});
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
    if (rendered != static_cast<int32_t>(frames)) state.SkipWithError("frames were lost");
    Effect::setFrameSizeReader(nullptr);
}
// (z rotation in degrees, zoom in percent): the plain placement, a rotated one that shrinks the image
// (the footprint loop of the textured shader) and one that enlarges it (one read per pixel).
BENCHMARK(BM_RotatedQuadComposite)
    ->Args({0, 100})
    ->Args({30, 70})
    ->Args({30, 150})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The reference: a clear and one full-frame copy pass per frame, recorded
// directly and flushed once per frame.
void BM_FullFrameCopyPass(benchmark::State& state) {
    dlopen("libvulkan_lvp.so", RTLD_NOW | RTLD_NODELETE);
    System::ServiceHolder<Media::Direct3DService> d3d;
    System::ServiceHolder<Resource::ResourceService> resources;
    Platform::gpu::Context& context = *d3d.get()->context;
    Media::RenderBuffer target(d3d.get()->pixelFormat, d3d.get()->defaultSampleDesc);
    target.createTexture2D(kWidth, kHeight);
    target.createRenderTargetView();
    Media::ResourceBuffer image(kWidth, kHeight);
    const float color[4] = {0.5f, 0.25f, 0.125f, 1}, clear[4] = {0, 0, 0, 0};
    context.clearRenderTargetView(image.getRenderTargetView(), color);
    Media::PixelShader& copy = resources.get()->pixelShaders[2];
    for (auto _ : state) {
        for (int32_t frame = 0; frame < kFrames; ++frame) {
            context.clearRenderTargetView(target.renderTargetView, clear);
            copy.drawResourceToRender(target, image);
            (void)context.flush();
        }
        (void)context.finish();
    }
    state.counters["fps"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * kFrames, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_FullFrameCopyPass)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
