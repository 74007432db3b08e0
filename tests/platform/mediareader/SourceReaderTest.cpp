#include <gtest/gtest.h>
#include <sys/resource.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <memory>
#include <random>

#include "platform/mediareader/MediaReader.h"
#include "support/FfmpegFiles.h"
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
        {64, 48, 1.164 * 80 - 0.813 * 42},     // BT.601
        {1280, 720, 1.164 * 80 - 0.533 * 42},  // BT.709
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
        for (int i = 0; i <= 10; ++i)
            ASSERT_EQ(r->readSample(MR::kFirstVideoStream, flags, time, sample), Platform::kOk);
        ASSERT_TRUE(sample);
        ASSERT_EQ(TestMediaFile::level(10), 96);
        const size_t centre = (static_cast<size_t>(c.height / 2) * c.width + c.width / 2) * 4;
        EXPECT_NEAR(sample->bytes[centre + 1], c.green, 4.0) << c.height;
    }
}

namespace {

// Files made by the ffmpeg tool, read through the reader alone.
class SourceReaderFilesTest : public ::testing::Test {
protected:
    static std::unique_ptr<MR::SourceReader> openAs(const std::string& path, MR::MajorType major, MR::Subtype subtype) {
        std::unique_ptr<MR::SourceReader> r;
        if (MR::SourceReader::create(path, false, r) != Platform::kOk) return nullptr;
        const uint32_t stream = major == MR::MajorType::Video ? MR::kFirstVideoStream : MR::kFirstAudioStream;
        MR::MediaType want;
        want.major = major;
        want.subtype = subtype;
        if (r->setCurrentMediaType(stream, want) != Platform::kOk) return nullptr;
        (void)r->setStreamSelection(MR::kAllStreams, false);
        (void)r->setStreamSelection(stream, true);
        return r;
    }
    static std::shared_ptr<MR::Sample> next(MR::SourceReader& r, uint32_t stream) {
        uint32_t flags = 0;
        int64_t time = 0;
        std::shared_ptr<MR::Sample> sample;
        if (r.readSample(stream, flags, time, sample) != Platform::kOk || flags != 0) return nullptr;
        return sample;
    }
};

TEST_F(SourceReaderFilesTest, AColourMatrixNoStandardNamesIsTakenAsUnnamed) {
    // A damaged file may carry any number as its matrix; it reads like one that names none.
    auto& files = FfmpegFiles::instance();
    const std::string plain = files.make("plain.mkv", "-f lavfi -i testsrc2=s=32x24:r=10:d=0.3 -c:v mpeg4 -q:v 2");
    const std::string named =
        files.make("named.mkv", "-f lavfi -i testsrc2=s=32x24:r=10:d=0.3 -c:v mpeg4 -q:v 2 -colorspace bt709");
    ASSERT_FALSE(plain.empty());
    ASSERT_FALSE(named.empty());
    std::string bytes;
    {
        std::ifstream in(named, std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    const size_t at = bytes.find(std::string("\x55\xB1\x81\x01", 4));
    ASSERT_NE(at, std::string::npos) << "no matrix element";
    bytes[at + 3] = 100;
    const std::string unknown = (files.folder() / "unknown-matrix.mkv").string();
    std::ofstream(unknown, std::ios::binary) << bytes;

    auto reference = openAs(plain, MR::MajorType::Video, MR::Subtype::Rgb32);
    auto damaged = openAs(unknown, MR::MajorType::Video, MR::Subtype::Rgb32);
    ASSERT_TRUE(reference);
    ASSERT_TRUE(damaged);
    for (int i = 0; i < 3; ++i) {
        const auto want = next(*reference, MR::kFirstVideoStream);
        const auto got = next(*damaged, MR::kFirstVideoStream);
        ASSERT_TRUE(want && got) << i;
        EXPECT_EQ(got->bytes, want->bytes) << i;
    }
}

TEST_F(SourceReaderFilesTest, ATinyFileClaimingAHugeChunkTakesNoGigabytes) {
    // 60 bytes of WAV whose information chunk claims 1.6 GB: the demuxer would
    // allocate and clear it all while opening.
    std::string wav = "RIFF";
    auto u32 = [&wav](uint32_t v) {
        for (int i = 0; i < 4; ++i) wav += static_cast<char>((v >> (8 * i)) & 0xff);
    };
    auto u16 = [&wav](uint16_t v) {
        wav += static_cast<char>(v & 0xff);
        wav += static_cast<char>(v >> 8);
    };
    u32(52);
    wav += "WAVEfmt ";
    u32(16);
    u16(1);
    u16(1);
    u32(8000);
    u32(16000);
    u16(2);
    u16(16);
    wav += "LIST";
    u32(0xFFFFFFF0u);
    wav += "INFOINAM";
    u32(0x60000000u);
    wav += "abcd";
    ASSERT_EQ(wav.size(), 60u);
    const std::string path = (FfmpegFiles::instance().folder() / "huge-list.wav").string();
    std::ofstream(path, std::ios::binary) << wav;

    rusage before{};
    getrusage(RUSAGE_SELF, &before);
    std::unique_ptr<MR::SourceReader> r;
    (void)MR::SourceReader::create(path, false, r);  // may open or not; it must not take the memory
    rusage after{};
    getrusage(RUSAGE_SELF, &after);
    EXPECT_LT(after.ru_maxrss - before.ru_maxrss, 512L * 1024)
        << "peak grew by " << (after.ru_maxrss - before.ru_maxrss) << " kB";
}

TEST_F(SourceReaderFilesTest, VideoAfterASeekStartsAtOrBeforeThePositionAndReachesIt) {
    // Program streams are searched by byte position: a landing after the position must step back.
    const char* const files[][2] = {
        {"seek.mpg",
         "-f lavfi -i testsrc2=s=64x48:r=25:d=6 -f lavfi -i sine=r=48000:d=6 -c:v mpeg2video -g 12 -bf 2"
         " -c:a mp2"},
        {"seek.mp4", "-f lavfi -i testsrc2=s=64x48:r=30000/1001:d=6 -c:v libx264 -g 30"},
    };
    std::mt19937 random(19);
    for (const auto& [name, args] : files) {
        const std::string path = FfmpegFiles::instance().make(name, args);
        ASSERT_FALSE(path.empty()) << name;
        auto r = openAs(path, MR::MajorType::Video, MR::Subtype::Yuy2);
        ASSERT_TRUE(r) << name;
        for (int i = 0; i < 8; ++i) {
            const int64_t position = std::uniform_int_distribution<int64_t>(0, 55000000)(random);
            ASSERT_EQ(r->setCurrentPosition(position), Platform::kOk);
            auto sample = next(*r, MR::kFirstVideoStream);
            ASSERT_TRUE(sample) << name << " " << position;
            EXPECT_LE(sample->time, position) << name;
            while (sample && sample->time + sample->duration <= position) sample = next(*r, MR::kFirstVideoStream);
            ASSERT_TRUE(sample) << name << " " << position;
            EXPECT_LE(sample->time, position) << name;
        }
    }
}

// Mono audio decoded from the start, placed by the samples' times.
std::vector<float> placed(MR::SourceReader& r, int rate, int64_t from, size_t frames) {
    std::vector<float> out(frames, std::numeric_limits<float>::quiet_NaN());
    uint32_t flags = 0;
    int64_t time = 0;
    std::shared_ptr<MR::Sample> sample;
    for (;;) {
        if (r.readSample(MR::kFirstAudioStream, flags, time, sample) != Platform::kOk || flags != 0) break;
        const auto* x = reinterpret_cast<const float*>(sample->bytes.data());
        const int64_t first = std::llround(static_cast<double>(time) * rate / 1e7) - from;
        const int64_t n = static_cast<int64_t>(sample->bytes.size() / 4);
        for (int64_t k = 0; k < n; ++k)
            if (first + k >= 0 && first + k < static_cast<int64_t>(frames)) out[first + k] = x[k];
        if (first + n >= static_cast<int64_t>(frames)) break;
    }
    return out;
}

TEST_F(SourceReaderFilesTest, AudioAfterASeekToAnyTimeEqualsTheSameTimeReadFromTheStart) {
    struct Case {
        const char* name;
        const char* codec;
        int rate;
        float tolerance;
    };
    const Case cases[] = {
        {"seek.mp3", "-c:a libmp3lame -b:a 64k", 44100, 1e-5f},
        {"seek.m4a", "-c:a aac -aac_pns 0 -b:a 64k", 44100, 1e-5f},
        {"seek.opus", "-c:a libopus -b:a 48k", 48000, 2e-3f},
        {"seek.ogg", "-c:a libvorbis -q:a 3", 44100, 1e-5f},
        // Matroska stamps its blocks to the millisecond: the samples still land exactly.
        {"seek-opus.webm", "-c:a libopus -b:a 48k", 48000, 2e-3f},
        {"seek-vorbis.webm", "-c:a libvorbis -q:a 3", 44100, 1e-5f},
    };
    std::mt19937 random(7);
    for (const Case& c : cases) {
        const std::string path =
            FfmpegFiles::instance().make(c.name, "-f lavfi -i aevalsrc='0.5*sin(2*PI*(200+300*t)*t)':s=" +
                                                     std::to_string(c.rate) + ":d=3 " + c.codec);
        ASSERT_FALSE(path.empty()) << c.name;
        auto whole = openAs(path, MR::MajorType::Audio, MR::Subtype::Float);
        ASSERT_TRUE(whole) << c.name;
        const std::vector<float> all = placed(*whole, c.rate, 0, static_cast<size_t>(3 * c.rate));
        auto r = openAs(path, MR::MajorType::Audio, MR::Subtype::Float);
        for (int i = 0; i < 4; ++i) {
            const int64_t position = std::uniform_int_distribution<int64_t>(1000000, 25000000)(random);
            ASSERT_EQ(r->setCurrentPosition(position), Platform::kOk);
            const int64_t from = std::llround(static_cast<double>(position) * c.rate / 1e7);
            const size_t span = static_cast<size_t>(c.rate / 4);
            const std::vector<float> got = placed(*r, c.rate, from, span);
            float worst = 0;
            size_t worstAt = 0;
            for (size_t k = 0; k < span; ++k) {
                const float d = std::isnan(got[k]) ? 1.0f : std::abs(got[k] - all[from + k]);
                if (d > worst) {
                    worst = d;
                    worstAt = k;
                }
            }
            EXPECT_LE(worst, c.tolerance) << c.name << " at " << position << ", frame " << worstAt;
        }
    }
}

}  // namespace
