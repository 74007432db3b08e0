#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <shared_mutex>
#include <string>
#include <vector>

#include "core/ServiceHolder.h"
#include "core/TextConvert.h"
#include "edit/Object.h"
#include "edit/Project.h"
#include "edit/Scene.h"
#include "edit/UpdateSection.h"
#include "effects/AudioLoad.h"
#include "effects/MovieLoad.h"
#include "media/image/ImageService.h"
#include "plugin/GeneratedMedia.h"
#include "plugin/InputService.h"

namespace {

std::wstring wide(const std::string& text) { return System::utf8ToWide(text); }

// Ten seconds at 30/1, 64 x 48, with or without a 48 kHz mono sound.
std::string tenSeconds(bool withSound) {
    return withSound ? GeneratedMedia::instance().make(
                           "ten.mp4",
                           "-f lavfi -i testsrc2=s=64x48:r=30:d=10 -f lavfi -i "
                           "sine=sample_rate=48000:duration=10 -c:v libx264 -pix_fmt yuv420p -c:a aac "
                           "-ac 1 -shortest")
                     : GeneratedMedia::instance().make(
                           "silent.mp4", "-f lavfi -i testsrc2=s=64x48:r=30:d=10 -c:v libx264 -pix_fmt yuv420p");
}

class MovieSourceTest : public testing::Test {
protected:
    void SetUp() override {
        scene->videoRate = 30;
        scene->videoScale = 1;
        object = scene->createObject(0, 0, 99);
        scene->update();
    }

    // A file dropped on the object, in an edit scope; the object's length after.
    int32_t drop(Effect::EffectBase& source, const std::string& path) {
        {
            Edit::UpdateSection scope(lock, scene, nullptr);
            Effect::ItemEvent event;
            event.kind = Effect::ItemEvent::kFileGiven;
            event.scope = &scope;
            event.object = object;
            event.path = wide(path);
            EXPECT_TRUE(source.itemEvent(event));
        }
        return object->end - object->start + 1;
    }

