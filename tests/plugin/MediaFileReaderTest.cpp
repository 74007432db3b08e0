#include <gtest/gtest.h>

#include <cstring>

#include "core/ServiceHolder.h"
#include "core/TextConvert.h"
#include "media/audio/AudioBlockBuffer.h"
#include "media/image/ImageBuffer.h"
#include "media/image/ImageService.h"
#include "plugin/GeneratedMedia.h"
#include "plugin/InputCacheSource.h"
#include "plugin/InputFile.h"
#include "plugin/InputService.h"
#include "plugin/MediaFileReader.h"
#include "render/cache/CacheService.h"

namespace {

std::wstring movie() {
    static const std::string path = GeneratedMedia::instance().make(
        "both.mp4",
        "-f lavfi -i testsrc2=s=96x64:r=30:d=3 -f lavfi -i sine=frequency=300:sample_rate=8000:duration=3 "
        "-c:v libx264 -g 15 -pix_fmt yuv420p -c:a aac -shortest");
    return System::utf8ToWide(path);
}

bool sameImage(const Media::ImageBuffer& a, const Media::ImageBuffer& b) {
    return a.width == b.width && a.height == b.height && a.pitch == b.pitch &&
           std::memcmp(a.data(), b.data(), a.usedSize()) == 0;
}

bool sameBlock(const Media::AudioBlockBuffer& a, const Media::AudioBlockBuffer& b) {
    if (a.samples != b.samples || a.channels != b.channels) return false;
    for (int32_t c = 0; c < a.channels; ++c)
        if (std::memcmp(a.getChannel(c), b.getChannel(c), sizeof(float) * a.samples) != 0) return false;
    return true;
}

TEST(MediaFileReaderTest, VideoAndAudioReadersNeverDisturbEachOther) {
    ASSERT_FALSE(movie().empty());
    Plugin::MediaFileReader reader;
    const auto separateVideo = reader.open(movie());
    const auto separateAudio = reader.open(movie());
    const auto both = reader.open(movie());
    ASSERT_TRUE(separateVideo && separateAudio && both);
    EXPECT_EQ(both->info.flags, 3);
    EXPECT_EQ(both->info.sampleRate, 8000);
    const auto* media = static_cast<Plugin::MediaFileReader::InputMediaFile*>(both.get());
    EXPECT_TRUE(media->videoReader && media->audioReader);
    // The same reads in the same order, apart and interleaved.
    const int32_t frames[] = {70, 12, 70};
    const int32_t blocks[] = {1, 0, 1};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        const auto frame = separateVideo->readVideo(frames[i]);
        const auto block = separateAudio->readAudio(blocks[i]);
        const auto f = both->readVideo(frames[i]);
        const auto b = both->readAudio(blocks[i]);
        ASSERT_TRUE(frame && block && f && b);
        EXPECT_TRUE(sameImage(*f, *frame));
        EXPECT_TRUE(sameBlock(*b, *block));
    }
}

TEST(MediaFileReaderTest, AudioShorterThanABlockEndsInSilence) {
    const std::string wav =
        GeneratedMedia::instance().make("short.wav",
                                        "-f lavfi -i sine=frequency=500:sample_rate=8000:duration=0.25 -ac 1");
    ASSERT_FALSE(wav.empty());
    Plugin::MediaFileReader reader;
    const auto file = reader.open(System::utf8ToWide(wav));
    ASSERT_TRUE(file);
    EXPECT_EQ(file->info.flags, 2);
    const auto block = file->readAudio(0);
    ASSERT_TRUE(block);
    ASSERT_EQ(block->samples, 8000);
    const float* samples = block->getChannel(0);
    float loudest = 0;
    for (int i = 0; i < 1000; ++i) loudest = std::max(loudest, std::abs(samples[i]));
    EXPECT_GT(loudest, 0.1f);
    for (int i = 2100; i < 8000; ++i) ASSERT_EQ(samples[i], 0.0f) << i;
    EXPECT_FALSE(file->readVideo(0));
}

TEST(MediaFileReaderTest, CachesReadMovieFramesAndSoundThroughTheInputService) {
    System::ServiceHolder<Media::ImageService> images;
    System::ServiceHolder<Plugin::InputService> input;
    Plugin::InputCacheSource source(*input.get());
    System::ServiceHolder<Cache::CacheService> caches;
    caches.get()->setMediaInput(&source);
    Plugin::MediaFileReader reader;
    const auto direct = reader.open(movie());
    ASSERT_TRUE(direct);
    struct Case {
        double seconds;
        int32_t frame;
    };
    for (const Case c : {Case{0.0, 0}, Case{1.0, 30}, Case{99.0, direct->info.frameCount - 1}}) {
        SCOPED_TRACE(c.seconds);
        caches.get()->imageCache.preloadMovieFrame(movie(), c.seconds);
        const auto cached = caches.get()->imageCache.getMovieFrame(movie(), c.seconds);
        const auto expected = direct->readVideo(c.frame);
        ASSERT_TRUE(cached && expected);
        EXPECT_TRUE(sameImage(*cached, *expected));
    }
    const auto sound = caches.get()->audioCache.getAudio(movie(), {8000, 8000}, 100, 0.0, 1.0);
    const auto block = direct->readAudio(1);
    ASSERT_TRUE(sound && block);
    for (int i = 0; i < 100; ++i) EXPECT_FLOAT_EQ(sound->getChannel(0)[i], block->getChannel(0)[i]) << i;
    caches.get()->setMediaInput(nullptr);
}

}  // namespace
