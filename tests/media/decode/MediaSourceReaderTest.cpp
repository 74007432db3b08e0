#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>

#include "core/TextConvert.h"
#include "media/audio/AudioBlockBuffer.h"
#include "media/image/ImageBuffer.h"
#include "media/decode/MediaSourceReader.h"
#include "media/image/PixelFormat.h"
#include "platform/mediareader/MediaReader.h"
#include "support/LogCapture.h"
#include "support/TestMediaFile.h"

using Media::MediaSourceReader;

namespace {

class MediaSourceReaderTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::random_device rd;
        dir = std::filesystem::temp_directory_path() / ("velmo-msr-" + std::to_string(rd()) + std::to_string(rd()));
        std::filesystem::create_directories(dir);
    }
    void TearDown() override { std::filesystem::remove_all(dir); }

    std::wstring make(const TestMediaFile& file) {
        const auto path = (dir / ("f" + std::to_string(count++) + ".mkv")).string();
        file.write(path);
        return System::utf8ToWide(path);
    }
    static TestMediaFile video(int frames = 10) {
        TestMediaFile f;
        f.videoFrames = frames;
        return f;
    }
    static TestMediaFile audio(double seconds, int channels = 2) {
        TestMediaFile f;
        f.audioSeconds = seconds;
        f.channels = channels;
        return f;
    }
    static double grey(const Media::ImageBuffer& image) { return image.data()[0]; }
    static double expectedGrey(int frame) { return (TestMediaFile::level(frame) - 16) * 255.0 / 219.0; }
    static float tone(int64_t frame) {
        return static_cast<float>(16000 / 32768.0 * std::sin(2 * 3.14159265358979 * 440 * frame / 8000));
    }

    std::filesystem::path dir;
    int count = 0;
};

TEST_F(MediaSourceReaderTest, OpenFailsOnMissingOrForeignFilesAndLogs) {
    std::ofstream(dir / "junk.mkv", std::ios::binary) << "plain text, no media";
    for (const char* name : {"missing.mkv", "junk.mkv"}) {
        LogCapture log;
        MediaSourceReader reader;
        EXPECT_FALSE(reader.open(System::utf8ToWide((dir / name).string()))) << name;
        ASSERT_FALSE(log.lines.empty()) << name;
        EXPECT_NE(log.lines.front().message.find("MFCreateSourceReaderFromURL"), std::string::npos) << name;
        EXPECT_NE(log.lines.front().message.find("Media::MediaSourceReader::open"), std::string::npos) << name;
        EXPECT_FALSE(reader.readVideo(0)) << name;
        EXPECT_FALSE(reader.readAudio(0)) << name;
    }
}

TEST_F(MediaSourceReaderTest, OpenReportsStreamsAndDuration) {
    TestMediaFile both = video();
    both.audioSeconds = 0.5;
    MediaSourceReader reader;
    ASSERT_TRUE(reader.open(make(both)));
    EXPECT_TRUE(reader.hasVideo);
    EXPECT_TRUE(reader.hasAudio);
    EXPECT_NEAR(static_cast<double>(reader.duration), 5000000.0, 100000.0);

    MediaSourceReader onlyAudio;
    ASSERT_TRUE(onlyAudio.open(make(audio(0.2))));
    EXPECT_FALSE(onlyAudio.hasVideo);
    EXPECT_TRUE(onlyAudio.hasAudio);
    LogCapture log;
    EXPECT_FALSE(onlyAudio.selectVideoStream());
    EXPECT_FALSE(log.lines.empty());
}

TEST_F(MediaSourceReaderTest, VideoStreamInfo) {
    MediaSourceReader reader;
    ASSERT_TRUE(reader.open(make(video())));
    ASSERT_TRUE(reader.selectVideoStream());
    const auto& info = reader.videoInfo;
    EXPECT_EQ(info.pixelFormat, Media::PixelFormat::kB8G8R8X8Unorm);
    EXPECT_EQ(info.bytesPerPixel, 4);
    EXPECT_EQ(info.width, 64u);
    EXPECT_EQ(info.height, 48u);
    EXPECT_EQ(info.pitch, 256u);
    EXPECT_EQ(info.frameRateNumerator, 30u);
    EXPECT_EQ(info.frameRateDenominator, 1u);
    EXPECT_EQ(info.frameCount, static_cast<int32_t>(30 * reader.duration / 10000000));
    EXPECT_EQ(reader.stream, Platform::mediareader::kFirstVideoStream);
}

