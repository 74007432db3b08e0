// The export job's range and its audio: spans of per-frame blocks, cut at
// the end of the scene, with silence where a block could not be rendered.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "media/audio/RawAudioBuffer.h"
#include "plugin/OutputFile.h"
#include "plugin/avi/AviFixture.h"

namespace {

class Job : public Plugin::OutputFile {
public:
    using OutputFile::OutputFile;
    bool save() override { return true; }
};

Plugin::ExportScene makeScene(uint32_t rate, uint32_t scale, int32_t lastFrame, int32_t start = -1, int32_t end = -1) {
    Plugin::ExportScene scene;
    scene.rate = rate;
    scene.scale = scale;
    scene.audioRate = 48000;
    scene.lastFrame = lastFrame;
    scene.selectionStart = start;
    scene.selectionEnd = end;
    return scene;
}

int16_t left(const Media::RawAudioBuffer& out, int64_t i) {
    int16_t v;
    std::memcpy(&v, out.data.data() + i * 4, 2);
    return v;
}

TEST(OutputFile, RangeComesFromTheSelectionCutAtTheLastFrame) {
    struct Case {
        const char* name;
        int32_t lastFrame, selectionStart, selectionEnd;
        int32_t start, count;
        int64_t audioStart, audioCount;
    } cases[] = {
        {"no selection: the whole scene", 99, -1, -1, 0, 100, 0, 160000},
        {"one end unset: the whole scene", 99, 5, -1, 0, 100, 0, 160000},
        {"inside the scene", 99, 10, 19, 10, 10, 16000, 16000},
        {"past the end: cut at the last frame", 99, 90, 150, 90, 10, 144000, 16000},
        {"starting past the end: the last frame only", 99, 120, 150, 99, 1, 158400, 1600},
        {"end before start: nothing", 99, 20, 10, 20, 0, 32000, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Job job(L"out", false, makeScene(30, 1, c.lastFrame, c.selectionStart, c.selectionEnd), nullptr);
        EXPECT_EQ(job.startFrame, c.start);
        EXPECT_EQ(job.frameCount, c.count);
        EXPECT_EQ(job.audioStart, c.audioStart);
        EXPECT_EQ(job.audioCount, c.audioCount);
    }
}

TEST(OutputFile, BlocksAtNtscRatesRunInFivesOf8008Samples) {
    Job job(L"out", false, makeScene(30000, 1001, 100), nullptr);
    std::vector<int64_t> lengths;
    for (int64_t f = 0; f < 10; ++f) lengths.push_back(job.frameFirstSample(f + 1) - job.frameFirstSample(f));
    EXPECT_EQ(lengths, (std::vector<int64_t>{1602, 1601, 1602, 1601, 1602, 1602, 1601, 1602, 1601, 1602}));
    EXPECT_EQ(job.frameFirstSample(5), 8008);
    Job whole(L"out", false, makeScene(30, 1, 100), nullptr);
    EXPECT_EQ(whole.frameFirstSample(10), 16000);
}

// Spans read through getAudio against the samples the source generates.
TEST(OutputFile, AudioSpansAreSeamlessAcrossBlocksAndShortAtTheEnd) {
    struct Case {
        const char* name;
        uint32_t rate, scale;
        int64_t start;
        uint32_t count;
        uint32_t expected;
    } cases[] = {
        {"within one block", 30, 1, 100, 500, 500},
        {"across a border", 30, 1, 1500, 300, 300},
        {"across several NTSC blocks", 30000, 1001, 1000, 6000, 6000},
        {"past the last frame: fewer samples", 30, 1, 15000, 5000, 1000},  // frames 0..9 hold 16000
        {"starting past the end: none", 30, 1, 17000, 100, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        AviTest::TestSource source(c.rate, c.scale, 48000);
        Job job(L"out", false, makeScene(c.rate, c.scale, 9), &source);
        Media::RawAudioBuffer out;
        job.getAudio(out, c.start, c.count, 1);
        ASSERT_EQ(out.sampleCount, static_cast<int32_t>(c.expected));
        EXPECT_EQ(out.blockAlign, 4);
        EXPECT_EQ(out.channels, 2);
        for (uint32_t i = 0; i < c.expected; ++i)
            ASSERT_EQ(left(out, i), AviTest::sample(c.start + i, 0)) << "sample " << i;
    }
}

TEST(OutputFile, AMissingBlockBecomesSilenceAndTheSpanGoesOn) {
    AviTest::TestSource source(30, 1, 48000);
    source.failAudio = {1};
    Job job(L"out", false, makeScene(30, 1, 99), &source);
    Media::RawAudioBuffer out;
    job.getAudio(out, 1000, 2000, 1);  // frame 0 from 1000, frame 1 whole, frame 2 up to 3000
    ASSERT_EQ(out.sampleCount, 2000);
    EXPECT_EQ(left(out, 599), AviTest::sample(1599, 0));
    for (int64_t i = 600; i < 2000; ++i) ASSERT_EQ(left(out, i), 0) << "sample " << i;
    Media::RawAudioBuffer after;
    job.getAudio(after, 3200, 100, 1);
    EXPECT_EQ(left(after, 0), AviTest::sample(3200, 0));
}

TEST(OutputFile, FloatSpansUseEightBytesASampleFrame) {
    AviTest::TestSource source(30, 1, 48000);
    Job job(L"out", false, makeScene(30, 1, 9), &source);
    Media::RawAudioBuffer out;
    job.getAudio(out, 1590, 20, 3);
    ASSERT_EQ(out.sampleCount, 20);
    EXPECT_EQ(out.blockAlign, 8);
    EXPECT_EQ(out.bitsPerSample, 32);
    float v;
    std::memcpy(&v, out.data.data() + 15 * 8, 4);
    EXPECT_FLOAT_EQ(v, AviTest::sample(1605, 0) / 32768.0f);
}

TEST(OutputFile, BufferSizesBelowTwoCountAsOne) {
    struct Sizes : AviTest::TestSource {
        using TestSource::TestSource;
        void setBufferSize(bool video, int32_t frames) override { (video ? videoSize : audioSize) = frames; }
        int32_t videoSize = 0, audioSize = 0;
    } source(30, 1, 48000);
    Job job(L"out", false, makeScene(30, 1, 9), &source);
    for (const auto& [asked, kept] : std::vector<std::pair<int32_t, int32_t>>{{0, 1}, {-5, 1}, {1, 1}, {4, 4}}) {
        job.setVideoBufferSize(asked);
        job.setAudioBufferSize(asked);
        EXPECT_EQ(job.videoLimit, kept);
        EXPECT_EQ(job.audioLimit, kept);
        EXPECT_EQ(source.videoSize, kept);
        EXPECT_EQ(source.audioSize, kept);
    }
}

}  // namespace
