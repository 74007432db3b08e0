#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>

#include "core/ErrorPresenter.h"
#include "core/ServiceHolder.h"
#include "core/TextConvert.h"
#include "media/audio/AudioBlockBuffer.h"
#include "media/image/ImageBuffer.h"
#include "media/image/ImageService.h"
#include "plugin/GeneratedMedia.h"
#include "plugin/InputFile.h"
#include "plugin/InputPlugin.h"
#include "plugin/InputService.h"
#include "support/LogCapture.h"

namespace {

using namespace std::string_literals;

std::wstring wide(const std::string& s) { return System::utf8ToWide(s); }

const std::string& mediaFile(const std::string& name) {
    static std::map<std::string, std::string> files;
    if (auto it = files.find(name); it != files.end()) return it->second;
    static const std::map<std::string, std::string> recipes = {
        {"red.png", "-f lavfi -i color=red:s=16x8 -frames:v 1"},
        {"red.jpg", "-f lavfi -i color=red:s=16x8 -frames:v 1"},
        {"red.bmp", "-f lavfi -i color=red:s=16x8 -frames:v 1"},
        {"red.gif", "-f lavfi -i color=red:s=16x8 -frames:v 1"},
        {"tone.wav", "-f lavfi -i sine=frequency=440:sample_rate=8000:duration=1.5 -ac 1"},
        {"tone.mp3", "-f lavfi -i sine=frequency=440:sample_rate=44100:duration=1.5"},
        {"clip.mp4",
         "-f lavfi -i testsrc2=s=64x48:r=30:d=2 -f lavfi -i sine=sample_rate=48000:duration=2 -c:v libx264 "
         "-pix_fmt yuv420p -c:a aac -shortest"},
        {"clip.avi",
         "-f lavfi -i testsrc2=s=64x48:r=30:d=2 -f lavfi -i sine=sample_rate=48000:duration=2 -c:v rawvideo "
         "-pix_fmt bgr24 -c:a pcm_s16le -ac 2"},
    };
    return files[name] = GeneratedMedia::instance().make(name, recipes.at(name));
}

class InputServiceTest : public testing::Test {
protected:
    System::ServiceHolder<Media::ImageService> images;
    System::ServiceHolder<Plugin::InputService> holder;
    Plugin::InputService& service() { return *holder.get(); }
};

TEST_F(InputServiceTest, BuiltInReadersOpenEveryKindTheyClaim) {
    struct Case {
        const char* file;
        int32_t type;
        int32_t flags;
        int32_t width, height;
        const char* reader;
    };
    const Case cases[] = {
        {"red.png", 1, 1, 16, 8, "WIC image file reader"},
        {"red.jpg", 1, 1, 16, 8, "WIC image file reader"},
        {"red.bmp", 1, 1, 16, 8, "WIC image file reader"},
        {"red.gif", 1, 1, 16, 8, "WIC image file reader"},
        {"tone.wav", 2, 2, 0, 0, "Media Foundation file reader"},
        {"tone.mp3", 2, 2, 0, 0, "Media Foundation file reader"},
        {"clip.mp4", 1, 3, 64, 48, "Media Foundation file reader"},
        {"clip.mp4", 2, 3, 64, 48, "Media Foundation file reader"},
        {"clip.avi", 1, 3, 64, 48, "AVI/AVI2 File Reader"},
        {"clip.avi", 2, 3, 64, 48, "AVI/AVI2 File Reader"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.file) + " as " + std::to_string(c.type));
        const std::string& path = mediaFile(c.file);
        ASSERT_FALSE(path.empty()) << "ffmpeg could not make the file";
        const auto file = service().getInputFile(wide(path), c.type);
        ASSERT_TRUE(file);
        EXPECT_EQ(file->info.flags, c.flags);
        EXPECT_EQ(file->info.width, c.width);
        EXPECT_EQ(file->info.height, c.height);
        ASSERT_NE(file->plugin, nullptr);
        EXPECT_EQ(file->plugin->name, wide(c.reader));
        if (c.type == 1) {
            const auto image = file->readVideo(0);
            ASSERT_TRUE(image);
            EXPECT_EQ(image->width, static_cast<uint32_t>(c.width));
        } else {
            const auto block = file->readAudio(0);
            ASSERT_TRUE(block);
            EXPECT_EQ(block->samples, file->info.sampleRate);
        }
    }
}

