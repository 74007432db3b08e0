// Reading 300 frames of a 1080p H.264 file as a movie source does: through the
// input service and the image cache, asking a few frames ahead as a render's
// preparatory pass does, at normal and at double speed; against the media
// source reader alone reading the same frames. Compare frames per second.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "core/ServiceHolder.h"
#include "core/TextConvert.h"
#include "media/decode/MediaSourceReader.h"
#include "media/image/ImageBuffer.h"
#include "media/image/ImageService.h"
#include "plugin/InputCacheSource.h"
#include "plugin/InputService.h"
#include "render/cache/CacheService.h"

namespace {

constexpr int kFrames = 300;
constexpr int kAhead = 6;  // frames asked for ahead of the one read
constexpr double kRate = 30.0;

// A 20-second 1080p 30 fps file (600 frames, enough for double speed), made once per run.
const std::wstring& file() {
    static const std::wstring path = [] {
        const std::string p =
            (std::filesystem::temp_directory_path() / ("velmo-bench-input-" + std::to_string(getpid()) + ".mp4"))
                .string();
        const std::string command =
            "ffmpeg -nostdin -v error -y -f lavfi -i testsrc2=s=1920x1080:r=30:d=20 "
            "-c:v libx264 -preset veryfast -pix_fmt yuv420p '" +
            p + "'";
        if (std::system(command.c_str()) != 0) return std::wstring();
        std::atexit([] { std::filesystem::remove(System::wideToUtf8(file())); });
        return System::utf8ToWide(p);
    }();
    return path;
}

void MediaSourceReaderAlone(benchmark::State& state) {
    const int speed = static_cast<int>(state.range(0));
    if (file().empty()) return state.SkipWithError("ffmpeg could not make the file");
    for (auto _ : state) {
        Media::MediaSourceReader reader;
        if (!reader.open(file()) || !reader.selectVideoStream()) return state.SkipWithError("no reader");
        for (int i = 0; i < kFrames; ++i) benchmark::DoNotOptimize(reader.readVideo(i * speed));
    }
    state.counters["fps"] = benchmark::Counter(state.iterations() * kFrames, benchmark::Counter::kIsRate);
}
BENCHMARK(MediaSourceReaderAlone)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

struct Services {
    System::ServiceHolder<Media::ImageService> images;
    System::ServiceHolder<Plugin::InputService> input;
    Plugin::InputCacheSource source{*input.get()};
    System::ServiceHolder<Cache::CacheService> caches;
    Services() { caches.get()->setMediaInput(&source); }
    ~Services() { caches.get()->setMediaInput(nullptr); }
};

void InputServiceAndImageCache(benchmark::State& state) {
    const int speed = static_cast<int>(state.range(0));
    if (file().empty()) return state.SkipWithError("ffmpeg could not make the file");
    Services services;
    Cache::ImageCache& cache = services.caches.get()->imageCache;
    for (auto _ : state) {
        services.input.get()->clearFileCache();  // each round opens the file as the reader alone does
        cache.store().clear();
        for (int i = 0; i < kFrames; ++i) {
            for (int k = 1; k <= kAhead; ++k) cache.preloadMovieFrame(file(), (i + k) * speed / kRate);
            if (!cache.getMovieFrame(file(), i * speed / kRate)) return state.SkipWithError("no frame");
        }
    }
    state.counters["fps"] = benchmark::Counter(state.iterations() * kFrames, benchmark::Counter::kIsRate);
}
BENCHMARK(InputServiceAndImageCache)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
