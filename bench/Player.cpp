// The player at 1920x1080, 30 frames per second: a scene of ten solid
// objects played from start to end on the player's own 12 ms timer and real
// clock. Reports the share of the scene's frames that were shown (the others
// came too late and were skipped), beside the reference: the same frames
// rendered and copied into 8-bit frame images as fast as the worker can,
// which is the rate playback could keep at most.
#include <benchmark/benchmark.h>

#include <atomic>
#include <functional>
#include <memory>

#include "core/EventService.h"
#include "media/gpu/FrameImage.h"
#include "media/gpu/RenderBuffer.h"
#include "platform/os/Wait.h"
#include "render/MoviePlayer.h"
#include "render/RenderAudioWorker.h"
#include "render/RenderVideoWorker.h"
#include "support/BenchFixture.h"

namespace {

constexpr int32_t kWidth = 1920, kHeight = 1080, kObjects = 10, kFrames = 90;

// The services, the scene and the two workers of one run.
struct Fixture {
    Fixture() {
        Bench::addSolidGrid(*scene, kObjects, kFrames);
        video = std::make_unique<Render::RenderVideoWorker>(model.reader(), Bench::solidGridSettings());
        audio = std::make_unique<Render::RenderAudioWorker>(model.reader());
    }

    Bench::GpuServices gpu{Bench::GpuServices::kWithShaders};
    Bench::SolidModel model{kWidth, kHeight};
    std::shared_ptr<Edit::Scene>& scene = model.scene;
    std::unique_ptr<Render::RenderVideoWorker> video;
    std::unique_ptr<Render::RenderAudioWorker> audio;
};

void BM_PlayerShowsFrames(benchmark::State& state) {
    Fixture bench;
    Event::EventService events;
    std::atomic<int64_t> shown{0};
    events.renderResultListeners.add([&shown](int, int) { ++shown; });
    Platform::os::WaitHandle timer;
    std::function<void()> tick;
    Render::MoviePlayer::Connections connections;
    connections.currentScene = [&bench] { return bench.scene; };
    connections.video = bench.video.get();
    connections.audio = bench.audio.get();
    connections.events = &events;
    connections.loop.registerWaitHandle = [&](const Platform::os::WaitHandle& handle, std::function<void()> callback) {
        timer = handle;
        tick = std::move(callback);
    };
    connections.loop.unregisterWaitHandle = [&](const Platform::os::WaitHandle&) { tick = nullptr; };
    Render::MoviePlayer player(std::move(connections));
    for (auto _ : state) {
        bench.scene->cursorFrame = 0;
        player.play();
        // The main loop's part: wait for the timer, run its callback.
        while (tick) {
            if (Platform::os::waitFor(timer, Platform::os::kInfinite) != Platform::os::kWaitObject0) break;
            if (tick) tick();
        }
    }
    const double frames = static_cast<double>(state.iterations()) * kFrames;
    state.counters["shown"] = static_cast<double>(shown.load()) / frames;
    state.counters["fps"] = benchmark::Counter(static_cast<double>(shown.load()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_PlayerShowsFrames)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);

// The reference: every frame rendered and copied out as the player copies
// it, back to back, with no clock.
void BM_RenderAndCopyFrames(benchmark::State& state) {
    Fixture bench;
    std::atomic<int32_t> copied{0};
    const auto copy = [&copied](int32_t, Media::RenderBuffer& buffer, Anchor::AnchorList*) {
        Media::FrameImage image;
        image.copyFrom(buffer);
        ++copied;
    };
    for (auto _ : state) {
        for (int32_t frame = 0; frame < kFrames; ++frame)
            bench.video->requestRenderingFrame(Render::kRenderPlayback, frame, copy);
        bench.video->waitAll();
    }
    const double frames = static_cast<double>(state.iterations()) * kFrames;
    state.counters["fps"] = benchmark::Counter(frames, benchmark::Counter::kIsRate);
    if (copied != static_cast<int32_t>(frames)) state.SkipWithError("frames were lost");
}
BENCHMARK(BM_RenderAndCopyFrames)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
