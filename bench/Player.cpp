// The player at 1920x1080, 30 frames per second: a scene of ten solid
// objects played from start to end on the player's own 12 ms timer and real
// clock. Reports the share of the scene's frames that were shown (the others
// came too late and were skipped), beside the reference: the same frames
// rendered and copied into 8-bit frame images as fast as the worker can,
// which is the rate playback could keep at most.
#include <benchmark/benchmark.h>

#include <dlfcn.h>

#include <atomic>
#include <functional>
#include <memory>
#include <shared_mutex>

#include "core/EventService.h"
#include "core/Exception.h"
#include "core/ServiceHolder.h"
#include "edit/EffectCatalog.h"
#include "edit/Object.h"
#include "edit/ProjectQueries.h"
#include "edit/ReadSection.h"
#include "edit/Scene.h"
#include "effect/EffectBase.h"
#include "effect/ModelQueries.h"
#include "effect/RenderContext.h"
#include "media/gpu/Direct3DService.h"
#include "media/gpu/FrameImage.h"
#include "media/gpu/RenderBuffer.h"
#include "media/gpu/ResourceBuffer.h"
#include "media/gpu/ResourceService.h"
#include "platform/os/Wait.h"
#include "render/MoviePlayer.h"
#include "render/RenderAudioWorker.h"
#include "render/RenderVideoWorker.h"

namespace {

constexpr int32_t kWidth = 1920, kHeight = 1080, kObjects = 10, kFrames = 90;

class BenchSolidSource : public Effect::EffectBase {
public:
    BenchSolidSource() {
        name = L"ベンチ単色";
        role = kInput;
        media = kVideo;
        placement = kVideo;
    }
    std::shared_ptr<Effect::EffectBase> createInstance() const override { return std::make_shared<BenchSolidSource>(); }
    std::shared_ptr<Media::ResourceBuffer> inputVideo(Render::RenderContext&) override {
        if (!image) {
            image = std::make_shared<Media::ResourceBuffer>(480, 270);
            image->Direct3D->context->clearRenderTargetView(image->getRenderTargetView(), color);
        }
        return image;
    }
    float color[4] = {1, 1, 1, 1};
    std::shared_ptr<Media::ResourceBuffer> image;
};

class BenchPlaceOutput : public Effect::EffectBase {
public:
    BenchPlaceOutput() {
        name = L"ベンチ配置";
        role = kOutput;
        media = kVideo;
        placement = kVideo;
    }
    std::shared_ptr<Effect::EffectBase> createInstance() const override { return std::make_shared<BenchPlaceOutput>(); }
    void outputVideo(Render::RenderContext&, Media::RenderBuffer& target,
                     std::shared_ptr<Media::ResourceBuffer> image) override {
        target.Direct3D->context->copySubresourceRegion(*target.texture, x, y, *image->texture, nullptr);
    }
    uint32_t x = 0, y = 0;
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

    BenchSolidSource source;
    BenchPlaceOutput output;
};

// The services, the scene and the two workers of one run.
struct Bench {
    Bench() {
        dlopen("libvulkan_lvp.so", RTLD_NOW | RTLD_NODELETE);
        d3d = std::make_unique<System::ServiceHolder<Media::Direct3DService>>();
        resources = std::make_unique<System::ServiceHolder<Resource::ResourceService>>();
        scene->videoWidth = kWidth;
        scene->videoHeight = kHeight;
        for (int32_t i = 0; i < kObjects; ++i) {
            auto object = scene->createObject(L"ベンチ単色", i, 0, kFrames - 1);
            static_cast<BenchSolidSource&>(*object->effects[0]).color[0] = static_cast<float>(i) / kObjects;
            auto& output = static_cast<BenchPlaceOutput&>(*object->effects[1]);
            output.x = static_cast<uint32_t>(i % 4) * 480;
            output.y = static_cast<uint32_t>(i / 4) * 270;
        }
        scene->update();
        Render::RenderVideoWorker::Settings settings;
        settings.temporaryImageCacheSize = 33177600;
        video = std::make_unique<Render::RenderVideoWorker>(
            [this] { return std::make_unique<Edit::ReadSection>(lock, scene, nullptr); }, settings);
        audio = std::make_unique<Render::RenderAudioWorker>(
            [this] { return std::make_unique<Edit::ReadSection>(lock, scene, nullptr); });
    }

    std::unique_ptr<System::ServiceHolder<Media::Direct3DService>> d3d;
    std::unique_ptr<System::ServiceHolder<Resource::ResourceService>> resources;
    Edit::ProjectQueries queries;
    Effect::ModelQueriesScope installed{queries};
    BenchCatalog catalog;
    std::shared_ptr<Edit::Scene> scene = std::make_shared<Edit::Scene>(0, 0);
    std::shared_mutex lock;
    std::unique_ptr<Render::RenderVideoWorker> video;
    std::unique_ptr<Render::RenderAudioWorker> audio;
};

void BM_PlayerShowsFrames(benchmark::State& state) {
    Bench bench;
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
    Bench bench;
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
