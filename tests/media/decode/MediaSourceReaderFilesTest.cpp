// The reader over files as other programs write them, against the ffmpeg
// tool's decode of the same files.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "core/TextConvert.h"
#include "media/audio/AudioBlockBuffer.h"
#include "media/decode/MediaSourceReader.h"
#include "media/image/ImageBuffer.h"
#include "platform/mediareader/MediaReader.h"
#include "support/FfmpegFiles.h"

using Media::MediaSourceReader;

namespace {

// Frames of a BGRX decode, one vector per frame.
std::vector<std::vector<uint8_t>> referenceFrames(const std::string& path, size_t frameBytes,
                                                  const std::string& filters = "") {
    const auto bytes = FfmpegFiles::instance().decode(
        path, filters + " -fps_mode passthrough -sws_flags bilinear -pix_fmt bgr0 -f rawvideo");
    std::vector<std::vector<uint8_t>> frames;
    for (size_t at = 0; frameBytes > 0 && at + frameBytes <= bytes.size(); at += frameBytes)
        frames.emplace_back(bytes.begin() + static_cast<ptrdiff_t>(at),
                            bytes.begin() + static_cast<ptrdiff_t>(at + frameBytes));
    return frames;
}

// Mean absolute difference of the colour bytes of two BGRX pictures.
double difference(const uint8_t* a, const std::vector<uint8_t>& b) {
    double sum = 0;
    size_t n = 0;
    for (size_t i = 0; i < b.size(); ++i) {
        if (i % 4 == 3) continue;
        sum += std::abs(static_cast<int>(a[i]) - static_cast<int>(b[i]));
        ++n;
    }
    return n == 0 ? 0 : sum / static_cast<double>(n);
}

// Index of the reference frame near `around` the picture is closest to, and how close.
std::pair<int, double> closest(const uint8_t* picture, const std::vector<std::vector<uint8_t>>& frames, int around) {
    std::pair<int, double> best{-1, std::numeric_limits<double>::max()};
    const size_t from = static_cast<size_t>(std::max(around - 3, 0));
    for (size_t i = from; i < frames.size() && i <= static_cast<size_t>(around) + 3; ++i)
        if (const double d = difference(picture, frames[i]); d < best.second) best = {static_cast<int>(i), d};
    return best;
}

// Decoder rounding of the two conversions to BGRX.
constexpr double kSamePicture = 2.0;

std::string lavfiVideo(const std::string& rate, double seconds = 2) {
    return "-f lavfi -i testsrc2=s=96x64:r=" + rate + ":d=" + std::to_string(seconds);
}

struct VideoCase {
    const char* name;  // of the made file, its extension the container
    std::string args;
};

class MediaSourceReaderFilesTest : public ::testing::TestWithParam<VideoCase> {};

TEST_P(MediaSourceReaderFilesTest, EveryFrameIsShownOnceInOrderAtItsIndex) {
    const VideoCase& c = GetParam();
    const std::string path = FfmpegFiles::instance().make(c.name, c.args);
    ASSERT_FALSE(path.empty()) << "ffmpeg could not make " << c.name;
    MediaSourceReader reader;
    ASSERT_TRUE(reader.open(System::utf8ToWide(path)));
    ASSERT_TRUE(reader.selectVideoStream());
    const auto& info = reader.videoInfo;
    const auto frames = referenceFrames(path, static_cast<size_t>(info.pitch) * info.height);
    ASSERT_GE(frames.size(), 40u);
    ASSERT_GE(info.frameCount + 1, static_cast<int32_t>(frames.size()));
    for (int i = 0; i < static_cast<int>(frames.size()); ++i) {
        const auto image = reader.readVideo(i);
        ASSERT_TRUE(image) << c.name << " frame " << i;
        const auto [index, distance] = closest(image->data(), frames, i);
        EXPECT_EQ(index, i) << c.name;
        EXPECT_LT(distance, kSamePicture) << c.name << " frame " << i;
    }
    EXPECT_EQ(reader.reader->seekCount(), 1) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Rates, MediaSourceReaderFilesTest,
    ::testing::Values(
        VideoCase{"h264-2997.mp4", lavfiVideo("30000/1001") + " -c:v libx264 -pix_fmt yuv420p"},
        VideoCase{"h264-5994.mp4", lavfiVideo("60000/1001") + " -c:v libx264 -pix_fmt yuv420p"},
        VideoCase{"h264-60.mp4", lavfiVideo("60") + " -c:v libx264 -pix_fmt yuv420p"},
        VideoCase{"hevc-2997.mkv", lavfiVideo("30000/1001") + " -c:v libx265 -x265-params log-level=none"},
        // Interlaced 1080i-style: fields at 59.94, frames at 29.97.
        VideoCase{"mpeg2-2997i.mpg",
                  lavfiVideo("30000/1001") + " -c:v mpeg2video -flags +ilme+ildct -top 1 -g 15 -bf 2 -q:v 2"},
        // The container starts with the audio, a few milliseconds before the video.
        VideoCase{"vp9-opus-2997.webm", lavfiVideo("30000/1001") +
                                            " -f lavfi -i sine=r=48000:d=2 -c:v libvpx-vp9 -deadline realtime"
                                            " -c:a libopus"},
        VideoCase{"vp8-vorbis-25.mkv", lavfiVideo("25") + " -f lavfi -i sine=r=44100:d=2 -c:v libvpx -c:a libvorbis"},
        VideoCase{"mpeg2-mp2-2997.mpg", lavfiVideo("30000/1001") + " -f lavfi -i sine=r=48000:d=2 -c:v mpeg2video"
                                                                   " -q:v 2 -c:a mp2"}),
    [](const ::testing::TestParamInfo<VideoCase>& info) {
        std::string name = info.param.name;
        std::replace_if(
            name.begin(), name.end(), [](char ch) { return !std::isalnum(static_cast<unsigned char>(ch)); }, '_');
        return name;
    });

TEST(MediaSourceReaderFiles, VariableFrameRateShowsTheFrameDueAtEachIndex) {
    // 60 frames a second with every fifth left out: 48 a second on average. The frame
    // due at a time is the latest to start by it, to the nearest frame.
    const std::string path =
        FfmpegFiles::instance().make("vfr.mkv", lavfiVideo("60") +
                                                    " -vf select='not(eq(mod(n\\,5)\\,1))' -fps_mode vfr -c:v libx264");
    ASSERT_FALSE(path.empty());
    MediaSourceReader reader;
    ASSERT_TRUE(reader.open(System::utf8ToWide(path)));
    ASSERT_TRUE(reader.selectVideoStream());
    const auto& info = reader.videoInfo;
    const std::string rate = std::to_string(info.frameRateNumerator) + "/" + std::to_string(info.frameRateDenominator);
    const auto due = referenceFrames(path, static_cast<size_t>(info.pitch) * info.height, "-vf fps=" + rate);
    ASSERT_GE(due.size(), 80u);
    int wrong = 0;
    for (int i = 0; i + 1 < static_cast<int>(due.size()); ++i) {
        const auto image = reader.readVideo(i);
        ASSERT_TRUE(image) << i;
        if (difference(image->data(), due[i]) >= kSamePicture) ++wrong;
    }
    EXPECT_EQ(wrong, 0);
}

TEST(MediaSourceReaderFiles, RotatedVideoComesUpright) {
    struct Case {
        const char* name;
        const char* codec;
        int degrees;
    };
    const Case cases[] = {
        {"turn90.mp4", "-c:v libx264 -pix_fmt yuv420p", 90},
        {"turn180.mp4", "-c:v libx264 -pix_fmt yuv420p", 180},
        {"turn270.mp4", "-c:v libx264 -pix_fmt yuv420p", 270},
        // 4:2:2 chroma does not turn as it is stored.
        {"turn90.mov", "-c:v mjpeg -pix_fmt yuvj422p -q:v 2", 90},
        // Packed RGB turns pixel by pixel; a palette is widened to planes first.
        {"turn270-rgb.mov", "-c:v png -pix_fmt rgb24", 270},
        {"turn90-palette.mov", "-c:v png -pix_fmt pal8", 90},
    };
    for (const Case& c : cases) {
        auto& files = FfmpegFiles::instance();
        const std::string plain = files.make(std::string("plain-") + c.name, lavfiVideo("25", 0.4) + " " + c.codec);
        ASSERT_FALSE(plain.empty()) << c.name;
        const std::string path =
            files.make(c.name, "-i '" + plain + "' -c copy -metadata:s:v:0 rotate=" + std::to_string(c.degrees));
        ASSERT_FALSE(path.empty()) << c.name;
        MediaSourceReader reader;
        ASSERT_TRUE(reader.open(System::utf8ToWide(path)));
        ASSERT_TRUE(reader.selectVideoStream());
        const bool across = c.degrees != 180;
        EXPECT_EQ(reader.videoInfo.width, across ? 64u : 96u) << c.name;
        EXPECT_EQ(reader.videoInfo.height, across ? 96u : 64u) << c.name;
        EXPECT_EQ(reader.videoInfo.pitch, reader.videoInfo.width * 4) << c.name;
        // The tool turns what it decodes as players show it.
        const auto frames =
            referenceFrames(path, static_cast<size_t>(reader.videoInfo.pitch) * reader.videoInfo.height);
        ASSERT_GE(frames.size(), 5u) << c.name;
        for (int i : {0, 3}) {
            const auto image = reader.readVideo(i);
            ASSERT_TRUE(image) << c.name;
            EXPECT_LT(difference(image->data(), frames[i]), kSamePicture) << c.name << " frame " << i;
        }
    }
}

TEST(MediaSourceReaderFiles, ProgramStreamSeeksBackToTheAskedFrame) {
    const std::string path = FfmpegFiles::instance().make(
        "scrub.mpg", lavfiVideo("25", 6) + " -f lavfi -i sine=r=48000:d=6 -c:v mpeg2video -g 12 -bf 2 -q:v 2 -c:a mp2");
    ASSERT_FALSE(path.empty());
    MediaSourceReader reader;
    ASSERT_TRUE(reader.open(System::utf8ToWide(path)));
    ASSERT_TRUE(reader.selectVideoStream());
    const auto frames = referenceFrames(path, static_cast<size_t>(reader.videoInfo.pitch) * reader.videoInfo.height);
    ASSERT_GE(frames.size(), 140u);
    ASSERT_TRUE(reader.readVideo(140));
    for (const int frame : {120, 97, 60, 61, 13, 130, 2, 0, 80}) {
        const auto image = reader.readVideo(frame);
        ASSERT_TRUE(image) << frame;
        const auto [index, distance] = closest(image->data(), frames, frame);
        EXPECT_EQ(index, frame);
        EXPECT_LT(distance, kSamePicture) << frame;
    }
}

// Audio: one channel of a rising tone, so that a misplaced block cannot match.
struct AudioCase {
    const char* name;
    const char* codec;
    int rate;
    float tolerance;  // a block after a seek against the same block read from the start
};

// The worst difference of `block` from `reference`.
float worstDifference(const float* block, const float* reference, int count) {
    float worst = 0;
    for (int i = 0; i < count; ++i) worst = std::max(worst, std::abs(block[i] - reference[i]));
    return worst;
}

class MediaSourceReaderAudioFilesTest : public ::testing::TestWithParam<AudioCase> {
protected:
    static std::string make(const AudioCase& c) {
        return FfmpegFiles::instance().make(c.name, "-f lavfi -i aevalsrc='0.5*sin(2*PI*(200+300*t)*t)':s=" +
                                                        std::to_string(c.rate) + ":d=3.5 " + c.codec);
    }
    static std::vector<float> reference(const std::string& path) {
        const auto bytes = FfmpegFiles::instance().decode(path, "-ac 1 -f f32le");
        std::vector<float> samples(bytes.size() / 4);
        if (!samples.empty()) std::memcpy(samples.data(), bytes.data(), samples.size() * 4);
        return samples;
    }
};

TEST_P(MediaSourceReaderAudioFilesTest, BlocksLandOnTheirTimeFromTheStartAndAfterSeeks) {
    const AudioCase& c = GetParam();
    const std::string path = make(c);
    ASSERT_FALSE(path.empty()) << c.name;
    const std::vector<float> decoded = reference(path);
    ASSERT_GT(decoded.size(), static_cast<size_t>(3 * c.rate)) << c.name;

    MediaSourceReader inOrder;
    ASSERT_TRUE(inOrder.open(System::utf8ToWide(path)));
    ASSERT_TRUE(inOrder.selectAudioStream());
    ASSERT_EQ(inOrder.audioInfo.sampleRate, static_cast<uint32_t>(c.rate));
    ASSERT_EQ(inOrder.audioInfo.channels, 1u);
    std::vector<std::shared_ptr<Media::AudioBlockBuffer>> blocks;
    for (int second = 0; second < 4; ++second) blocks.push_back(inOrder.readAudio(second));
    EXPECT_EQ(inOrder.reader->seekCount(), 1);

    // Read from the start, every block is the tool's decode at its place.
    for (int second = 0; second < 4; ++second) {
        ASSERT_TRUE(blocks[second]);
        ASSERT_EQ(blocks[second]->samples, c.rate);
        const float* got = blocks[second]->getChannel(0);
        int off = 0;
        for (int i = 0; i < c.rate; ++i) {
            const size_t at = static_cast<size_t>(second) * c.rate + i;
            const float want = at < decoded.size() ? decoded[at] : 0.0f;
            if (std::abs(got[i] - want) > 1e-5f && off++ < 3)
                ADD_FAILURE() << c.name << " second " << second << " sample " << i << ": " << got[i] << " vs " << want;
        }
    }

    // Blocks read after seeks, backwards and forwards, equal those read in order.
    MediaSourceReader jumping;
    ASSERT_TRUE(jumping.open(System::utf8ToWide(path)));
    ASSERT_TRUE(jumping.selectAudioStream());
    for (const int second : {2, 1, 3, 0, 2}) {
        const auto block = jumping.readAudio(second);
        ASSERT_TRUE(block);
        EXPECT_LE(worstDifference(block->getChannel(0), blocks[second]->getChannel(0), c.rate), c.tolerance)
            << c.name << " second " << second;
    }
}

INSTANTIATE_TEST_SUITE_P(Codecs, MediaSourceReaderAudioFilesTest,
                         ::testing::Values(AudioCase{"tone.mp3", "-c:a libmp3lame -b:a 64k", 44100, 1e-5f},
                                           // Noise substitution draws from a generator a seek does not put back.
                                           AudioCase{"tone.m4a", "-c:a aac -aac_pns 0 -b:a 64k", 44100, 1e-5f},
                                           // Opus settles over its pre-roll rather than exactly.
                                           AudioCase{"tone.opus", "-c:a libopus -b:a 48k", 48000, 2e-3f},
                                           AudioCase{"tone.ogg", "-c:a libvorbis -q:a 3", 44100, 1e-5f},
                                           // Matroska stamps its blocks to the millisecond.
                                           AudioCase{"tone.webm", "-c:a libopus -b:a 48k", 48000, 2e-3f},
                                           AudioCase{"tone.mka", "-c:a libvorbis -q:a 3", 44100, 1e-5f},
                                           // The 16-bit decoder dithers: one step either way.
                                           AudioCase{"tone-mp2.mpg", "-c:a mp2 -b:a 128k", 48000, 4e-5f},
                                           AudioCase{"tone.flac", "-c:a flac", 44100, 1e-5f}),
                         [](const ::testing::TestParamInfo<AudioCase>& info) {
                             std::string name = info.param.name;
                             std::replace(name.begin(), name.end(), '.', '_');
                             std::replace(name.begin(), name.end(), '-', '_');
                             return name;
                         });

}  // namespace
