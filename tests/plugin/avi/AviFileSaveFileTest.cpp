#include <gtest/gtest.h>

#include <cstdlib>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>

#include "AviFixture.h"
#include "core/TextConvert.h"
#include "plugin/avi/AviFileSave.h"
#include "plugin/avi/AviFileSaveFile.h"

namespace {

using namespace AviTest;
using Plugin::AviFileSaveFile;
using Plugin::Avi::fourCC;
using Plugin::Avi::get32;

struct Export {
    std::string path;
    std::vector<uint8_t> bytes;
    std::vector<Chunk> all;
};

Plugin::ExportScene sceneOf(int32_t width, int32_t height, uint32_t rate, uint32_t scale, int32_t frames) {
    Plugin::ExportScene scene;
    scene.width = width;
    scene.height = height;
    scene.rate = rate;
    scene.scale = scale;
    scene.audioRate = 48000;
    scene.lastFrame = frames - 1;
    return scene;
}

// Writes the scene's frames from a test source; the job may be adjusted first.
Export write(const std::string& name, const Plugin::ExportScene& scene, TestSource& source,
             const std::function<void(AviFileSaveFile&)>& adjust = {}, const std::wstring& video = L"RGB24bit",
             const std::wstring& audio = L"PCM16bit") {
    Export e;
    e.path = TempFolder::instance().path(name);
    AviFileSaveFile job(System::utf8ToWide(e.path), scene, &source, video, audio);
    if (adjust) adjust(job);
    EXPECT_TRUE(job.save());
    e.bytes = readBytes(e.path);
    e.all = chunks(e.bytes);
    return e;
}

// `ffprobe` on the video stream: "frames,width,height,rate".
std::string probe(const std::string& path) {
    const std::string command =
        "ffprobe -v error -count_frames -select_streams v:0 -show_entries "
        "stream=nb_read_frames,width,height,r_frame_rate -of csv=p=0 '" +
        path + "'";
    std::string out;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char line[256];
        while (fgets(line, sizeof line, pipe)) out += line;
        pclose(pipe);
    }
    while (!out.empty() && (out.back() == '\n' || out.back() == '\r')) out.pop_back();
    return out;
}

TEST(AviFileSaveFileTest, OneFullHdFrameHasTheExactLayout) {
    TestSource source(30, 1, 48000);
    source.width = 1920;
    source.height = 1080;
    const Export e = write("full-hd.avi", sceneOf(1920, 1080, 30, 1, 1), source);
    const auto video = find(e.all, Plugin::Avi::kVideoChunk);
    const auto audio = find(e.all, Plugin::Avi::kAudioChunk);
    ASSERT_EQ(video.size(), 1u);
    ASSERT_EQ(audio.size(), 1u);
    EXPECT_EQ(video[0].size, 6220800u);
    EXPECT_EQ(audio[0].size, 6400u);
    EXPECT_EQ(video[0].position % 2048, 0u);
    EXPECT_TRUE(find(e.all, Plugin::Avi::kIndx).empty());
    EXPECT_TRUE(find(e.all, Plugin::Avi::kOdml).empty());
    EXPECT_TRUE(find(e.all, Plugin::Avi::kVideoIndex).empty());
    ASSERT_EQ(find(e.all, Plugin::Avi::kIdx1).size(), 1u);
    // The two super index reserves and the OpenDML reserve stay JUNK.
    EXPECT_EQ(find(e.all, Plugin::Avi::kJunk).size(), 4u);
    const Chunk avih = find(e.all, Plugin::Avi::kAvih).at(0);
    EXPECT_EQ(get32(&e.bytes[avih.position + 8]), 33333u);
    EXPECT_EQ(get32(&e.bytes[avih.position + 8 + 12]), 0x810u);
    EXPECT_EQ(get32(&e.bytes[avih.position + 8 + 16]), 1u);
    EXPECT_EQ(e.bytes.size(), static_cast<size_t>(get32(&e.bytes[4])) + 8);
    // The picture is bottom-up B, G, R: the file's first row is the frame's last.
    const uint8_t* first = &e.bytes[video[0].position + 8];
    EXPECT_EQ(first[0], pixelByte(0, 0, 1079, 0));
    EXPECT_EQ(first[5], pixelByte(0, 1, 1079, 2));
}

