#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <mutex>
#include <vector>

#include "core/EventService.h"
#include "core/ServiceHolder.h"
#include "edit/Scene.h"
#include "media/audio/AudioBlockBuffer.h"
#include "media/audio/RawAudioBuffer.h"
#include "media/image/ImageBuffer.h"
#include "media/image/PixelFormat.h"
#include "render/cache/CacheService.h"
#include "render/cache/MediaInput.h"
#include "render/cache/ScenePath.h"
#include "render/cache/SceneSource.h"

namespace {

// Media made up by the test: a movie of frameCount frames at rate/scale whose
// frame images are 1 × 1 and remember their number in the pixel, and sound
// whose media sample n has the value n (right channel: −n).
struct ScriptedMediaInput : Cache::MediaInput {
    VideoTiming timing{10, 30, 1};
    int32_t sampleRate = 8;
    int32_t channels = 2;
    int32_t blocks = 100;      // blocks past this one are missing
    int32_t blockSamples = 0;  // samples a block holds; 0: the sample rate
    std::mutex mutex;
    std::vector<int32_t> framesRead;
    std::vector<int32_t> blocksRead;

    bool getVideoTiming(const std::wstring& path, VideoTiming& out) override {
        if (path == L"missing.mp4") return false;
        out = timing;
        return true;
    }
    std::shared_ptr<Media::ImageBuffer> readVideo(const std::wstring&, int32_t frame) override {
        std::lock_guard lock(mutex);
        framesRead.push_back(frame);
        auto image = Media::ImageBuffer::make(Media::PixelFormat::kR8G8B8A8Unorm, 1, 1);
        image->create(1, 1, 0);
        return image;
    }
    int32_t getAudioSampleRate(const std::wstring& path) override { return path == L"silent.mp4" ? 0 : sampleRate; }
    std::shared_ptr<Media::AudioBlockBuffer> readAudio(const std::wstring&, int32_t block) override {
        {
            std::lock_guard lock(mutex);
            blocksRead.push_back(block);
        }
        if (block < 0 || block >= blocks) return nullptr;
        Media::RawAudioBuffer raw;
        raw.formatTag = Media::RawAudioBuffer::kFormatIeeeFloat;
        raw.bitsPerSample = 32;
        raw.channels = channels;
        raw.blockAlign = 4 * channels;
        const int32_t count = blockSamples > 0 ? blockSamples : sampleRate;
        raw.sampleCount = count;
        raw.data.allocMemory(static_cast<uint32_t>(raw.blockAlign * count));
        auto* samples = reinterpret_cast<float*>(raw.data.data());
        for (int32_t i = 0; i < count; ++i) {
            const auto n = static_cast<float>(block * sampleRate + i);
            samples[i * channels] = n;
            if (channels == 2) samples[i * channels + 1] = -n;
        }
        return std::make_shared<Media::AudioBlockBuffer>(raw);
    }
};

// Scenes drawn at once on the calling thread, each request counted.
struct ScriptedScenes : Cache::SceneSource {
    std::shared_ptr<Edit::Scene> scene = std::make_shared<Edit::Scene>(1, 0);
    int frameRequests = 0;
    std::shared_ptr<Edit::Scene> findScene(int32_t id) override { return id == 1 ? scene : nullptr; }
    void renderSceneFrame(const std::shared_ptr<Edit::Scene>&, int32_t, FrameDone done) override {
        ++frameRequests;
        auto image = Media::ImageBuffer::make(Media::PixelFormat::kR8G8B8A8Unorm, 4, 4);
        image->create(4, 4, 0);
        done(image);
    }
    void createSceneAudioBlock(const std::shared_ptr<Edit::Scene>&, int32_t, BlockDone done) override { done(nullptr); }
};

class MediaCacheTest : public testing::Test {
protected:
    MediaCacheTest() {
        service.get()->setMediaInput(&media);
        service.get()->setSceneSource(&scenes);
    }
    Cache::ImageCache& images() { return service.get()->imageCache; }
    Cache::AudioCache& audio() { return service.get()->audioCache; }

