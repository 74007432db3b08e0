// Uploading a decoded 1080p frame to the GPU in the working format, as a
// movie source does every frame, against a memcpy of the same bytes. Report
// the ratio of the two per frame.
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <vector>

#include "core/ServiceHolder.h"
#include "media/gpu/Direct3DService.h"
#include "media/gpu/ResourceBuffer.h"
#include "media/gpu/ResourceConvert.h"
#include "media/gpu/ResourceService.h"
#include "media/image/ImageBuffer.h"
#include "media/image/PixelFormat.h"
#include "platform/gpu/Gpu.h"

namespace {

constexpr uint32_t kWidth = 1920, kHeight = 1080;

struct Setup {
    System::ServiceHolder<Media::Direct3DService> d3d;
    System::ServiceHolder<Resource::ResourceService> resources;
};

Setup& setup() {
    static Setup s;
    return s;
}

std::shared_ptr<Media::ImageBuffer> frame(int32_t format) {
    auto image = Media::ImageBuffer::make(format, kWidth, kHeight);
    image->create(kWidth, kHeight, 0);
    std::memset(image->data(), 0x80, image->usedSize());
    return image;
}

// A frame to a working-format buffer the caller keeps (the movie source's path).
void UploadFrameToWorkingFormat(benchmark::State& state) {
    setup();
    const auto image = frame(static_cast<int32_t>(state.range(0)));
    Media::ResourceBuffer target(0, 0);
    for (auto _ : state) {
        Media::ResourceConvert().convert(*image, target);
        setup().d3d.get()->context->finish();
    }
    state.SetBytesProcessed(state.iterations() * int64_t{image->usedSize()});
}
BENCHMARK(UploadFrameToWorkingFormat)
    ->Arg(Media::PixelFormat::kB8G8R8X8Unorm)
    ->Arg(Media::PixelFormat::kB8G8R8A8Unorm)
    ->Arg(Media::PixelFormat::kYuy2)
    ->Unit(benchmark::kMillisecond);

// The upload alone, into the buffer the conversion reads (kept between frames).
void UploadFrame(benchmark::State& state) {
    setup();
    const auto image = frame(static_cast<int32_t>(state.range(0)));
    Media::ResourceBuffer& target = setup().d3d.get()->uploadBuffer();
    for (auto _ : state) {
        target.setImage(*image);
        setup().d3d.get()->context->finish();
    }
    state.SetBytesProcessed(state.iterations() * int64_t{image->usedSize()});
}
BENCHMARK(UploadFrame)
    ->Arg(Media::PixelFormat::kB8G8R8X8Unorm)
    ->Arg(Media::PixelFormat::kB8G8R8A8Unorm)
    ->Arg(Media::PixelFormat::kYuy2)
    ->Unit(benchmark::kMillisecond);

// The same frame into a new buffer each time.
void UploadFrameNewBuffer(benchmark::State& state) {
    setup();
    const auto image = frame(static_cast<int32_t>(state.range(0)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(Media::ResourceBuffer::createFromImageBuffer(image));
        setup().d3d.get()->context->finish();
    }
    state.SetBytesProcessed(state.iterations() * int64_t{image->usedSize()});
}
BENCHMARK(UploadFrameNewBuffer)->Arg(Media::PixelFormat::kB8G8R8X8Unorm)->Unit(benchmark::kMillisecond);

void MemcpyFrame(benchmark::State& state) {
    const auto image = frame(static_cast<int32_t>(state.range(0)));
    std::vector<uint8_t> copy(image->usedSize());
    for (auto _ : state) {
        std::memcpy(copy.data(), image->data(), copy.size());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * int64_t{image->usedSize()});
}
BENCHMARK(MemcpyFrame)
    ->Arg(Media::PixelFormat::kB8G8R8X8Unorm)
    ->Arg(Media::PixelFormat::kYuy2)
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
