// A 1080p frame read back as the rows of a 24-bit bitmap, as the AVI writer
// takes it: packed on the GPU and read in place, against the 8-bit read-back
// packed on the CPU, and against a memcpy of the same bitmap's bytes (the
// floor). Each iteration waits for its frame. Report the ratios to the memcpy.
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <vector>

#include "core/ServiceHolder.h"
#include "media/gpu/FrameReadBack.h"
#include "media/gpu/RenderBuffer.h"
#include "media/gpu/ResourceService.h"
#include "media/image/ImageBuffer.h"
#include "media/image/PixelFormat.h"

namespace {

constexpr uint32_t kWidth = 1920, kHeight = 1080;

struct Setup {
    System::ServiceHolder<Media::Direct3DService> d3d;
    System::ServiceHolder<Resource::ResourceService> resources;
    std::unique_ptr<Media::RenderBuffer> frame;
    Media::BitmapInfoHeader header{};

    Setup() {
        frame = std::make_unique<Media::RenderBuffer>(Media::PixelFormat::kR16G16B16A16Float,
                                                      Media::Direct3DService::SampleDesc{1, 0});
        frame->createTexture2D(kWidth, kHeight);
        frame->createRenderTargetView();
        const float colour[4] = {0.5f, 0.25f, 0.125f, 1};
        d3d.get()->context->clearRenderTargetView(frame->renderTargetView, colour);
        Media::ImageBuffer::getBitmapInfoHeader(Media::PixelFormat::kB8G8R8X8Unorm, kWidth, kHeight, header);
    }
};

Setup& setup() {
    static Setup s;
    return s;
}

// The rows packed by a pass on the GPU and written from the staging memory.
void ReadBackPackedOnTheGpu(benchmark::State& state) {
    Setup& s = setup();
    for (auto _ : state) {
        const auto packed = s.frame->submitBgr24Bits();
        benchmark::DoNotOptimize(packed->rows().data);
    }
    state.SetBytesProcessed(state.iterations() * int64_t{s.header.biSizeImage});
}
BENCHMARK(ReadBackPackedOnTheGpu)->Unit(benchmark::kMillisecond);

// The 8-bit read-back copied out of the staging memory and packed on the CPU.
void ReadBackPackedOnTheCpu(benchmark::State& state) {
    Setup& s = setup();
    std::vector<uint8_t> bits(s.header.biSizeImage);
    for (auto _ : state) {
        const auto image = s.frame->submitImageBuffer(Media::PixelFormat::kB8G8R8X8Unorm, true)->image();
        image->copyToBitmap(s.header, bits.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * int64_t{s.header.biSizeImage});
}
BENCHMARK(ReadBackPackedOnTheCpu)->Unit(benchmark::kMillisecond);

void MemcpyBitmap(benchmark::State& state) {
    Setup& s = setup();
    std::vector<uint8_t> from(s.header.biSizeImage, 0x40), to(s.header.biSizeImage);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), to.size());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * int64_t{s.header.biSizeImage});
}
BENCHMARK(MemcpyBitmap)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