    ScriptedMediaInput media;
    ScriptedScenes scenes;
    System::ServiceHolder<Event::EventService> events;
    System::ServiceHolder<Cache::CacheService> service;
};

TEST_F(MediaCacheTest, MovieTimesRoundToTheNearestFrameAndClampToTheFile) {
    struct Case {
        const char* name;
        int32_t frameCount;
        double seconds;
        int32_t frame;
    };
    const Case cases[] = {
        {"on a frame", 10, 3.0 / 30, 3},
        {"half a frame rounds up", 10, 2.5 / 30, 3},
        {"just below half rounds down", 10, 2.49 / 30, 2},
        {"past the end", 10, 100.0, 9},
        {"before the start", 10, -1.0, 0},
        {"no frames at all", 0, 0.0, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        media.timing.frameCount = c.frameCount;
        media.framesRead.clear();
        images().store().clear();
        EXPECT_TRUE(images().getMovieFrame(L"clip.mp4", c.seconds));
        ASSERT_EQ(media.framesRead.size(), 1u);
        EXPECT_EQ(media.framesRead[0], c.frame);
    }
    EXPECT_FALSE(images().getMovieFrame(L"missing.mp4", 0.0));
}

TEST_F(MediaCacheTest, AFileAskedForFrameAfterFrameHasItsNextFrameReadAhead) {
    struct Case {
        const char* name;
        std::vector<int32_t> asked;  // file frames preloaded in this order
        std::vector<int32_t> read;   // every frame the file was read at, sorted
    };
    const Case cases[] = {
        {"the first frame alone", {0}, {0}},
        {"frame after frame", {0, 1, 2}, {0, 1, 2, 3}},
        {"a frame asked again", {3, 3, 4, 4}, {3, 4, 5}},
        {"a jump", {0, 5}, {0, 5}},
        {"backwards", {5, 4, 3}, {3, 4, 5}},
        {"nothing after the last frame", {8, 9}, {8, 9}},
    };
    int clip = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::wstring path = L"clip" + std::to_wstring(++clip) + L".mp4";
        media.framesRead.clear();
        for (const int32_t frame : c.asked) images().preloadMovieFrame(path, frame / 30.0);
        images().store().clear();  // runs every queued load first
        std::vector<int32_t> read = media.framesRead;
        std::sort(read.begin(), read.end());
        EXPECT_EQ(c.read, read);
    }
}

TEST_F(MediaCacheTest, AFileReadFrameAfterFrameKeepsOnlyTheFramesJustBehind) {
    struct Case {
        const char* name;
        std::vector<int32_t> asked;   // file frames preloaded and then read, in this order
        std::vector<int32_t> cached;  // the frames left in the cache, sorted
    };
    constexpr int32_t kBehind = Cache::ImageCache::kFramesKeptBehind;
    std::vector<int32_t> all, lastFew;
    for (int32_t frame = 0; frame < 10; ++frame) all.push_back(frame);
    for (int32_t frame = 9 - kBehind; frame < 10; ++frame) lastFew.push_back(frame);
    const Case cases[] = {
        {"frame after frame", all, lastFew},
        {"a jump keeps the frame it left", {0, 5}, {0, 5}},
        {"backwards keeps every frame", {5, 4, 3}, {3, 4, 5}},
    };
    int clip = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::wstring path = L"kept" + std::to_wstring(++clip) + L".mp4";
        for (const int32_t frame : c.asked) {
            images().preloadMovieFrame(path, frame / 30.0);
            EXPECT_TRUE(images().getMovieFrame(path, frame / 30.0));
        }
        std::vector<int32_t> cached;
        for (int32_t frame = 0; frame < 10; ++frame)
            if (images().store().isCached(Cache::ImageCacheKey{path, frame})) cached.push_back(frame);
        EXPECT_EQ(c.cached, cached);
    }
}

