#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <random>

#include "platform/mediareader/MediaReader.h"
#include "support/TestMediaFile.h"

namespace MR = Platform::mediareader;

namespace {

class SourceReaderTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::random_device rd;
        dir = std::filesystem::temp_directory_path() / ("velmo-mr-" + std::to_string(rd()) + std::to_string(rd()));
        std::filesystem::create_directories(dir);
    }
    void TearDown() override { std::filesystem::remove_all(dir); }

    std::string make(const TestMediaFile& file, const char* name = "a.mkv") {
        const auto path = (dir / name).string();
        file.write(path);
        return path;
    }

    std::unique_ptr<MR::SourceReader> open(const std::string& path) {
        std::unique_ptr<MR::SourceReader> r;
        EXPECT_EQ(MR::SourceReader::create(path, false, r), Platform::kOk);
        return r;
    }

    static TestMediaFile both() {
        TestMediaFile f;
        f.videoFrames = 10;
        f.audioSeconds = 0.5;
        return f;
    }

    std::filesystem::path dir;
};

TEST_F(SourceReaderTest, StartupAndShutdownSucceed) {
    EXPECT_EQ(MR::startup(0x20070, 1), Platform::kOk);
    EXPECT_EQ(MR::shutdown(), Platform::kOk);
}

TEST_F(SourceReaderTest, MissingAndUnreadableFilesFail) {
    std::unique_ptr<MR::SourceReader> r;
    EXPECT_EQ(MR::SourceReader::create((dir / "none.mkv").string(), false, r), Platform::kFileNotFound);
    EXPECT_FALSE(r);
    std::ofstream((dir / "junk.bin"), std::ios::binary) << "not a media file at all";
    EXPECT_TRUE(Platform::failed(MR::SourceReader::create((dir / "junk.bin").string(), false, r)));
    EXPECT_FALSE(r);
}

TEST_F(SourceReaderTest, ReportsStreamsDurationAndTypes) {
    auto r = open(make(both()));
    ASSERT_TRUE(r);
    int64_t duration = 0;
    ASSERT_EQ(r->getDuration(duration), Platform::kOk);
    EXPECT_NEAR(static_cast<double>(duration), 5000000.0, 400000.0);
    bool selected = false;
    EXPECT_EQ(r->getStreamSelection(MR::kFirstVideoStream, selected), Platform::kOk);
    EXPECT_TRUE(selected);
    EXPECT_EQ(r->getStreamSelection(MR::kFirstAudioStream, selected), Platform::kOk);

    MR::MediaType want;
    want.major = MR::MajorType::Video;
    want.subtype = MR::Subtype::Float;
    EXPECT_EQ(r->setCurrentMediaType(MR::kFirstVideoStream, want), MR::kInvalidMediaType);
    want.subtype = MR::Subtype::Yuy2;
    ASSERT_EQ(r->setCurrentMediaType(MR::kFirstVideoStream, want), Platform::kOk);
    MR::MediaType got;
    ASSERT_EQ(r->getCurrentMediaType(MR::kFirstVideoStream, got), Platform::kOk);
    EXPECT_EQ(got.subtype, MR::Subtype::Yuy2);
    EXPECT_EQ(got.width, 64u);
    EXPECT_EQ(got.height, 48u);
    EXPECT_EQ(got.frameRateNumerator, 30u);
    EXPECT_EQ(got.frameRateDenominator, 1u);
    EXPECT_EQ(got.defaultStride, 128);

    want.major = MR::MajorType::Audio;
    want.subtype = MR::Subtype::Pcm;
    ASSERT_EQ(r->setCurrentMediaType(MR::kFirstAudioStream, want), Platform::kOk);
    ASSERT_EQ(r->getCurrentMediaType(MR::kFirstAudioStream, got), Platform::kOk);
    EXPECT_EQ(got.channels, 2u);
    EXPECT_EQ(got.samplesPerSecond, 8000u);
    EXPECT_EQ(got.bitsPerSample, 16u);
}

TEST_F(SourceReaderTest, AFileWithoutAudioHasNoAudioStream) {
    TestMediaFile f;
    f.videoFrames = 3;
    auto r = open(make(f));
    bool selected = false;
    EXPECT_EQ(r->getStreamSelection(MR::kFirstAudioStream, selected), MR::kInvalidStreamNumber);
}