    System::ServiceHolder<Media::ImageService> images;
    System::ServiceHolder<Plugin::InputService> input;
    std::shared_ptr<Edit::Scene> scene = std::make_shared<Edit::Scene>(0, 0);
    std::shared_ptr<Edit::Object> object;
    std::shared_mutex lock;
};

TEST_F(MovieSourceTest, ADroppedFileFitsTheObjectToItsLength) {
    const std::string path = tenSeconds(true);
    ASSERT_FALSE(path.empty()) << "ffmpeg could not make the file";
    struct Case {
        double speed;
        int32_t frames;
    };
    // 10 s at 200 % is lround(5 x 30 / 1) frames; below 10 % the length stays.
    for (const Case c : {Case{100, 300}, Case{200, 150}, Case{-50, 600}, Case{10, 3000}, Case{9.99, 100}}) {
        SCOPED_TRACE(c.speed);
        object->end = object->start + 99;
        Effect::MovieLoad source;
        source.playSpeed.setValue(c.speed, 0);
        EXPECT_EQ(drop(source, path), c.frames);
        EXPECT_EQ(source.file.path, wide(path));
        EXPECT_NEAR(source.movie.length, 10, 0.05);
        EXPECT_EQ(source.playPosition.keyValue(0), 0);
    }
}

TEST_F(MovieSourceTest, TheMovieNotesWhetherItsFileHasSound) {
    for (const bool withSound : {true, false}) {
        SCOPED_TRACE(withSound);
        const std::string path = tenSeconds(withSound);
        ASSERT_FALSE(path.empty());
        Effect::MovieLoad source;
        drop(source, path);
        EXPECT_EQ(source.hasAudio.value, withSound ? 1 : 0);
        EXPECT_EQ(source.hasLinkedAudio(0), withSound);
        EXPECT_FALSE(source.hasLinkedAudio(1));
    }
}

TEST_F(MovieSourceTest, AnAudioSourceProbesTheSoundsLength) {
    const std::string path = tenSeconds(true);
    ASSERT_FALSE(path.empty());
    Effect::AudioLoad source;
    EXPECT_EQ(drop(source, path), 300);
    EXPECT_TRUE(source.movie.hasAudio);
    EXPECT_NEAR(source.movie.length, 10, 0.05);
    EXPECT_EQ(source.getDisplayName(), wide(std::filesystem::path(path).filename().string()));
}

// A file chosen for the source that no reader can open as the source's kind
// is refused with a message instead of leaving a silent, empty object.
TEST_F(MovieSourceTest, AnEditedFileNoReaderOpensIsRefusedWithAMessage) {
    const std::filesystem::path folder = GeneratedMedia::instance().folder();
    { std::ofstream(folder / "notes.txt") << "text"; }
    { std::ofstream(folder / "fake.mp4") << "not a movie"; }
    const std::string silent = tenSeconds(false);
    ASSERT_FALSE(silent.empty());
    std::vector<std::wstring> posted;
    const auto previous = Edit::Project::setErrorPoster([&](const std::wstring& text) { posted.push_back(text); });
    const struct Case {
        const char* what;
        bool audio;
        std::string path;
    } cases[] = {
        {"a text file as a movie", false, (folder / "notes.txt").string()},
        {"a file that is no movie", false, (folder / "fake.mp4").string()},
        {"a missing movie", false, (folder / "missing.mp4").string()},
        {"a movie without sound as a sound", true, silent},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        posted.clear();
        Effect::MovieLoad movie;
        Effect::AudioLoad sound;
        Effect::EffectBase& source = c.audio ? static_cast<Effect::EffectBase&>(sound) : movie;
        Effect::EffectItemFile& file = c.audio ? sound.file : movie.file;
        file.path = wide(c.path);
        Effect::ItemEvent event;
        event.kind = Effect::ItemEvent::kItemChanged;
        event.item = &file;
        EXPECT_FALSE(source.itemEvent(event));
        EXPECT_TRUE(file.path.empty());
        ASSERT_EQ(posted.size(), 1u);
        EXPECT_EQ(posted[0], L"このファイルには対応していません");
    }
    Edit::Project::setErrorPoster(previous);
}

// A file that could not be opened is tried again: once it is there it plays.
TEST_F(MovieSourceTest, AFileThatWasMissingIsProbedAgain) {
    const std::string made = tenSeconds(true);
    ASSERT_FALSE(made.empty());
    const std::filesystem::path later = GeneratedMedia::instance().folder() / "later.mp4";
    Effect::MovieLoad source;
    source.file.path = wide(later.string());
    EXPECT_FALSE(source.movie.checkMedia());
    std::filesystem::copy_file(made, later);
    EXPECT_TRUE(source.movie.checkMedia());
    EXPECT_TRUE(source.movie.hasVideo);
    EXPECT_NEAR(source.movie.length, 10, 0.05);
}

TEST_F(MovieSourceTest, TheFileInformationDescribesTheStreams) {
    const std::string path = tenSeconds(true);
    ASSERT_FALSE(path.empty());
    Effect::MovieLoad source;
    source.file.path = wide(path);
    const std::string text = System::wideToUtf8(source.movie.fileInformation());
    EXPECT_EQ(text.rfind(path + "\nTotalTime: ", 0), 0u) << text;
    EXPECT_NE(text.find("\nVideo: 64 x 48 / 30fps / "), std::string::npos) << text;
    EXPECT_NE(text.find("\nAudio: 48khz / 1ch / "), std::string::npos) << text;
    EXPECT_NE(text.find("\nPlugin: "), std::string::npos) << text;

    source.file.path = L"/nowhere/missing.mp4";
    EXPECT_EQ(source.movie.fileInformation(), L"/nowhere/missing.mp4");
    source.file.path.clear();
    EXPECT_EQ(source.movie.fileInformation(), L"");
}

// A click on the file row (item event 100) shows the information in the tip.
TEST_F(MovieSourceTest, TheInformationRequestShowsTheFileInformationInTheTip) {
    const std::string path = tenSeconds(true);
    ASSERT_FALSE(path.empty());
    std::vector<std::wstring> shown;
    const auto previous = Edit::Scene::setInfoTipShow([&](const std::wstring& text) { shown.push_back(text); });
    Effect::MovieLoad source;
    Effect::ItemEvent event;
    event.kind = Effect::ItemEvent::kFileInformation;
    EXPECT_FALSE(source.itemEvent(event)) << "no file: nothing to tell";
    EXPECT_TRUE(shown.empty());
    source.file.path = wide(path);
    EXPECT_TRUE(source.itemEvent(event));
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0], source.movie.fileInformation());
    Edit::Scene::setInfoTipShow(previous);
}

}  // namespace