TEST_F(MediaCacheTest, SceneFrameEvictedBetweenPreloadAndReadIsAskedForAgain) {
    images().setByteLimit(0);  // every drawn frame is dropped at once
    const std::wstring path = Cache::makeScenePath(1);
    images().preloadMovieFrame(path, 0.0);
    EXPECT_EQ(scenes.frameRequests, 1);
    // Evicted before the object reads it: the read returns nothing instead of waiting.
    EXPECT_FALSE(images().getMovieFrame(path, 0.0));
    images().preloadMovieFrame(path, 0.0);
    EXPECT_EQ(scenes.frameRequests, 2);
    images().setByteLimit(1 << 20);
    images().preloadMovieFrame(path, 1.0);
    EXPECT_TRUE(images().getMovieFrame(path, 1.0));
}

TEST_F(MediaCacheTest, ScenePathsWithoutASceneGiveNothing) {
    for (const wchar_t* path : {L"*", L"*0", L"*x", L"*7"}) {
        images().preloadMovieFrame(path, 0.0);
        EXPECT_FALSE(images().getMovieFrame(path, 0.0));
        EXPECT_FALSE(audio().getAudio(path, {0, 8}, 4, 0.0, 1.0));
    }
    EXPECT_EQ(scenes.frameRequests, 0);
}

TEST_F(MediaCacheTest, ASceneChangeDropsExactlyThatScenesEntries) {
    auto image = Media::ImageBuffer::make(Media::PixelFormat::kR8G8B8A8Unorm, 1, 1);
    image->create(1, 1, 0);
    const Cache::ImageCacheKey keys[] = {{L"*1", 0}, {L"*1", 9}, {L"*11", 0}, {L"clip.mp4", 0}};
    for (const auto& key : keys) images().store().complete(key, image, 32);
    events.get()->sceneListeners.call(1);
    EXPECT_FALSE(images().store().isCached(keys[0]));
    EXPECT_FALSE(images().store().isCached(keys[1]));
    EXPECT_TRUE(images().store().isCached(keys[2]));
    EXPECT_TRUE(images().store().isCached(keys[3]));
}

// Values of the left channel of getAudio for sample position 5 onward.
struct AudioCase {
    const char* name;
    int64_t sample;
    double offset, speed;
    int32_t channels;
    std::vector<float> left;
};

TEST_F(MediaCacheTest, GetAudioAveragesTheMediaSamplesEachOutputSampleCovers) {
    const AudioCase cases[] = {
        {"speed 1 crosses blocks seamlessly", 5, 0.0, 1.0, 2, {5, 6, 7, 8, 9, 10}},
        {"speed 2 means two samples", 2, 0.0, 2.0, 2, {4.5f, 6.5f, 8.5f, 10.5f}},
        {"speed -1 reverses speed 1", 5, 0.0, -1.0, 2, {10, 9, 8, 7, 6, 5}},
        {"an offset before the start starts at 0", 2, -1.0, 1.0, 2, {0, 1, 2}},
        {"an offset of half a second", 0, 0.5, 1.0, 2, {4, 5, 6}},
        {"mono fills both channels", 6, 0.0, 1.0, 1, {6, 7, 8}},
    };
    for (const AudioCase& c : cases) {
        SCOPED_TRACE(c.name);
        media.channels = c.channels;
        audio().store().clear();
        const auto count = static_cast<int32_t>(c.left.size());
        const auto out = audio().getAudio(L"tone.wav", {c.sample, 8}, count, c.offset, c.speed);
        ASSERT_TRUE(out);
        for (int32_t j = 0; j < count; ++j) {
            EXPECT_FLOAT_EQ(out->getChannel(0)[j], c.left[j]) << j;
            EXPECT_FLOAT_EQ(out->getChannel(1)[j], c.channels == 1 ? c.left[j] : -c.left[j]) << j;
        }
    }
}