TEST_F(MediaSourceReaderTest, SequentialFramesReadOnAndBackwardSeeks) {
    MediaSourceReader reader;
    ASSERT_TRUE(reader.open(make(video())));
    ASSERT_TRUE(reader.selectVideoStream());
    for (int i = 0; i < 10; ++i) {
        const auto image = reader.readVideo(i);
        ASSERT_TRUE(image) << i;
        EXPECT_EQ(image->format, Media::PixelFormat::kB8G8R8X8Unorm);
        EXPECT_EQ(image->pitch, 256u);
        EXPECT_NEAR(grey(*image), expectedGrey(i), 3.0) << i;
    }
    // Only the first request sought.
    EXPECT_EQ(reader.reader->seekCount(), 1);

    // The same frame again is the kept sample, not a new decode.
    const auto kept = reader.currentSample;
    ASSERT_TRUE(reader.readVideo(9));
    EXPECT_EQ(reader.currentSample, kept);
    EXPECT_EQ(reader.reader->seekCount(), 1);

    const auto first = reader.readVideo(0);
    ASSERT_TRUE(first);
    EXPECT_NEAR(grey(*first), expectedGrey(0), 3.0);
    EXPECT_EQ(reader.reader->seekCount(), 2);
    ASSERT_TRUE(reader.readVideo(1));
    EXPECT_EQ(reader.reader->seekCount(), 2);
}

TEST_F(MediaSourceReaderTest, FramesPastTheEndGiveTheLastFrame) {
    MediaSourceReader reader;
    ASSERT_TRUE(reader.open(make(video())));
    ASSERT_TRUE(reader.selectVideoStream());
    const auto image = reader.readVideo(100000);
    EXPECT_EQ(reader.lastRequest, reader.duration);
    ASSERT_TRUE(image);
    EXPECT_NEAR(grey(*image), expectedGrey(9), 3.0);
}

TEST_F(MediaSourceReaderTest, FrameTimesRoundToTheNearest100ns) {
    MediaSourceReader reader;
    TestMediaFile f = video(3);
    f.audioSeconds = 200;  // a long presentation so that no time is cut at the end
    f.sampleRate = 1000;
    ASSERT_TRUE(reader.open(make(f)));
    ASSERT_TRUE(reader.selectVideoStream());
    struct Case {
        uint32_t num, den;
        int32_t frame;
        int64_t time;
    };
    for (const Case c : {Case{30000, 1001, 1, 333667}, Case{30, 1, 3, 1000000}, Case{24000, 1001, 1, 417083},
                         Case{30000, 1001, 3000, 1001000000}, Case{30, 1, -5, 0}}) {
        reader.videoInfo.frameRateNumerator = c.num;
        reader.videoInfo.frameRateDenominator = c.den;
        reader.readVideo(c.frame);
        EXPECT_EQ(reader.lastRequest, c.time) << c.num << "/" << c.den << " " << c.frame;
    }
}

TEST_F(MediaSourceReaderTest, AudioInfoAndSeconds) {
    MediaSourceReader reader;
    ASSERT_TRUE(reader.open(make(audio(1.5))));
    ASSERT_TRUE(reader.selectAudioStream());
    const auto& info = reader.audioInfo;
    EXPECT_EQ(info.formatTag, 3);
    EXPECT_EQ(info.bitsPerSample, 32u);
    EXPECT_EQ(info.channels, 2u);
    EXPECT_EQ(info.sampleRate, 8000u);
    EXPECT_EQ(info.blockAlign, 8u);
    EXPECT_EQ(info.totalSampleFrames, 8000 * reader.duration / 10000000);

    const auto first = reader.readAudio(0);
    ASSERT_TRUE(first);
    ASSERT_EQ(first->samples, 8000);
    ASSERT_EQ(first->channels, 2);
    for (int i = 0; i < 8000; i += 97) {
        ASSERT_NEAR(first->getChannel(0)[i], tone(i), 1e-3) << i;
        ASSERT_NEAR(first->getChannel(1)[i], tone(i), 1e-3) << i;
    }
    // The last, partial second is a full second ending in silence.
    const auto last = reader.readAudio(1);
    ASSERT_TRUE(last);
    ASSERT_EQ(last->samples, 8000);
    for (int i = 0; i < 4000; i += 97) EXPECT_NEAR(last->getChannel(0)[i], tone(8000 + i), 1e-3) << i;
    for (int i = 4000; i < 8000; ++i) ASSERT_EQ(last->getChannel(0)[i], 0.0f) << i;
    EXPECT_EQ(reader.reader->seekCount(), 1);

    // Back to the start seeks and gives the same samples.
    const auto again = reader.readAudio(0);
    ASSERT_TRUE(again);
    EXPECT_EQ(reader.reader->seekCount(), 2);
    for (int i = 0; i < 8000; i += 97) ASSERT_NEAR(again->getChannel(0)[i], tone(i), 1e-3) << i;

    // Beyond the end: silence of a full second.
    const auto beyond = reader.readAudio(50);
    ASSERT_TRUE(beyond);
    ASSERT_EQ(beyond->samples, 8000);
    for (int i = 0; i < 8000; ++i) ASSERT_EQ(beyond->getChannel(0)[i], 0.0f) << i;
}

