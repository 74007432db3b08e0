#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "AviFixture.h"
#include "core/TextConvert.h"
#include "media/audio/AudioBlockBuffer.h"
#include "plugin/avi/AviFileInput.h"
#include "plugin/avi/AviFileReader.h"
#include "plugin/avi/AviFileSaveFile.h"
#include "plugin/GeneratedMedia.h"

namespace {

using namespace AviTest;
using Plugin::AviFileInput;
using Plugin::Avi::get32;
using Plugin::Avi::put32;

constexpr int32_t kFrames = 40;
constexpr uint32_t kWidth = 64, kHeight = 36;

Plugin::ExportScene scene() {
    Plugin::ExportScene s;
    s.width = kWidth;
    s.height = kHeight;
    s.rate = 30000;
    s.scale = 1001;
    s.audioRate = 48000;
    s.lastFrame = kFrames - 1;
    return s;
}

// Our own export of the test frames, written once per kind.
const std::string& exported(const std::string& name, uint64_t split, const std::wstring& video = L"RGB24bit") {
    static std::map<std::string, std::string> made;
    if (auto it = made.find(name); it != made.end()) return it->second;
    const std::string path = TempFolder::instance().path(name);
    TestSource source(30000, 1001, 48000);
    Plugin::AviFileSaveFile job(System::utf8ToWide(path), scene(), &source, video, L"PCM16bit");
    job.splitSize = split;
    job.save();
    return made[name] = path;
}

// A copy of the file after an edit of its bytes.
std::string edited(const std::string& from, const std::string& name,
                   const std::function<void(std::vector<uint8_t>&, const std::vector<Chunk>&)>& edit) {
    auto bytes = readBytes(from);
    edit(bytes, chunks(bytes));
    const std::string path = TempFolder::instance().path(name);
    writeBytes(path, bytes);
    return path;
}

std::shared_ptr<AviFileInput> openAvi(const std::string& path) {
    auto file = std::make_shared<AviFileInput>();
    if (!file->open(System::utf8ToWide(path))) return nullptr;
    return file;
}

// The frame read back equals test frame `frame` in its B, G, R bytes.
void expectFrame(AviFileInput& file, int32_t asked, int32_t frame) {
    const auto image = file.readVideo(asked);
    ASSERT_TRUE(image);
    ASSERT_EQ(image->width, kWidth);
    ASSERT_EQ(image->height, kHeight);
    int wrong = 0;
    for (uint32_t y = 0; y < kHeight; ++y)
        for (uint32_t x = 0; x < kWidth; ++x)
            for (uint32_t c = 0; c < 3; ++c)
                wrong += image->data()[y * image->pitch + 4 * x + c] != pixelByte(frame, x, y, c);
    EXPECT_EQ(wrong, 0) << "frame " << asked;
}

// Block `block` holds the test samples of that second, zero past the export.
void expectBlock(AviFileInput& file, int32_t block, int64_t total) {
    const auto audio = file.readAudio(block);
    ASSERT_TRUE(audio);
    ASSERT_EQ(audio->channels, 2);
    ASSERT_EQ(audio->samples, 48000);
    int wrong = 0;
    for (int32_t i = 0; i < 48000; ++i) {
        const int64_t s = int64_t{block} * 48000 + i;
        for (int c = 0; c < 2; ++c) {
            const float want = s < total ? sample(s, c) / 32768.0f : 0.0f;
            wrong += audio->getChannel(c)[i] != want;
        }
    }
    EXPECT_EQ(wrong, 0) << "block " << block;
}

TEST(AviFileInputTest, ReadsOurFilesThroughEveryIndexWithTheSameFramesAndBlocks) {
    const int64_t total = TestSource(30000, 1001, 48000).firstSample(kFrames);
    const std::string plain = exported("plain.avi", Plugin::AviFileSaveFile::kSplitSize);
    struct Case {
        const char* name;
        std::string path;
        AviFileInput::IndexKind kind;
    };
    const Case cases[] = {
        {"idx1 relative", plain, AviFileInput::IndexKind::kIdx1},
        {"idx1 absolute",
         edited(plain, "absolute.avi",
                [](std::vector<uint8_t>& b, const std::vector<Chunk>& all) {
                    const Chunk idx1 = find(all, Plugin::Avi::kIdx1).at(0);
                    const uint64_t movi = find(all, Plugin::Avi::kMovi).at(0).position + 8;
                    for (uint32_t at = 0; at < idx1.size; at += 16) {
                        uint8_t* e = &b[idx1.position + 8 + at + 8];
                        put32(e, static_cast<uint32_t>(get32(e) + movi));
                    }
                }),
         AviFileInput::IndexKind::kIdx1},
        {"OpenDML", exported("split.avi", 64 * 1024), AviFileInput::IndexKind::kOpenDml},
        {"movi scan",
         edited(plain, "scan.avi",
                [](std::vector<uint8_t>& b, const std::vector<Chunk>& all) {
                    put32(&b[find(all, Plugin::Avi::kIdx1).at(0).position], Plugin::Avi::kJunk);
                }),
         AviFileInput::IndexKind::kMoviScan},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto file = openAvi(c.path);
        ASSERT_TRUE(file);
        EXPECT_EQ(file->indexKind(), c.kind);
        const auto& info = file->info;
        EXPECT_EQ(info.flags, 3);
        EXPECT_EQ(info.frameCount, kFrames);
        EXPECT_EQ(info.width, static_cast<int32_t>(kWidth));
        EXPECT_EQ(info.height, static_cast<int32_t>(kHeight));
        EXPECT_EQ(info.rate, 30000u);
        EXPECT_EQ(info.scale, 1001u);
        EXPECT_EQ(info.videoFormat, 88);
        EXPECT_EQ(info.audioSampleCount, total);
        EXPECT_EQ(info.sampleRate, 48000);
        EXPECT_EQ(info.channels, 2);
        EXPECT_EQ(info.audioFormatTag, 1);
        for (const int32_t f : {0, 1, 17, 39}) expectFrame(*file, f, f);
        expectFrame(*file, 500, kFrames - 1);  // beyond the end: the last frame
        expectFrame(*file, -3, 0);
        for (const int32_t b : {0, 1, 0, 2}) expectBlock(*file, b, total);  // block 1 runs past the end
    }
}

TEST(AviFileInputTest, ReadsEveryVideoTypeWeWrite) {
    struct Case {
        const wchar_t* type;
        int32_t format;
    };
    for (const Case c :
         {Case{L"RGBA32bit", 87}, Case{L"YUY2", 107}, Case{L"RGBA64bit(PA64)", 11}, Case{L"RGBA64bit(HF64)", 10}}) {
        SCOPED_TRACE(System::wideToUtf8(c.type));
        const auto file = openAvi(exported(System::wideToUtf8(c.type) + ".avi", 1 << 30, c.type));
        ASSERT_TRUE(file);
        EXPECT_EQ(file->info.videoFormat, c.format);
        const auto image = file->readVideo(5);
        ASSERT_TRUE(image);
        TestSource source(30000, 1001, 48000);
        const auto want = source.renderVideo(5, c.format, true);
        const uint32_t row = Media::ImageBuffer::getDefaultPitchSize(c.format, kWidth);
        int wrong = 0;
        for (uint32_t y = 0; y < kHeight; ++y)
            wrong += std::memcmp(image->data() + y * image->pitch, want->data() + y * want->pitch,
                                 std::min(row, kWidth * (c.format == 107  ? 2
                                                         : c.format == 87 ? 4
                                                                          : 8))) != 0;
        EXPECT_EQ(wrong, 0);
    }
}

TEST(AviFileInputTest, RefusesFilesWhoseSizesRunPastTheirData) {
    const std::string plain = exported("plain.avi", Plugin::AviFileSaveFile::kSplitSize);
    const std::string split = exported("split.avi", 64 * 1024);
    using Edit = std::function<void(std::vector<uint8_t>&, const std::vector<Chunk>&)>;
    struct Case {
        const char* name;
        const std::string* from;
        Edit edit;
    };
    const auto strfOf = [](const std::vector<Chunk>& all, int n) { return find(all, Plugin::Avi::kStrf).at(n); };
    const Case cases[] = {
        {"cut short", &plain, [](auto& b, auto&) { b.resize(b.size() / 2); }},
        {"RIFF size beyond the file", &plain, [](auto& b, auto&) { put32(&b[4], static_cast<uint32_t>(b.size())); }},
        {"video strf shorter than its header", &plain,
         [&](auto& b, auto& all) { put32(&b[strfOf(all, 0).position + 4], 20); }},
        {"zero width", &plain, [&](auto& b, auto& all) { put32(&b[strfOf(all, 0).position + 8 + 4], 0); }},
        {"zero height", &plain, [&](auto& b, auto& all) { put32(&b[strfOf(all, 0).position + 8 + 8], 0); }},
        {"zero frame rate", &plain,
         [](auto& b, auto& all) { put32(&b[find(all, Plugin::Avi::kStrh).at(0).position + 8 + 20], 0); }},
        {"video frame shorter than its picture", &plain,
         [](auto& b, auto& all) {
             const Chunk idx1 = find(all, Plugin::Avi::kIdx1).at(0);
             put32(&b[idx1.position + 8 + 12], 100);
         }},
        {"idx1 entry beyond the file", &plain,
         [](auto& b, auto& all) {
             const Chunk idx1 = find(all, Plugin::Avi::kIdx1).at(0);
             put32(&b[idx1.position + 8 + 16 * 3 + 8], 0x7FFFFFF0);
         }},
        {"super index count beyond its chunk", &split,
         [](auto& b, auto& all) { put32(&b[find(all, Plugin::Avi::kIndx).at(0).position + 8 + 4], 5000); }},
        {"standard index count beyond its chunk", &split,
         [](auto& b, auto& all) { put32(&b[find(all, Plugin::Avi::kVideoIndex).at(1).position + 8 + 4], 1u << 30); }},
        {"standard index base beyond the file", &split,
         [](auto& b, auto& all) { put32(&b[find(all, Plugin::Avi::kVideoIndex).at(0).position + 8 + 16], 0x10000); }},
        {"movi chunk beyond its list", &plain,
         [](auto& b, auto& all) {
             put32(&b[find(all, Plugin::Avi::kIdx1).at(0).position], Plugin::Avi::kJunk);
             put32(&b[find(all, Plugin::Avi::kAudioChunk).at(0).position + 4], 0x7FFFFFF0);
         }},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_FALSE(openAvi(edited(*c.from, "refused" + std::to_string(n++) + ".avi", c.edit)));
    }
}

TEST(AviFileInputTest, BrokenStreamsAreDroppedAndTheOtherStaysUsable) {
    const std::string plain = exported("plain.avi", Plugin::AviFileSaveFile::kSplitSize);
    struct Case {
        const char* name;
        int32_t offset;  // into the audio strh or strf
        bool header;
        uint32_t value;
    };
    const Case cases[] = {
        {"sample size 0", 44, true, 0},
        {"scale 0", 20, true, 0},
        {"eight channels", 2, false, 8},
        {"a rate of a billion samples", 4, false, 1000000000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto file = openAvi(edited(plain, std::string("audio-") + c.name + ".avi", [&](auto& b, auto& all) {
            const Chunk chunk = find(all, c.header ? Plugin::Avi::kStrh : Plugin::Avi::kStrf).at(1);
            if (c.header)
                put32(&b[chunk.position + 8 + c.offset], c.value);
            else if (c.value > 0xFFFF)
                put32(&b[chunk.position + 8 + c.offset], c.value);
            else
                Plugin::Avi::put16(&b[chunk.position + 8 + c.offset], static_cast<uint16_t>(c.value));
        }));
        ASSERT_TRUE(file);
        EXPECT_EQ(file->info.flags, 1);
        EXPECT_FALSE(file->readAudio(0));
        expectFrame(*file, 3, 3);
    }
}

TEST(AviFileInputTest, AudioSeeksUseTheExactStreamRate) {
    // A stream of 10000.5 samples a second: block k starts at floor(k × 10000.5),
    // where whole samples per second would drift by half a sample a block.
    const std::string plain = exported("plain.avi", Plugin::AviFileSaveFile::kSplitSize);
    const auto file = openAvi(edited(plain, "rate.avi", [](auto& b, auto& all) {
        const Chunk strh = find(all, Plugin::Avi::kStrh).at(1);
        put32(&b[strh.position + 8 + 20], 8);          // scale
        put32(&b[strh.position + 8 + 24], 4 * 20001);  // rate
    }));
    ASSERT_TRUE(file);
    for (const auto& [block, first] : {std::pair{1, 10000}, std::pair{2, 20001}, std::pair{6, 60003}}) {
        const auto audio = file->readAudio(block);
        ASSERT_TRUE(audio);
        EXPECT_EQ(audio->getChannel(0)[0], sample(first, 0) / 32768.0f) << block;
        EXPECT_EQ(audio->getChannel(1)[1], sample(first + 1, 1) / 32768.0f) << block;
    }
}

TEST(AviFileInputTest, ReadsFilesOfTheFfmpegToolAsFfmpegDecodesThem) {
    auto& media = GeneratedMedia::instance();
    const std::string path = media.make("tool.avi",
                                        "-f lavfi -i testsrc=size=96x54:rate=25:duration=2 -f lavfi -i "
                                        "sine=frequency=440:sample_rate=44100:duration=2 -c:v rawvideo -pix_fmt bgr24 "
                                        "-c:a pcm_s16le -ac 2");
    ASSERT_FALSE(path.empty());
    const std::string frames = (media.folder() / "tool.bgr").string();
    const std::string samples = (media.folder() / "tool.pcm").string();
    ASSERT_EQ(std::system(("ffmpeg -nostdin -v error -y -i '" + path + "' -f rawvideo -pix_fmt bgr24 '" + frames +
                           "' -f s16le -ac 2 '" + samples + "'")
                              .c_str()),
              0);
    const auto want = readBytes(frames);
    const auto pcm = readBytes(samples);
    const auto file = openAvi(path);
    ASSERT_TRUE(file);
    EXPECT_EQ(file->info.flags, 3);
    EXPECT_EQ(file->info.rate * 1.0 / file->info.scale, 25.0);
    const size_t frameBytes = 96 * 54 * 3;
    ASSERT_EQ(want.size(), frameBytes * file->info.frameCount);
    for (const int32_t f : {0, 1, 24, file->info.frameCount - 1}) {
        const auto image = file->readVideo(f);
        ASSERT_TRUE(image);
        int wrong = 0;
        for (uint32_t y = 0; y < 54; ++y)
            for (uint32_t x = 0; x < 96; ++x)
                for (uint32_t c = 0; c < 3; ++c)
                    wrong += image->data()[y * image->pitch + 4 * x + c] != want[f * frameBytes + (y * 96 + x) * 3 + c];
        EXPECT_EQ(wrong, 0) << "frame " << f;
    }
    EXPECT_EQ(file->info.sampleRate, 44100);
    EXPECT_EQ(file->info.audioSampleCount, static_cast<int64_t>(pcm.size() / 4));
    for (const int32_t block : {0, 1}) {
        const auto audio = file->readAudio(block);
        ASSERT_TRUE(audio);
        int wrong = 0;
        for (int32_t i = 0; i < 44100; ++i) {
            const size_t at = (size_t{static_cast<uint32_t>(block)} * 44100 + i) * 4;
            int16_t v = 0;
            if (at + 2 <= pcm.size()) std::memcpy(&v, &pcm[at], 2);
            wrong += audio->getChannel(0)[i] != v / 32768.0f;
        }
        EXPECT_EQ(wrong, 0) << "block " << block;
    }
}

// Mono 16-bit PCM is common in files of other programs; its blocks read as
// mono float equal to the samples ffmpeg decodes.
TEST(AviFileInputTest, MonoSixteenBitSoundReads) {
    auto& media = GeneratedMedia::instance();
    const std::string path = media.make("mono.avi",
                                        "-f lavfi -i testsrc=size=32x18:rate=25:duration=1 -f lavfi -i "
                                        "sine=frequency=440:sample_rate=8000:duration=1 -c:v rawvideo -pix_fmt bgr24 "
                                        "-c:a pcm_s16le -ac 1");
    ASSERT_FALSE(path.empty());
    const std::string samples = (media.folder() / "mono.pcm").string();
    ASSERT_EQ(std::system(("ffmpeg -nostdin -v error -y -i '" + path + "' -f s16le -ac 1 '" + samples + "'").c_str()),
              0);
    const auto pcm = readBytes(samples);
    const auto file = openAvi(path);
    ASSERT_TRUE(file);
    ASSERT_EQ(file->info.channels, 1);
    const auto audio = file->readAudio(0);
    ASSERT_TRUE(audio);
    int wrong = 0;
    for (size_t i = 0; i < 8000; ++i) {
        int16_t v = 0;
        if (2 * i + 2 <= pcm.size()) std::memcpy(&v, &pcm[2 * i], 2);
        wrong += audio->getChannel(0)[i] != v / 32768.0f;
    }
    EXPECT_EQ(wrong, 0);
}

TEST(AviFileInputTest, CompressedStreamsDecodeThroughTheDecompressors) {
    auto& media = GeneratedMedia::instance();
    const std::string path = media.make("mjpeg.avi",
                                        "-f lavfi -i testsrc=size=64x48:rate=10:duration=2 -f lavfi -i "
                                        "sine=frequency=440:sample_rate=22050:duration=2 -c:v mjpeg -q:v 3 -g 5 "
                                        "-c:a adpcm_ms -ac 2");
    ASSERT_FALSE(path.empty());
    const auto file = openAvi(path);
    ASSERT_TRUE(file);
    EXPECT_EQ(file->info.flags, 3);
    EXPECT_EQ(file->info.frameCount, 20);
    const auto image = file->readVideo(7);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->width, 64u);
    {
        EXPECT_EQ(file->info.audioFormatTag, 1);
        EXPECT_EQ(file->info.bitsPerSample, 16);
        const auto a = file->readAudio(0);
        ASSERT_TRUE(a);
        float peak = 0;
        for (int32_t i = 0; i < a->samples; ++i) peak = std::max(peak, std::abs(a->getChannel(0)[i]));
        EXPECT_GT(peak, 0.05f);
    }
}

// Lossless codecs that keep their tables in the private data after the
// bitmap header in strf: the frames read equal ffmpeg's decode of the file,
// read in order and after a jump back.
TEST(AviFileInputTest, LosslessCodecsDecodeWithTheirPrivateData) {
    const struct Case {
        const char* name;
        const char* args;
    } cases[] = {
        {"utvideo-yuv420.avi", "-c:v utvideo -pix_fmt yuv420p"},
        {"utvideo-rgb.avi", "-c:v utvideo -pix_fmt gbrp"},
        {"utvideo-yuv422.avi", "-c:v utvideo -pix_fmt yuv422p"},
        {"ffv1.avi", "-c:v ffv1 -pix_fmt yuv420p"},
        {"ffv1-slices.avi", "-c:v ffv1 -level 3 -slices 4 -pix_fmt yuv420p"},
        {"huffyuv.avi", "-c:v huffyuv -pix_fmt yuv422p"},
        {"huffyuv-rgb.avi", "-c:v huffyuv -pix_fmt rgb24"},
        {"ffvhuff.avi", "-c:v ffvhuff -pix_fmt yuv420p"},
    };
    auto& media = GeneratedMedia::instance();
    constexpr uint32_t W = 96, H = 54;
    constexpr int32_t kFrames = 10;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = media.make(
            c.name, "-f lavfi -i testsrc2=size=96x54:rate=10:duration=1 " + std::string(c.args));
        ASSERT_FALSE(path.empty()) << "ffmpeg could not make the file";
        const auto file = openAvi(path);
        ASSERT_TRUE(file);
        ASSERT_TRUE(file->info.flags & Plugin::InputFile::kVideo) << "the video decodes";
        ASSERT_EQ(file->info.frameCount, kFrames);
        const bool yuy2 = file->info.videoFormat == Media::PixelFormat::kYuy2;
        const std::string raw = (media.folder() / (std::string(c.name) + ".raw")).string();
        ASSERT_EQ(std::system(("ffmpeg -nostdin -v error -y -i '" + path + "' -f rawvideo -pix_fmt " +
                               (yuy2 ? "yuyv422" : "bgra") + " '" + raw + "'")
                                  .c_str()),
                  0);
        const auto want = readBytes(raw);
        const size_t row = yuy2 ? W * 2 : W * 4;
        ASSERT_EQ(want.size(), row * H * kFrames);
        for (const int32_t f : {0, 1, 2, 9, 3}) {
            const auto image = file->readVideo(f);
            ASSERT_TRUE(image) << "frame " << f;
            ASSERT_EQ(image->width, W);
            double squares = 0;
            size_t count = 0;
            for (uint32_t y = 0; y < H; ++y)
                for (size_t x = 0; x < row; ++x) {
                    if (!yuy2 && x % 4 == 3) continue;  // alpha
                    const double d = double(image->data()[y * image->pitch + x]) - want[f * row * H + y * row + x];
                    squares += d * d;
                    ++count;
                }
            const double mse = squares / double(count);
            const double psnr = mse == 0 ? 99 : 10 * std::log10(255.0 * 255.0 / mse);
            EXPECT_GE(psnr, 25) << "frame " << f;
        }
    }
}

