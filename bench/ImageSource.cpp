// The still-image source's cost per frame once its picture is decoded: the
// upload is kept on the GPU between frames, against an upload of the same
// picture into a new buffer every frame. Report the ratio of the two.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <vector>

#include "core/ServiceHolder.h"
#include "core/TextConvert.h"
#include "effect/RenderContext.h"
#include "effects/ImageLoad.h"
#include "media/gpu/Direct3DService.h"
#include "media/gpu/ResourceBuffer.h"
#include "media/gpu/ResourceService.h"
#include "media/image/ImageBuffer.h"
#include "media/image/ImageService.h"
#include "platform/imaging/Codec.h"
#include "plugin/InputCacheSource.h"
#include "plugin/InputService.h"
#include "render/cache/CacheService.h"

namespace {

constexpr uint32_t kWidth = 1920, kHeight = 1080;

struct Setup {
    System::ServiceHolder<Media::Direct3DService> d3d;
    System::ServiceHolder<Resource::ResourceService> resources;
    System::ServiceHolder<Media::ImageService> images;
    System::ServiceHolder<Plugin::InputService> input;
    Plugin::InputCacheSource source{*Plugin::InputService::get()};
    System::ServiceHolder<Cache::CacheService> caches;
    std::filesystem::path file = std::filesystem::temp_directory_path() / "velmo-bench-still.png";

    Setup() {
        caches.get()->setMediaInput(&source);
        std::vector<uint8_t> bgra(size_t{kWidth} * kHeight * 4);
        for (size_t i = 0; i < bgra.size(); ++i)
            bgra[i] = static_cast<uint8_t>(i * 7 / 5);
        Platform::imaging::codec::EncodeInput input;
        input.pixels = bgra.data();
        input.width = kWidth;
        input.height = kHeight;
        std::vector<uint8_t> png;
        if (Platform::failed(Platform::imaging::codec::encodePng(input, png)))
            std::abort();
        std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(png.data()),
                                                    static_cast<std::streamsize>(png.size()));
    }
    ~Setup() { std::filesystem::remove(file); }
};

Setup& setup() {
    static Setup s;
    return s;
}

// One frame of an image object: the cached picture, uploaded once.
void StillImageFrame(benchmark::State& state) {
    Setup& s = setup();
    Effect::ImageLoad source;
    source.file.path = System::utf8ToWide(s.file.string());
    Render::RenderContext context;
    for (auto _ : state) {
        benchmark::DoNotOptimize(source.inputVideo(context));
        s.d3d.get()->context->finish();
    }
}
BENCHMARK(StillImageFrame)->Unit(benchmark::kMillisecond);

// The same picture uploaded into a new buffer every frame.
void StillImageUploadEveryFrame(benchmark::State& state) {
    Setup& s = setup();
    const auto image = s.caches.get()->imageCache.getImage(System::utf8ToWide(s.file.string()));
    if (!image)
        std::abort();
    for (auto _ : state) {
        benchmark::DoNotOptimize(Media::ResourceBuffer::createFromImageBuffer(image));
        s.d3d.get()->context->finish();
    }
}
BENCHMARK(StillImageUploadEveryFrame)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
