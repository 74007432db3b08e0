#include "BenchFixture.h"

#include <dlfcn.h>

#include <atomic>

#include "edit/Object.h"
#include "effect/RenderContext.h"
#include "media/gpu/RenderBuffer.h"

namespace Bench {

void loadSoftwareGpu() { dlopen("libvulkan_lvp.so", RTLD_NOW | RTLD_NODELETE); }

GpuServices::GpuServices(Shaders shaders) {
    if (shaders == kWithShaders) resources.emplace();
}

std::shared_ptr<Media::ResourceBuffer> filledImage(uint32_t width, uint32_t height, const float (&colour)[4]) {
    auto image = std::make_shared<Media::ResourceBuffer>(width, height);
    Platform::gpu::Context& context = *Media::Direct3DService::get()->context;
    context.clearRenderTargetView(image->getRenderTargetView(), colour);
    (void)context.finish();
    return image;
}

VideoEffect::VideoEffect(const wchar_t* effectName, uint8_t effectRole) {
    name = effectName;
    role = effectRole;
    media = kVideo;
    placement = kVideo;
}

SolidSource::SolidSource() : VideoEffect(L"ベンチ単色", kInput) {}

std::shared_ptr<Effect::EffectBase> SolidSource::createInstance() const { return std::make_shared<SolidSource>(); }

std::shared_ptr<Media::ResourceBuffer> SolidSource::inputVideo(Render::RenderContext&) {
    if (!image) {
        image = std::make_shared<Media::ResourceBuffer>(480, 270);
        image->Direct3D->context->clearRenderTargetView(image->getRenderTargetView(), color);
    }
    return image;
}

PlaceOutput::PlaceOutput() : VideoEffect(L"ベンチ配置", kOutput) {}

std::shared_ptr<Effect::EffectBase> PlaceOutput::createInstance() const { return std::make_shared<PlaceOutput>(); }

void PlaceOutput::outputVideo(Render::RenderContext&, Media::RenderBuffer& target,
                              std::shared_ptr<Media::ResourceBuffer> image) {
    target.Direct3D->context->copySubresourceRegion(*target.texture, x, y, *image->texture, nullptr);
}

void addSolidGrid(Edit::Scene& scene, int32_t objects, int32_t frames) {
    for (int32_t i = 0; i < objects; ++i) {
        auto object = scene.createObject(L"ベンチ単色", i, 0, frames - 1);
        static_cast<SolidSource&>(*object->effects[0]).color[0] = static_cast<float>(i) / objects;
        auto& output = static_cast<PlaceOutput&>(*object->effects[1]);
        output.x = static_cast<uint32_t>(i % 4) * 480;
        output.y = static_cast<uint32_t>(i / 4) * 270;
    }
    scene.update();
}

Render::RenderVideoWorker::Settings solidGridSettings() {
    Render::RenderVideoWorker::Settings settings;
    settings.temporaryImageCacheSize = 33177600;
    return settings;
}

void measureExportFrames(benchmark::State& state, Render::RenderVideoWorker& worker, Platform::gpu::Context& context,
                         int32_t frames) {
    std::atomic<int32_t> rendered{0};
    const auto counted = [&rendered](int32_t, Media::RenderBuffer&, Anchor::AnchorList*) { ++rendered; };
    uint64_t submissions = 0;
    for (auto _ : state) {
        const uint64_t before = context.submissionCount();
        for (int32_t frame = 0; frame < frames; ++frame)
            worker.requestRenderingFrame(Render::kRenderExport, frame, counted);
        worker.waitAll();
        (void)context.finish();
        submissions += context.submissionCount() - before;
    }
    const double total = static_cast<double>(state.iterations()) * frames;
    state.counters["fps"] = benchmark::Counter(total, benchmark::Counter::kIsRate);
    state.counters["submits/frame"] = static_cast<double>(submissions) / total;
    if (rendered != static_cast<int32_t>(total)) state.SkipWithError("frames were lost");
}

}  // namespace Bench