TEST_F(MediaSourceReaderTest, RepeatedAudioSecondGivesTheSameSamples) {
    // The decoder has read on to the end of the second (or of the stream) when the same second is asked again.
    MediaSourceReader reader;
    ASSERT_TRUE(reader.open(make(audio(1.5))));
    ASSERT_TRUE(reader.selectAudioStream());
    for (const int second : {1, 1, 0, 0, 1}) {
        const auto block = reader.readAudio(second);
        ASSERT_TRUE(block);
        ASSERT_EQ(block->samples, 8000);
        const int audible = second == 0 ? 8000 : 4000;
        for (int i = 0; i < audible; i += 97)
            ASSERT_NEAR(block->getChannel(0)[i], tone(8000 * second + i), 1e-3) << second << " " << i;
        for (int i = audible; i < 8000; ++i) ASSERT_EQ(block->getChannel(0)[i], 0.0f) << second << " " << i;
    }
}

// Copies `from` to `to` with the audio packets moved later by `delay` seconds.
void delayAudio(const std::string& from, const std::string& to, double delay) {
    AVFormatContext* in = nullptr;
    ASSERT_EQ(0, avformat_open_input(&in, from.c_str(), nullptr, nullptr));
    ASSERT_GE(avformat_find_stream_info(in, nullptr), 0);
    AVFormatContext* out = nullptr;
    ASSERT_GE(avformat_alloc_output_context2(&out, nullptr, "matroska", to.c_str()), 0);
    for (unsigned i = 0; i < in->nb_streams; ++i) {
        AVStream* st = avformat_new_stream(out, nullptr);
        avcodec_parameters_copy(st->codecpar, in->streams[i]->codecpar);
        st->time_base = in->streams[i]->time_base;
    }
    ASSERT_GE(avio_open(&out->pb, to.c_str(), AVIO_FLAG_WRITE), 0);
    ASSERT_GE(avformat_write_header(out, nullptr), 0);
    AVPacket* packet = av_packet_alloc();
    while (av_read_frame(in, packet) >= 0) {
        const AVStream* source = in->streams[packet->stream_index];
        if (source->codecpar->codec_type == AVMEDIA_TYPE_AUDIO) {
            const int64_t shift = std::llround(delay * source->time_base.den / source->time_base.num);
            packet->pts += shift;
            packet->dts += shift;
        }
        av_packet_rescale_ts(packet, source->time_base, out->streams[packet->stream_index]->time_base);
        ASSERT_GE(av_interleaved_write_frame(out, packet), 0);
    }
    av_packet_free(&packet);
    av_write_trailer(out);
    avio_closep(&out->pb);
    avformat_free_context(out);
    avformat_close_input(&in);
}

TEST_F(MediaSourceReaderTest, AudioStartingLateIsPrecededBySilence) {
    TestMediaFile file = audio(2);
    file.videoFrames = 75;  // 2.5 s at 30 fps, from time 0
    const std::wstring plain = make(file);
    const std::string late = (dir / "late.mkv").string();
    delayAudio(System::wideToUtf8(plain), late, 0.5);
    MediaSourceReader reader;
    ASSERT_TRUE(reader.open(System::utf8ToWide(late)));
    ASSERT_TRUE(reader.selectAudioStream());
    for (const int second : {0, 1, 2, 1}) {
        const auto block = reader.readAudio(second);
        ASSERT_TRUE(block);
        ASSERT_EQ(block->samples, 8000);
        for (int i = 0; i < 8000; i += 7) {
            const int64_t played = 8000 * second + i - 4000;  // frame of the tone heard here
            const float want = played >= 0 && played < 16000 ? tone(played) : 0.0f;
            ASSERT_NEAR(block->getChannel(0)[i], want, 1e-3) << second << " " << i;
        }
    }
    EXPECT_EQ(reader.reader->seekCount(), 2);  // the first request and the step back only
}