TEST_F(InputServiceTest, StillImageIsOneFrameAtOnePerSecondWhateverFrameIsAsked) {
    const auto file = service().getInputFile(wide(mediaFile("red.png")), 1);
    ASSERT_TRUE(file);
    EXPECT_EQ(file->info.frameCount, 1);
    EXPECT_EQ(file->info.rate, 1u);
    EXPECT_EQ(file->info.scale, 1u);
    for (int32_t frame : {0, 7, -3}) {
        const auto image = file->readVideo(frame);
        ASSERT_TRUE(image);
        EXPECT_GE(image->data()[0], 250);  // red
    }
    EXPECT_EQ(service().openFileCount(), 0u);  // still images are not kept open
}

TEST_F(InputServiceTest, FailuresAreLoggedAndGiveNoFile) {
    std::filesystem::path odd = GeneratedMedia::instance().folder() / "notes.xyz";
    std::filesystem::path fake = GeneratedMedia::instance().folder() / "fake.mp4";
    { std::ofstream(odd) << "x"; }
    { std::ofstream(fake) << "not a movie"; }
    struct Case {
        std::string path;
        int32_t type;
        const char* logged;
    };
    const Case cases[] = {
        {mediaFile("tone.wav"), 1, "file is no video."},
        {mediaFile("red.png"), 2, "not supported file."},
        {odd.string(), 1, "not supported file."},
        {fake.string(), 1, "can not open file."},
        {mediaFile("tone.wav"), 3, nullptr},
        {"", 1, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path + " as " + std::to_string(c.type));
        LogCapture log;
        EXPECT_FALSE(service().getInputFile(wide(c.path), c.type));
        if (c.logged == nullptr) continue;
        const bool found = std::any_of(log.lines.begin(), log.lines.end(), [&](const LogCapture::Line& line) {
            return line.message.find(c.logged) != std::string::npos;
        });
        EXPECT_TRUE(found);
    }
}

TEST_F(InputServiceTest, TheTwentyFirstOpenFileClosesTheLeastRecentlyUsed) {
    const std::filesystem::path source = mediaFile("tone.wav");
    std::vector<std::wstring> paths;
    for (int i = 0; i < 21; ++i) {
        const auto copy = GeneratedMedia::instance().folder() / ("copy" + std::to_string(i) + ".wav");
        std::filesystem::copy_file(source, copy, std::filesystem::copy_options::overwrite_existing);
        paths.push_back(wide(copy.string()));
    }
    ASSERT_EQ(service().fileHandleMax(), 20);
    for (const auto& path : paths) ASSERT_TRUE(service().getInputFile(path, 2));
    EXPECT_EQ(service().openFileCount(), 20u);
    const auto opens = [&](const std::wstring& path) {
        LogCapture log;
        EXPECT_TRUE(service().getInputFile(path, 2));
        return std::count_if(log.lines.begin(), log.lines.end(), [](const LogCapture::Line& line) {
            return line.message.find("open media file [") != std::string::npos;
        });
    };
    EXPECT_EQ(opens(paths[20]), 0);  // still open
    EXPECT_EQ(opens(paths[0]), 1);   // closed as the least recently used, opened again
    EXPECT_EQ(opens(paths[1]), 1);   // the next least recently used made room for it
    service().clearFileCache();
    EXPECT_EQ(service().openFileCount(), 0u);
}

TEST_F(InputServiceTest, CapitalExtensionsAndPercentSignsOpenLikeAnyOtherPath) {
    const auto folder = GeneratedMedia::instance().folder();
    for (const char* name : {"LOUD.WAV", "100% tone.wav", "%Plugin%.wav"}) {
        SCOPED_TRACE(name);
        std::filesystem::copy_file(mediaFile("tone.wav"), folder / name,
                                   std::filesystem::copy_options::overwrite_existing);
        EXPECT_TRUE(service().getInputFile(wide((folder / name).string()), 2));
    }
}