TEST(AviFileSaveFileTest, HeadersFollowTheRateAndTheChosenFormats) {
    struct Case {
        uint32_t rate, scale;
        const wchar_t* video;
        const wchar_t* audio;
        uint32_t microseconds;
        uint16_t bitCount;
        uint32_t compression;
        uint16_t formatTag, bits;
    };
    const Case cases[] = {
        {30, 1, L"RGB24bit", L"PCM16bit", 33333, 24, 0, 1, 16},
        {30000, 1001, L"RGB24bit", L"PCM16bit", 33366, 24, 0, 1, 16},
        {60, 1, L"RGBA32bit", L"PCM(float)32bit", 16666, 32, 0, 3, 32},
        {24, 1, L"YUY2", L"pcm(float)32bit", 41666, 16, fourCC("YUY2"), 1, 16},
        {25, 1, L"RGBA64bit(PA64)", L"PCM16bit", 40000, 64, fourCC("PA64"), 1, 16},
        {25, 1, L"RGBA64bit(HF64)", L"PCM16bit", 40000, 64, fourCC("HF64"), 1, 16},
        {25, 1, L"rgb24", L"PCM16bit", 40000, 24, 0, 1, 16},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(System::wideToUtf8(c.video) + " " + std::to_string(c.rate));
        TestSource source(c.rate, c.scale, 48000);
        const Export e = write("header" + std::to_string(n++) + ".avi", sceneOf(64, 36, c.rate, c.scale, 3), source, {},
                               c.video, c.audio);
        const Chunk avih = find(e.all, Plugin::Avi::kAvih).at(0);
        EXPECT_EQ(get32(&e.bytes[avih.position + 8]), c.microseconds);
        const auto strh = find(e.all, Plugin::Avi::kStrh);
        const auto strf = find(e.all, Plugin::Avi::kStrf);
        ASSERT_EQ(strh.size(), 2u);
        ASSERT_EQ(strf.size(), 2u);
        const uint8_t* vh = &e.bytes[strh[0].position + 8];
        EXPECT_EQ(get32(vh + 4), c.compression);
        EXPECT_EQ(get32(vh + 20), c.scale);
        EXPECT_EQ(get32(vh + 24), c.rate);
        EXPECT_EQ(get32(vh + 32), 3u);  // length
        const uint8_t* vf = &e.bytes[strf[0].position + 8];
        EXPECT_EQ(Plugin::Avi::get16(vf + 14), c.bitCount);
        EXPECT_EQ(get32(vf + 16), c.compression);
        const uint8_t* ah = &e.bytes[strh[1].position + 8];
        const uint32_t align = 2u * c.bits / 8;
        EXPECT_EQ(get32(ah + 4), c.formatTag);
        EXPECT_EQ(get32(ah + 20), align);
        EXPECT_EQ(get32(ah + 24), align * 48000);
        EXPECT_EQ(get32(ah + 32), static_cast<uint32_t>(source.firstSample(3)));  // length in samples
        EXPECT_EQ(get32(ah + 44), align);
        const uint8_t* af = &e.bytes[strf[1].position + 8];
        EXPECT_EQ(Plugin::Avi::get16(af), c.formatTag);
        EXPECT_EQ(Plugin::Avi::get16(af + 12), align);
        EXPECT_EQ(Plugin::Avi::get16(af + 14), c.bits);
        EXPECT_EQ(find(e.all, Plugin::Avi::kVideoChunk).at(0).position % 2048, 0u);
    }
}