TEST_F(MediaSourceReaderTest, MonoAudioGivesOnePlane) {
    MediaSourceReader reader;
    ASSERT_TRUE(reader.open(make(audio(0.3, 1))));
    ASSERT_TRUE(reader.selectAudioStream());
    EXPECT_EQ(reader.audioInfo.channels, 1u);
    EXPECT_EQ(reader.audioInfo.blockAlign, 4u);
    const auto block = reader.readAudio(0);
    ASSERT_TRUE(block);
    EXPECT_EQ(block->channels, 1);
    EXPECT_EQ(block->samples, 8000);
    EXPECT_NEAR(block->getChannel(0)[100], tone(100), 1e-3);
    EXPECT_EQ(block->getChannel(0)[2400], 0.0f);
}

TEST_F(MediaSourceReaderTest, VideoOnlyFileHasNoAudioToSelect) {
    MediaSourceReader reader;
    ASSERT_TRUE(reader.open(make(video(3))));
    EXPECT_FALSE(reader.hasAudio);
    LogCapture log;
    EXPECT_FALSE(reader.selectAudioStream());
    ASSERT_FALSE(log.lines.empty());
}

}  // namespace

namespace {

// A frame shorter than the stream's info says (a size change the info has not
// caught up with) is copied as far as it goes; the rest is black.
TEST_F(MediaSourceReaderTest, ShortSampleIsNotReadPast) {
    MediaSourceReader reader;
    ASSERT_TRUE(reader.open(make(video(2))));
    ASSERT_TRUE(reader.selectVideoStream());
    reader.videoInfo.height = 96;
    const auto image = reader.readVideo(1);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->height, 96u);
    EXPECT_NEAR(image->data()[0], expectedGrey(1), 3.0);
    EXPECT_EQ(image->data()[256 * 95], 0);
}

}  // namespace

namespace {

// A video stream in a format no decoder here takes: three opaque packets.
void writeUndecodable(const std::string& path) {
    AVFormatContext* fmt = nullptr;
    ASSERT_GE(avformat_alloc_output_context2(&fmt, nullptr, "matroska", path.c_str()), 0);
    AVStream* st = avformat_new_stream(fmt, nullptr);
    st->codecpar->codec_type = AVMEDIA_TYPE_VIDEO;
    st->codecpar->codec_id = AV_CODEC_ID_AVS2;
    st->codecpar->width = 64;
    st->codecpar->height = 48;
    st->time_base = AVRational{1, 30};
    ASSERT_GE(avio_open(&fmt->pb, path.c_str(), AVIO_FLAG_WRITE), 0);
    ASSERT_GE(avformat_write_header(fmt, nullptr), 0);
    AVPacket* pkt = av_packet_alloc();
    for (int i = 0; i < 3; ++i) {
        ASSERT_GE(av_new_packet(pkt, 16), 0);
        std::memset(pkt->data, i + 1, 16);
        pkt->pts = pkt->dts = i;
        pkt->duration = 1;
        pkt->flags = AV_PKT_FLAG_KEY;
        pkt->stream_index = st->index;
        av_packet_rescale_ts(pkt, AVRational{1, 30}, st->time_base);
        ASSERT_GE(av_interleaved_write_frame(fmt, pkt), 0);
    }
    av_packet_free(&pkt);
    av_write_trailer(fmt);
    avio_closep(&fmt->pb);
    avformat_free_context(fmt);
}

TEST_F(MediaSourceReaderTest, VideoNoDecoderTakesFailsSelection) {
    const std::string path = (dir / "undecodable.mkv").string();
    writeUndecodable(path);
    if (avcodec_find_decoder(AV_CODEC_ID_AVS2) != nullptr) GTEST_SKIP() << "this FFmpeg decodes the format";
    MediaSourceReader reader;
    ASSERT_TRUE(reader.open(System::utf8ToWide(path)));
    EXPECT_TRUE(reader.hasVideo);
    LogCapture log;
    EXPECT_FALSE(reader.selectVideoStream());
    ASSERT_EQ(log.lines.size(), 1u);
    EXPECT_NE(log.lines[0].message.find("can not video decode."), std::string::npos);
    EXPECT_NE(log.lines[0].message.find("Media::MediaSourceReader::setVideoDecode"), std::string::npos);
    // The reader made again with video processing is still usable.
    EXPECT_TRUE(reader.reader);
}

}  // namespace