TEST(AviFileInputTest, DecodingStartsAtAKeyFrameUnlessTheFrameFollowsTheLastOne) {
    // Without idx1 the movi scan takes every "dc" chunk for a frame that is not
    // a key frame, so a jump decodes from frame 0.
    auto& media = GeneratedMedia::instance();
    const std::string path =
        media.make("mjpeg-only.avi", "-f lavfi -i testsrc=size=32x32:rate=10:duration=2 -c:v mjpeg");
    ASSERT_FALSE(path.empty());
    const auto scanned = edited(path, "mjpeg-scan.avi", [](auto& b, auto& all) {
        put32(&b[find(all, Plugin::Avi::kIdx1).at(0).position], Plugin::Avi::kJunk);
    });
    struct Step {
        int32_t frame;
        int32_t decoded;
    };
    const Step steps[] = {{9, 10}, {10, 1}, {11, 1},   {5, 6},
                          {6, 1},  {0, 1},  {500, 19}, {-2, 1}};  // 500 is frame 19, decoded on from frame 1
    const auto file = openAvi(scanned);
    ASSERT_TRUE(file);
    EXPECT_EQ(file->indexKind(), AviFileInput::IndexKind::kMoviScan);
    for (const Step& s : steps) {
        ASSERT_TRUE(file->readVideo(s.frame)) << s.frame;
        EXPECT_EQ(file->lastDecodeCount(), s.decoded) << s.frame;
    }
    // With idx1 every frame is a key frame: any jump decodes one.
    const auto indexed = openAvi(path);
    ASSERT_TRUE(indexed);
    for (const int32_t f : {9, 3, 15}) {
        ASSERT_TRUE(indexed->readVideo(f));
        EXPECT_EQ(indexed->lastDecodeCount(), 1) << f;
    }
}

TEST(AviFileReaderTest, OpensOnlyAviFiles) {
    Plugin::AviFileReader reader;
    EXPECT_EQ(reader.name, L"AVI/AVI2 File Reader");
    EXPECT_TRUE(reader.open(System::utf8ToWide(exported("plain.avi", Plugin::AviFileSaveFile::kSplitSize))));
    const std::string wav = GeneratedMedia::instance().make("tone.wav", "-f lavfi -i sine=duration=0.1");
    EXPECT_FALSE(reader.open(System::utf8ToWide(wav)));
    EXPECT_FALSE(reader.open(L"/no/such/file.avi"));
}

}  // namespace