// A reader made up for the test: claims mp4 (or its own list) and either
// refuses every file or opens it as audio only.
class ScriptedReader : public Plugin::InputPlugin {
public:
    ScriptedReader(const wchar_t* readerName, bool refuses) : refuses_(refuses) {
        name = readerName;
        filter = L"Mp4File (*.mp4)\0*.mp4\0Mp4File (*.m4v)\0*.m4v\0\0"s;
        flags = kVideo | kAudio;
    }
    std::shared_ptr<Plugin::InputFile> open(const std::wstring&) override {
        ++opens;
        if (refuses_) return nullptr;
        auto file = std::make_shared<Plugin::InputFile>();
        file->info.flags = Plugin::InputFile::kAudio;
        file->info.sampleRate = 1000;
        return file;
    }
    int opens = 0;

private:
    bool refuses_;
};

TEST_F(InputServiceTest, PluginsOfOneExtensionAreTriedInPriorityOrder) {
    auto* refusing = static_cast<ScriptedReader*>(
        service().registerPlugin("ScriptedReader", [] { return std::make_shared<ScriptedReader>(L"refusing", true); }));
    ASSERT_NE(refusing, nullptr);
    refusing->setPriority(-1);
    service().updateExtTypeList();
    const auto& list = service().videoTable().at(L"mp4");
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0]->name, L"refusing");
    const auto file = service().getInputFile(wide(mediaFile("clip.mp4")), 1);
    ASSERT_TRUE(file);
    EXPECT_EQ(refusing->opens, 1);
    EXPECT_EQ(file->plugin->name, L"Media Foundation file reader");
}

TEST_F(InputServiceTest, AFileFirstOpenedForItsAudioStillOpensForItsVideo) {
    // An audio-only reader comes first for mp4: its file has no video.
    auto* audioOnly = service().registerPlugin("ScriptedReader",
                                               [] { return std::make_shared<ScriptedReader>(L"audio only", false); });
    ASSERT_NE(audioOnly, nullptr);
    audioOnly->setPriority(-1);
    service().updateExtTypeList();
    const std::wstring path = wide(mediaFile("clip.mp4"));
    const auto sound = service().getInputFile(path, 2);
    ASSERT_TRUE(sound);
    EXPECT_EQ(sound->plugin, audioOnly);
    // The audio-only reader now claims other files: the video request opens the
    // file again through the video readers instead of taking the open audio file.
    audioOnly->setExtList(L"m4v");
    service().updateExtTypeList();
    const auto video = service().getInputFile(path, 1);
    ASSERT_TRUE(video);
    EXPECT_TRUE(video->info.flags & Plugin::InputFile::kVideo);
    EXPECT_EQ(service().getInputFile(path, 2), sound);  // the audio file stays open beside it
}

TEST_F(InputServiceTest, ExtTextReplacesTheFiltersExtensions) {
    struct Case {
        std::wstring text;
        std::wstring stored;
        std::vector<std::wstring> extensions;
    };
    const Case cases[] = {
        {L"", L"", {L"mp4", L"m4v"}},
        {L"mp4,m4v", L"", {L"mp4", L"m4v"}},  // the default is not written out
        {L"m4v,mp4", L"m4v,mp4", {L"m4v", L"mp4"}},
        {L"avi,mkv", L"avi,mkv", {L"avi", L"mkv"}},
        {L"avi,,", L"avi,,", {L"avi", L"", L""}},
    };
    ScriptedReader reader(L"scripted", true);
    for (const Case& c : cases) {
        reader.setExtList(c.text);
        EXPECT_EQ(reader.extText(), c.stored);
        EXPECT_EQ(reader.getExtList(), c.extensions);
    }
}