TEST(AviFileSaveFileTest, SplitFilesCarryTheExtendedIndexInEveryRiff) {
    TestSource source(30000, 1001, 48000);
    constexpr int32_t kFrames = 40;
    const Export e = write("split.avi", sceneOf(64, 36, 30000, 1001, kFrames), source,
                           [](AviFileSaveFile& job) { job.splitSize = 64 * 1024; });
    std::vector<Chunk> riffs, movis;
    for (const Chunk& c : e.all) {
        if (c.list && c.depth == 0) riffs.push_back(c);
        if (c.list && c.id == Plugin::Avi::kMovi) movis.push_back(c);
    }
    ASSERT_GE(riffs.size(), 3u);
    EXPECT_EQ(riffs[0].id, Plugin::Avi::kAvi);
    for (size_t i = 1; i < riffs.size(); ++i) EXPECT_EQ(riffs[i].id, Plugin::Avi::kAvix) << i;
    ASSERT_EQ(movis.size(), riffs.size());
    // Each movi ends with its two standard indexes.
    for (const Chunk& movi : movis) {
        std::vector<uint32_t> inside;
        for (const Chunk& c : e.all)
            if (c.position > movi.position && c.position < movi.position + 8 + movi.size && c.depth == movi.depth + 1)
                inside.push_back(c.id);
        ASSERT_GE(inside.size(), 2u);
        EXPECT_EQ(inside[inside.size() - 2], Plugin::Avi::kVideoIndex);
        EXPECT_EQ(inside.back(), Plugin::Avi::kAudioIndex);
    }
    const auto idx1 = find(e.all, Plugin::Avi::kIdx1);
    ASSERT_EQ(idx1.size(), 1u);
    EXPECT_LT(idx1[0].position, riffs[1].position);
    EXPECT_EQ(find(e.all, Plugin::Avi::kIndx).size(), 2u);
    const auto odml = find(e.all, Plugin::Avi::kOdml);
    ASSERT_EQ(odml.size(), 1u);
    EXPECT_TRUE(odml[0].list);
    // avih counts the first RIFF's frames; dmlh and both stream lengths count all.
    uint32_t firstRiffFrames = 0;
    for (const Chunk& c : find(e.all, Plugin::Avi::kVideoChunk)) firstRiffFrames += c.position < riffs[1].position;
    const Chunk avih = find(e.all, Plugin::Avi::kAvih).at(0);
    EXPECT_EQ(get32(&e.bytes[avih.position + 8 + 16]), firstRiffFrames);
    EXPECT_LT(firstRiffFrames, static_cast<uint32_t>(kFrames));
    const Chunk dmlh = find(e.all, Plugin::Avi::kDmlh).at(0);
    EXPECT_EQ(get32(&e.bytes[dmlh.position + 8]), static_cast<uint32_t>(kFrames));
    const auto strh = find(e.all, Plugin::Avi::kStrh);
    EXPECT_EQ(get32(&e.bytes[strh[0].position + 8 + 32]), static_cast<uint32_t>(kFrames));
    EXPECT_EQ(get32(&e.bytes[strh[1].position + 8 + 32]), static_cast<uint32_t>(source.firstSample(kFrames)));
    // The super index names one standard index per RIFF with its duration.
    const Chunk indx = find(e.all, Plugin::Avi::kIndx).at(0);
    const uint8_t* super = &e.bytes[indx.position + 8];
    ASSERT_EQ(get32(super + 4), riffs.size());
    uint32_t frames = 0;
    for (uint32_t i = 0; i < riffs.size(); ++i) {
        const uint64_t at = Plugin::Avi::get64(super + 24 + 16 * i);
        EXPECT_EQ(get32(&e.bytes[at]), Plugin::Avi::kVideoIndex);
        EXPECT_EQ(get32(&e.bytes[at + 4]), get32(super + 24 + 16 * i + 8));
        frames += get32(super + 24 + 16 * i + 12);
    }
    EXPECT_EQ(frames, static_cast<uint32_t>(kFrames));
    // Every AVIX movi starts its first chunk on a multiple of 2048 too.
    for (const Chunk& movi : movis) EXPECT_EQ((movi.position + 12) % 2048, 0u);
}

TEST(AviFileSaveFileTest, FfprobeReadsPlainAndSplitFiles) {
    struct Case {
        const char* name;
        uint64_t split;
    };
    for (const Case c : {Case{"probe-plain.avi", AviFileSaveFile::kSplitSize}, Case{"probe-split.avi", 64 * 1024}}) {
        SCOPED_TRACE(c.name);
        TestSource source(30000, 1001, 48000);
        const Export e = write(c.name, sceneOf(64, 36, 30000, 1001, 40), source,
                               [&](AviFileSaveFile& job) { job.splitSize = c.split; });
        EXPECT_EQ(probe(e.path), "64,36,30000/1001,40");
    }
}

TEST(AviFileSaveFileTest, TheHundredthRiffStopsTheExportWithTheFileKept) {
    TestSource source(30, 1, 48000);
    source.width = 16;
    source.height = 8;
    const std::string path = TempFolder::instance().path("limit.avi");
    AviFileSaveFile job(System::utf8ToWide(path), sceneOf(16, 8, 30, 1, 150), &source, L"RGB24bit", L"PCM16bit");
    job.splitSize = 1;
    try {
        job.save();
        FAIL() << "no throw";
    } catch (const std::exception& e) {
        EXPECT_NE(std::string(e.what()).find("exceeded super index entry max."), std::string::npos) << e.what();
    }
    const auto bytes = readBytes(path);
    const auto all = chunks(bytes);
    size_t riffs = 0;
    for (const Chunk& c : all) riffs += c.list && c.depth == 0;
    EXPECT_EQ(riffs, 100u);
    EXPECT_EQ(find(all, Plugin::Avi::kVideoChunk).size(), 100u);
    EXPECT_EQ(source.videoRequests, 100);
    EXPECT_EQ(probe(path), "16,8,30/1,100");
}

TEST(AviFileSaveFileTest, AnAbortEndsWithACompleteShorterFile) {
    TestSource source(30, 1, 48000);
    const std::string path = TempFolder::instance().path("abort.avi");
    AviFileSaveFile job(System::utf8ToWide(path), sceneOf(64, 36, 30, 1, 20), &source, L"RGB24bit", L"PCM16bit");
    source.onFrame = [&](int32_t frame) {
        if (frame == 4) job.abort = true;
    };
    EXPECT_TRUE(job.save());
    EXPECT_EQ(probe(path), "64,36,30/1,5");
}