TEST_F(MediaCacheTest, GetAudioAtAnotherRateWeighsPartlyCoveredSamples) {
    // Output at 16 per second from media at 8: each output sample covers half a media sample.
    const auto out = audio().getAudio(L"tone.wav", {4, 16}, 4, 0.0, 1.0);
    ASSERT_TRUE(out);
    const float expected[] = {2, 2, 3, 3};
    for (int j = 0; j < 4; ++j) EXPECT_FLOAT_EQ(out->getChannel(0)[j], expected[j]) << j;
}

TEST_F(MediaCacheTest, GetAudioEndsWithSilenceWhereBlocksAreMissing) {
    media.blocks = 1;  // samples 0..7 only
    struct Case {
        const char* name;
        double speed;
        std::vector<float> left;
    };
    // The last sample of the only block is read in full and kept.
    const Case cases[] = {{"forward", 1.0, {6, 7, 0, 0}}, {"reversed", -1.0, {7, 6, 0, 0}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto out = audio().getAudio(L"tone.wav", {6, 8}, 4, 0.0, c.speed);
        ASSERT_TRUE(out);
        for (int j = 0; j < 4; ++j) EXPECT_FLOAT_EQ(out->getChannel(0)[j], c.left[j]) << j;
    }
    EXPECT_FALSE(audio().getAudio(L"silent.mp4", {0, 8}, 4, 0.0, 1.0));
}

TEST_F(MediaCacheTest, BlocksShorterThanASecondAreNeverReadPastTheirEnd) {
    media.blockSamples = 4;  // a reader breaking the one-second contract
    const auto out = audio().getAudio(L"tone.wav", {0, 8}, 8, 0.0, 1.0);
    ASSERT_TRUE(out);
    for (int j = 0; j < 8; ++j) EXPECT_EQ(out->getChannel(0)[j], 0.0f) << j;
}

TEST(MediaCacheLifetimeTest, SceneChangesAfterTheCachesAreGoneReachNothing) {
    System::ServiceHolder<Event::EventService> events;
    {
        System::ServiceHolder<Cache::CacheService> caches;
        EXPECT_EQ(events.get()->sceneListeners.size(), 2u);
    }
    events.get()->sceneListeners.call(1);  // the listeners stay and must not touch the caches
}

TEST_F(MediaCacheTest, PreloadCoversEveryBlockGetAudioReads) {
    // Samples 4..15 end exactly on the boundary of block 1; block 2 is included as well.
    audio().preloadAudio(L"tone.wav", {4, 8}, 12, 0.0, 1.0);
    audio().store().clear();  // waits for the queued loads
    EXPECT_EQ(media.blocksRead, (std::vector<int32_t>{0, 1, 2}));
}

TEST(AudioLocateTest, SplitsThePositionIntoBlockSampleAndFraction) {
    struct Case {
        int64_t sample, positionRate, mediaRate;
        double offset, speed;
        Cache::AudioCache::AudioPosition expected;
    };
    const Case cases[] = {
        {48000, 48000, 48000, 0.0, 1.0, {1, 0, 0, 48000, 48000, 48000}},
        {1, 48000, 44100, 0.0, 1.0, {0, 0, 44100, 48000, 44100, 44100}},
        {100, 48000, 48000, 0.0, -0.5, {0, 50, 0, 48000, 48000, 24000}},
        {10, 48000, 48000, -1.0, 1.0, {0, 0, 0, 48000, 48000, 48000}},
    };
    for (const Case& c : cases) {
        const auto p = Cache::AudioCache::locate(c.sample, c.positionRate, c.mediaRate, c.offset, c.speed);
        EXPECT_EQ(p.block, c.expected.block);
        EXPECT_EQ(p.sampleInBlock, c.expected.sampleInBlock);
        EXPECT_EQ(p.fraction, c.expected.fraction);
        EXPECT_EQ(p.step, c.expected.step);
    }
}

}  // namespace