TEST_F(SourceReaderTest, ReadsFramesInOrderToTheEndAndAfterASeek) {
    auto r = open(make(both()));
    MR::MediaType want;
    want.major = MR::MajorType::Video;
    want.subtype = MR::Subtype::Rgb32;
    ASSERT_EQ(r->setCurrentMediaType(MR::kFirstVideoStream, want), Platform::kOk);
    ASSERT_EQ(r->setStreamSelection(MR::kAllStreams, false), Platform::kOk);
    ASSERT_EQ(r->setStreamSelection(MR::kFirstVideoStream, true), Platform::kOk);
    uint32_t flags = 0;
    int64_t time = 0;
    std::shared_ptr<MR::Sample> sample;
    for (int i = 0; i < 10; ++i) {
        ASSERT_EQ(r->readSample(MR::kFirstVideoStream, flags, time, sample), Platform::kOk);
        ASSERT_EQ(flags, 0u) << i;
        ASSERT_TRUE(sample);
        // The container keeps milliseconds; a frame lasts until the next starts.
        EXPECT_NEAR(static_cast<double>(time), i * 1e7 / 30, 5000.0) << i;
        EXPECT_NEAR(static_cast<double>(sample->duration), 1e7 / 30, 10000.0);
        ASSERT_EQ(sample->bytes.size(), 64u * 48 * 4);
        // Grey in BGRX: blue equals the expanded luma level.
        const double grey = (TestMediaFile::level(i) - 16) * 255.0 / 219.0;
        EXPECT_NEAR(sample->bytes[0], grey, 3.0) << i;
    }
    ASSERT_EQ(r->readSample(MR::kFirstVideoStream, flags, time, sample), Platform::kOk);
    EXPECT_EQ(flags, MR::kFlagEndOfStream);
    EXPECT_FALSE(sample);

    ASSERT_EQ(r->setCurrentPosition(7 * 333333 + 10), Platform::kOk);
    EXPECT_EQ(r->seekCount(), 1);
    ASSERT_EQ(r->readSample(MR::kFirstVideoStream, flags, time, sample), Platform::kOk);
    ASSERT_TRUE(sample);
    // Decoding restarts at a key frame at or before the position, and its picture is whole.
    EXPECT_LE(time, 7 * 333333 + 10);
    const int index = static_cast<int>(std::lround(time * 30 / 1e7));
    EXPECT_NEAR(sample->bytes[0], (TestMediaFile::level(index) - 16) * 255.0 / 219.0, 3.0);
}

TEST_F(SourceReaderTest, AudioComesAsInterleavedFloatAndEnds) {
    TestMediaFile f;
    f.audioSeconds = 0.5;
    f.channels = 1;
    auto r = open(make(f));
    MR::MediaType want;
    want.major = MR::MajorType::Audio;
    want.subtype = MR::Subtype::Float;
    ASSERT_EQ(r->setCurrentMediaType(MR::kFirstAudioStream, want), Platform::kOk);
    uint32_t flags = 0;
    int64_t time = 0;
    std::shared_ptr<MR::Sample> sample;
    size_t frames = 0;
    int64_t expectTime = 0;
    for (;;) {
        ASSERT_EQ(r->readSample(MR::kFirstAudioStream, flags, time, sample), Platform::kOk);
        if (flags != 0) break;
        ASSERT_TRUE(sample);
        EXPECT_NEAR(static_cast<double>(time), static_cast<double>(expectTime), 5000.0);
        const size_t n = sample->bytes.size() / 4;
        expectTime += static_cast<int64_t>(n) * 10000000 / 8000;
        const auto* x = reinterpret_cast<const float*>(sample->bytes.data());
        for (size_t i = 0; i < n; ++i)
            ASSERT_NEAR(x[i], 16000 / 32768.0 * std::sin(2 * 3.14159265358979 * 440 * (frames + i) / 8000), 1e-3);
        frames += n;
    }
    EXPECT_EQ(flags, MR::kFlagEndOfStream);
    EXPECT_EQ(frames, 4000u);
}

TEST_F(SourceReaderTest, AnUnselectedStreamDeliversNothing) {
    auto r = open(make(both()));
    MR::MediaType want;
    want.major = MR::MajorType::Audio;
    want.subtype = MR::Subtype::Float;
    ASSERT_EQ(r->setCurrentMediaType(MR::kFirstAudioStream, want), Platform::kOk);
    ASSERT_EQ(r->setStreamSelection(MR::kFirstAudioStream, false), Platform::kOk);
    uint32_t flags = 0;
    int64_t time = 0;
    std::shared_ptr<MR::Sample> sample;
    EXPECT_TRUE(Platform::failed(r->readSample(MR::kFirstAudioStream, flags, time, sample)));
    // A stream without an output format cannot be read either.
    EXPECT_EQ(r->readSample(MR::kFirstVideoStream, flags, time, sample), MR::kNotInitialized);
}

}  // namespace

TEST_F(SourceReaderTest, RgbFramesUseTheMatrixOfTheirHeight) {
    // A stream that names no matrix is BT.601 below 720 lines and BT.709 from 720 on;
    // the green channel tells the two apart.
    struct Case {
        int width, height;
        double green;
    } cases[] = {
        {64, 48, 1.164 * 80 - 0.813 * 42},      // BT.601
        {1280, 720, 1.164 * 80 - 0.533 * 42},   // BT.709
    };
    for (const Case& c : cases) {
        TestMediaFile f;
        f.videoFrames = 11;
        f.width = c.width;
        f.height = c.height;
        f.cr = 170;
        const std::string name = std::to_string(c.height) + ".mkv";
        auto r = open(make(f, name.c_str()));
        MR::MediaType want;
        want.major = MR::MajorType::Video;
        want.subtype = MR::Subtype::Rgb32;
        ASSERT_EQ(r->setCurrentMediaType(MR::kFirstVideoStream, want), Platform::kOk);
        ASSERT_EQ(r->setStreamSelection(MR::kFirstVideoStream, true), Platform::kOk);
        uint32_t flags = 0;
        int64_t time = 0;
        std::shared_ptr<MR::Sample> sample;
        for (int i = 0; i <= 10; ++i) ASSERT_EQ(r->readSample(MR::kFirstVideoStream, flags, time, sample), Platform::kOk);
        ASSERT_TRUE(sample);
        ASSERT_EQ(TestMediaFile::level(10), 96);
        const size_t centre = (static_cast<size_t>(c.height / 2) * c.width + c.width / 2) * 4;
        EXPECT_NEAR(sample->bytes[centre + 1], c.green, 4.0) << c.height;
    }
}
