// The frame paths of the media layer at 1920x1080: the hand-over to the
// preview (FrameImage), the read-back to an 8-bit image, a pass through the
// bound-state cache, and the CPU DIB copies of exported and pasted images.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "core/ServiceHolder.h"
#include "media/gpu/FrameImage.h"
#include "media/image/ImageBuffer.h"
#include "media/gpu/RenderBuffer.h"
#include "media/gpu/ResourceBuffer.h"
#include "media/gpu/ResourceService.h"

namespace {

constexpr uint32_t kWidth = 1920, kHeight = 1080;

struct Setup {
    System::ServiceHolder<Media::Direct3DService> d3d;
    System::ServiceHolder<Resource::ResourceService> resources;
    std::unique_ptr<Media::RenderBuffer> frame;
    std::unique_ptr<Media::ResourceBuffer> source;

    Setup() {
        frame = std::make_unique<Media::RenderBuffer>(10, Media::Direct3DService::SampleDesc{1, 0});
        frame->createTexture2D(kWidth, kHeight);
        frame->createRenderTargetView();
        const float colour[4] = {0.5f, 0.25f, 0.125f, 0.5f};
        d3d.get()->context->clearRenderTargetView(frame->renderTargetView, colour);
        source = std::make_unique<Media::ResourceBuffer>(kWidth, kHeight);
        source->clearUnorderedAccessView(0.5f);
    }
};

Setup& setup() {
    static Setup s;
    return s;
}

void FrameHandOver(benchmark::State& state) {
    setup();  // the frame image takes the resource service's lists when built
    Media::FrameImage image;
    for (auto _ : state) image.copyFrom(*setup().frame);
}
BENCHMARK(FrameHandOver)->Unit(benchmark::kMillisecond);

void ReadBackStraightBgra(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(setup().frame->createImageBuffer(87, true));
}
BENCHMARK(ReadBackStraightBgra)->Unit(benchmark::kMillisecond);

// Consecutive copy passes with the same shader and blend: the cache leaves the
// pipeline state alone after the first.
void CopyPasses(benchmark::State& state) {
    Media::PixelShader& copy = Resource::ResourceService::get()->pixelShaders[2];
    Media::ResourceBuffer target(kWidth, kHeight);
    for (auto _ : state) {
        for (int i = 0; i < 8; ++i) copy.drawResourceToResource(target, *setup().source, nullptr);
        (void)setup().d3d.get()->context->finish();
    }
}
BENCHMARK(CopyPasses)->Unit(benchmark::kMillisecond);

void DibCopy(benchmark::State& state) {
    const int32_t format = static_cast<int32_t>(state.range(0));
    Media::BitmapInfoHeader header{};
    Media::ImageBuffer::getBitmapInfoHeader(format, kWidth, kHeight, header);
    std::vector<uint8_t> bits(header.biSizeImage, 0x40);
    Media::ImageBuffer image(format, kWidth, kHeight);
    for (auto _ : state) {
        image.copyFromBitmap(header, bits.data());
        image.copyToBitmap(header, bits.data());
    }
    state.SetBytesProcessed(state.iterations() * 2 * int64_t{header.biSizeImage});
}
BENCHMARK(DibCopy)->Arg(88)->Arg(87)->Arg(107)->Arg(13)->Arg(10)->Unit(benchmark::kMillisecond);

void PackYuy2(benchmark::State& state) {
    std::vector<uint8_t> source(size_t{kWidth} * 4 * kHeight, 0x40);
    Media::ImageBuffer image(107, kWidth, kHeight);
    for (auto _ : state) image.packYuy2(source.data(), kWidth, kHeight, kWidth * 4);
    state.SetBytesProcessed(state.iterations() * int64_t(source.size()));
}
BENCHMARK(PackYuy2)->Unit(benchmark::kMillisecond);

}  // namespace
BENCHMARK_MAIN();
