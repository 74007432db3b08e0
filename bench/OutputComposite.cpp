// The composite of one translucent (and rotated) 1920x1080 image into a 1080p frame
// by the standard drawing, 300 frames rendered as an export renders them,
// beside the same frames filled by one plain full-frame copy pass each (the
// cheapest draw that touches every pixel): their ratio is the cost of the
// placement, the filtered read and the blend over the frame. A movie's frame
// drawn the same way adds its upload and its conversion to the working format.
#include <benchmark/benchmark.h>

#include <memory>

#include "edit/Object.h"
#include "effect/OutputView.h"
#include "effects/VideoOutput.h"
#include "media/gpu/ResourceConvert.h"
#include "media/image/ImageBuffer.h"
#include "media/image/PixelFormat.h"
#include "media/gpu/RenderBuffer.h"
#include "render/RenderVideoWorker.h"
#include "support/BenchFixture.h"

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

// A source that hands out a decoded 8-bit frame (made once) as a movie does:
// uploaded and converted to the working format on every frame.
class BenchMovieSource : public Effect::EffectBase {
public:
    BenchMovieSource() {
        name = L"ベンチ動画";
        role = kInput;
        media = kVideo;
        placement = kVideo;
        decoded = Media::ImageBuffer::make(Media::PixelFormat::kB8G8R8X8Unorm, kWidth, kHeight);
        for (uint32_t i = 0; i < decoded->usedSize(); ++i) decoded->data()[i] = static_cast<uint8_t>(i * 7);
    }
    std::shared_ptr<Effect::EffectBase> createInstance() const override { return std::make_shared<BenchMovieSource>(); }
    std::shared_ptr<Media::ResourceBuffer> inputVideo(Render::RenderContext&) override {
        if (!kept) kept = std::make_shared<Media::ResourceBuffer>(kWidth, kHeight);
        Media::ResourceConvert().convert(*decoded, *kept);
        return kept;
    }
    std::shared_ptr<Media::ImageBuffer> decoded;
    std::shared_ptr<Media::ResourceBuffer> kept;
};

void BM_MovieFrameComposite(benchmark::State& state) {
    Bench::GpuServices gpu(Bench::GpuServices::kWithShaders);
    Effect::setFrameSizeReader(Media::renderBufferSize);
    Bench::Model<BenchMovieSource, Effect::VideoOutput> model(kWidth, kHeight);
    model.scene->createObject(L"ベンチ動画", 0, 0, kFrames - 1);
    model.scene->update();
    Render::RenderVideoWorker worker(model.reader(), Render::RenderVideoWorker::Settings{});
    Bench::measureExportFrames(state, worker, gpu.context(), kFrames);
    Effect::setFrameSizeReader(nullptr);
}
BENCHMARK(BM_MovieFrameComposite)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_RotatedQuadComposite(benchmark::State& state) {
    Bench::GpuServices gpu(Bench::GpuServices::kWithShaders);
    Effect::setFrameSizeReader(Media::renderBufferSize);
    Bench::Model<BenchImageSource, Effect::VideoOutput> model(kWidth, kHeight);
    auto object = model.scene->createObject(L"ベンチ画像", 0, 0, kFrames - 1);
    auto& output = dynamic_cast<Effect::VideoOutput&>(*object->effects[1]);
    output.angleZ.setValue(static_cast<double>(state.range(0)), 0);
    output.zoom.setValue(static_cast<double>(state.range(1)), 0);
    output.alpha.setValue(30, 0);
    model.scene->update();
    Render::RenderVideoWorker worker(model.reader(), Render::RenderVideoWorker::Settings{});
    Bench::measureExportFrames(state, worker, gpu.context(), kFrames);
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

// The frame's own cost without an object: what the worker does for every
// frame (its target, its clear, its hand-over) before anything is drawn.
void BM_EmptyFrame(benchmark::State& state) {
    Bench::GpuServices gpu(Bench::GpuServices::kWithShaders);
    Effect::setFrameSizeReader(Media::renderBufferSize);
    Bench::Model<BenchImageSource, Effect::VideoOutput> model(kWidth, kHeight);
    model.scene->update();
    Render::RenderVideoWorker worker(model.reader(), Render::RenderVideoWorker::Settings{});
    Bench::measureExportFrames(state, worker, gpu.context(), kFrames);
    Effect::setFrameSizeReader(nullptr);
}
BENCHMARK(BM_EmptyFrame)->Unit(benchmark::kMillisecond)->UseRealTime();

// The reference: a clear and one full-frame copy pass per frame, recorded
// directly and flushed once per frame.
void BM_FullFrameCopyPass(benchmark::State& state) {
    Bench::GpuServices gpu(Bench::GpuServices::kWithShaders);
    Platform::gpu::Context& context = gpu.context();
    Media::RenderBuffer target(gpu.d3d.get()->pixelFormat, gpu.d3d.get()->defaultSampleDesc);
    target.createTexture2D(kWidth, kHeight);
    target.createRenderTargetView();
    Media::ResourceBuffer image(kWidth, kHeight);
    const float color[4] = {0.5f, 0.25f, 0.125f, 1}, clear[4] = {0, 0, 0, 0};
    context.clearRenderTargetView(image.getRenderTargetView(), color);
    Media::PixelShader& copy = gpu.resources->get()->pixelShaders[2];
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