// The same file whether the writer packs the 24-bit rows itself or writes the
// rows a source packed, in place or from rows further apart.
TEST(AviFileSaveFileTest, FramesThatCouldNotBeRenderedKeepTheirChunksAndAreReported) {
    struct Case {
        const char* name;
        bool packing;
        uint32_t padding;
    };
    const Case cases[] = {{"rows packed by the writer", false, 0},
                          {"rows packed by the source", true, 0},
                          {"rows packed by the source with a wider pitch", true, 32}};
    std::vector<std::vector<uint8_t>> files;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const bool packing = c.packing;
        TestSource plain(30000, 1001, 48000);
        PackingSource packer(30000, 1001, 48000);
        packer.padding = c.padding;
        TestSource& source = packing ? packer : plain;
        source.failVideo = {0, 3};
        source.failAudio = {2};
        const std::string path = TempFolder::instance().path("missing-" + std::to_string(files.size()) + ".avi");
        AviFileSaveFile job(System::utf8ToWide(path), sceneOf(64, 36, 30000, 1001, 6), &source, L"RGB24bit",
                            L"PCM16bit");
        EXPECT_THROW(job.save(), std::runtime_error);
        EXPECT_EQ(packer.packedRequests, packing ? 6 : 0);
        EXPECT_EQ(job.repeatedFrames, 2);
        EXPECT_EQ(job.silentFrames, 1);
        const auto bytes = readBytes(path);
        const auto all = chunks(bytes);
        const auto video = find(all, Plugin::Avi::kVideoChunk);
        const auto audio = find(all, Plugin::Avi::kAudioChunk);
        ASSERT_EQ(video.size(), 6u);
        ASSERT_EQ(audio.size(), 6u);
        const uint32_t size = video[0].size;
        const auto data = [&](const Chunk& c) {
            return std::vector<uint8_t>(bytes.begin() + c.position + 8, bytes.begin() + c.position + 8 + c.size);
        };
        EXPECT_EQ(data(video[0]), std::vector<uint8_t>(size, 0));  // nothing before it: black
        EXPECT_EQ(data(video[3]), data(video[2]));                 // the previous picture again
        EXPECT_NE(data(video[2]), data(video[1]));
        EXPECT_EQ(audio[2].size, 4u * (source.firstSample(3) - source.firstSample(2)));
        EXPECT_EQ(data(audio[2]), std::vector<uint8_t>(audio[2].size, 0));
        const auto strh = find(all, Plugin::Avi::kStrh);
        EXPECT_EQ(get32(&bytes[strh[1].position + 8 + 32]), static_cast<uint32_t>(source.firstSample(6)));
        files.push_back(bytes);
    }
    ASSERT_EQ(files.size(), 3u);
    EXPECT_TRUE(files[0] == files[1]);
    EXPECT_TRUE(files[0] == files[2]);
}

TEST(AviFileSaveFileTest, AFailedWriteLeavesNoFile) {
    TestSource source(30, 1, 48000);
    const std::string path = TempFolder::instance().path("no-such-folder/out.avi");
    AviFileSaveFile job(System::utf8ToWide(path), sceneOf(64, 36, 30, 1, 2), &source, L"RGB24bit", L"PCM16bit");
    EXPECT_THROW(job.save(), std::runtime_error);
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST(AviFileSaveTest, SettingsChooseTheJobsFormatsAndTheText) {
    Plugin::AviFileSave plugin;
    plugin.initSetting(0);
    EXPECT_EQ(plugin.name, L"AVIファイル出力");
    EXPECT_EQ(plugin.flags, 5);
    EXPECT_EQ(plugin.getSettingText(), L"Video: RGB24bit / Audio: PCM16bit");
    plugin.videoType = L"YUY2";
    plugin.audioType = L"PCM(float)32bit";
    EXPECT_EQ(plugin.getSettingText(), L"Video: YUY2 / Audio: PCM(float)32bit");
    TestSource source(30, 1, 48000);
    auto job = std::dynamic_pointer_cast<AviFileSaveFile>(
        plugin.createOutputFile(L"/tmp/x.avi", sceneOf(64, 36, 30, 1, 2), &source));
    ASSERT_TRUE(job);
    EXPECT_EQ(job->videoFormat, Media::PixelFormat::kYuy2);
    EXPECT_EQ(job->formatTag, 3);
    EXPECT_EQ(job->bitsPerSample, 32);
    EXPECT_TRUE(job->notify);
}

}  // namespace
