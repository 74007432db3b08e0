// Reading a 1080p H.264 file frame by frame through the media source reader
// (decode and conversion to BGRX), against the ffmpeg tool decoding and
// converting the same frames. Compare the two per frame, as a ratio. The same
// frames read through the image cache as a movie object asks for them report
// the memory the cache holds at the end ("held_MB"), which stays a few frames'
// worth however long the file is.
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

constexpr int kFrames = 60;

// A 2-second 1080p 30 fps file, made once per run.
const std::string& file() {
    static const std::string path = [] {
        const std::string p =
            (std::filesystem::temp_directory_path() / ("velmo-bench-decode-" + std::to_string(getpid()) + ".mp4"))
                .string();
        const std::string command =
            "ffmpeg -nostdin -v error -y -f lavfi -i testsrc2=s=1920x1080:r=30:d=2 "
            "-c:v libx264 -pix_fmt yuv420p '" +
            p + "'";
        if (std::system(command.c_str()) != 0) return std::string();
        std::atexit([] { std::filesystem::remove(file()); });
        return p;
    }();
    return path;
}

void ReaderSequentialFrames(benchmark::State& state) {
    if (file().empty()) {
        state.SkipWithError("ffmpeg could not make the file");
        return;
    }
    for (auto _ : state) {
        Media::MediaSourceReader reader;
        if (!reader.open(System::utf8ToWide(file())) || !reader.selectVideoStream()) {
            state.SkipWithError("the reader could not open the file");
            return;
        }
        for (int i = 0; i < kFrames; ++i) benchmark::DoNotOptimize(reader.readVideo(i));
    }
    state.SetItemsProcessed(state.iterations() * kFrames);
}
BENCHMARK(ReaderSequentialFrames)->Unit(benchmark::kMillisecond)->UseRealTime();

// Preloaded, then taken, frame after frame: the movie object's way through the cache.
void ImageCacheSequentialFrames(benchmark::State& state) {
    if (file().empty()) {
        state.SkipWithError("ffmpeg could not make the file");
        return;
    }
    System::ServiceHolder<Media::ImageService> images;
    System::ServiceHolder<Plugin::InputService> input;
    Plugin::InputCacheSource source{*Plugin::InputService::get()};
    System::ServiceHolder<Cache::CacheService> caches;
    caches.get()->setMediaInput(&source);
    Cache::ImageCache& cache = caches.get()->imageCache;
    const std::wstring path = System::utf8ToWide(file());
    for (auto _ : state) {
        cache.store().clear();
        for (int i = 0; i < kFrames; ++i) {
            cache.preloadMovieFrame(path, i / 30.0);
            benchmark::DoNotOptimize(cache.getMovieFrame(path, i / 30.0));
        }
    }
    state.counters["held_MB"] = static_cast<double>(cache.store().byteTotal()) / (1 << 20);
    state.SetItemsProcessed(state.iterations() * kFrames);
}
BENCHMARK(ImageCacheSequentialFrames)->Unit(benchmark::kMillisecond)->UseRealTime();

void FfmpegToolSameFrames(benchmark::State& state) {
    if (file().empty()) {
        state.SkipWithError("ffmpeg could not make the file");
        return;
    }
    const std::string command = "ffmpeg -nostdin -v error -i '" + file() + "' -frames:v " + std::to_string(kFrames) +
                                " -sws_flags bilinear -pix_fmt bgr0 -f null -";
    for (auto _ : state)
        if (std::system(command.c_str()) != 0) state.SkipWithError("ffmpeg failed");
    state.SetItemsProcessed(state.iterations() * kFrames);
}
BENCHMARK(FfmpegToolSameFrames)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