// A reader that opens the file without the stream asked for hands it on to
// the next reader of the extension, and a file known to lack the stream is
// not opened again for each request (a movie without sound is asked for its
// sound on every frame).
TEST_F(InputServiceTest, AFileWithoutTheStreamAskedForIsHandedOnAndRemembered) {
    // A real movie without sound, asked for its sound again and again.
    const std::string silent =
        GeneratedMedia::instance().make("silent.mp4", "-f lavfi -i testsrc2=s=64x48:r=30:d=1 -c:v libx264 "
                                                      "-pix_fmt yuv420p");
    ASSERT_FALSE(silent.empty());
    LogCapture log;
    for (int i = 0; i < 10; ++i) EXPECT_FALSE(service().getInputFile(wide(silent), 2));
    ASSERT_TRUE(service().getInputFile(wide(silent), 1));
    for (int i = 0; i < 10; ++i) EXPECT_TRUE(service().getInputFile(wide(silent), 1));
    const auto opens = std::count_if(log.lines.begin(), log.lines.end(), [&](const LogCapture::Line& line) {
        return line.message.find("open media file [" + silent + "]") != std::string::npos;
    });
    EXPECT_EQ(opens, 2) << "once for the sound it lacks, once for its video";

    auto* audioOnly = static_cast<ScriptedReader*>(service().registerPlugin(
        "ScriptedReader", [] { return std::make_shared<ScriptedReader>(L"audio only", false); }));
    ASSERT_NE(audioOnly, nullptr);
    audioOnly->setPriority(-1);
    service().updateExtTypeList();
    const std::wstring movie = wide(mediaFile("clip.mp4"));
    const auto video = service().getInputFile(movie, 1);
    ASSERT_TRUE(video) << "the next reader gives the video";
    EXPECT_EQ(video->plugin->name, L"Media Foundation file reader");
    EXPECT_EQ(audioOnly->opens, 1);

    // Only the audio-only reader claims m4v: its file has no video.
    const std::filesystem::path only = GeneratedMedia::instance().folder() / "sound.m4v";
    { std::ofstream(only) << "x"; }
    for (int i = 0; i < 5; ++i) EXPECT_FALSE(service().getInputFile(wide(only.string()), 1));
    EXPECT_EQ(audioOnly->opens, 2) << "the missing video is learnt once";
    EXPECT_TRUE(service().getInputFile(wide(only.string()), 2)) << "the audio still opens";
    const int afterAudio = audioOnly->opens;
    service().clearFileCache();
    EXPECT_FALSE(service().getInputFile(wide(only.string()), 1));
    EXPECT_EQ(audioOnly->opens, afterAudio + 1) << "a cleared cache looks again";
}

TEST_F(InputServiceTest, FiltersListEveryExtensionOfTheirTable) {
    struct Case {
        const std::wstring& filter;
        const wchar_t* title;
        std::vector<std::wstring> patterns;
    };
    const Case cases[] = {
        {service().imageFilter(), L"ImageFile", {L"*.png", L"*.jpg", L"*.bmp", L"*.gif"}},
        {service().audioFilter(), L"AudioFile", {L"*.avi", L"*.mp4", L"*.mpg", L"*.wav", L"*.mp3"}},
        {service().videoFilter(),
         L"VideoFile",
         {L"*.png", L"*.jpg", L"*.bmp", L"*.gif", L"*.avi", L"*.mp4", L"*.mpg", L"*.wav", L"*.mp3"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(System::wideToUtf8(c.title));
        const std::wstring& f = c.filter;
        ASSERT_GE(f.size(), 2u);
        EXPECT_EQ(f.back(), L'\0');
        EXPECT_EQ(std::count(f.begin(), f.end(), L'\0'), 2);
        const std::wstring description = f.substr(0, f.find(L'\0'));
        const std::wstring patterns = f.substr(description.size() + 1, f.size() - description.size() - 2);
        EXPECT_EQ(description, std::wstring(c.title) + L" (" + patterns + L")");
        size_t count = 0;
        for (const auto& p : c.patterns) {
            EXPECT_NE(patterns.find(p), std::wstring::npos) << System::wideToUtf8(p);
            ++count;
        }
        EXPECT_EQ(static_cast<size_t>(std::count(patterns.begin(), patterns.end(), L';')) + 1, count);
    }
}

std::wstring presented;
void remember(const std::wstring& text) { presented = text; }

TEST_F(InputServiceTest, AFailedRegistrationIsShownAndLeavesThePluginOut) {
    const auto previous = System::setErrorPresenter(remember);
    const size_t before = service().plugins().size();
    EXPECT_EQ(service().registerPlugin("BrokenReader",
                                       []() -> std::shared_ptr<Plugin::InputPlugin> {
                                           throw std::runtime_error("library missing");
                                       }),
              nullptr);
    System::setErrorPresenter(previous);
    EXPECT_EQ(service().plugins().size(), before);
    EXPECT_EQ(presented, L"failed to register input plugin. [BrokenReader]\n\nlibrary missing");
}

}  // namespace
