// Objects made from media files in the running program's services: the
// effect service picks the source effect by what the file holds, and the
// source takes the file (a movie and a sound fit the object to their length).
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "ProgramDataFixture.h"
#include "app/Application.h"
#include "core/FileName.h"
#include "core/TextConvert.h"
#include "edit/EditService.h"
#include "edit/Object.h"
#include "edit/ObjectCreateCommands.h"
#include "edit/Scene.h"
#include "effect/EffectBase.h"
#include "effect/EffectService.h"
#include "support/FfmpegFiles.h"
#include "support/ScriptedBoxes.h"

namespace fs = std::filesystem;

namespace {

class ObjectFromFile : public ProgramDataFixture {
protected:
    ObjectFromFile() : ProgramDataFixture("fromfile") {}
};

TEST_F(ObjectFromFile, SourceEffectLengthAndLayerFollowTheFile) {
    FfmpegFiles& ffmpeg = FfmpegFiles::instance();
    const std::string movie =
        ffmpeg.make("two-seconds.mp4", "-f lavfi -i testsrc=duration=2:size=64x48:rate=30 -pix_fmt yuv420p");
    const std::string image = ffmpeg.make("still.png", "-f lavfi -i testsrc=size=64x48 -frames:v 1");
    const std::string still =
        ffmpeg.make("one-frame.mp4", "-f lavfi -i testsrc=size=64x48:rate=30 -frames:v 1 -pix_fmt yuv420p");
    const std::string sound = ffmpeg.make("one-second.wav", "-f lavfi -i sine=duration=1:sample_rate=48000");
    ASSERT_FALSE(movie.empty() || image.empty() || still.empty() || sound.empty()) << "ffmpeg could not make the files";
    const fs::path figure = root / "shape.svg";
    std::ofstream(figure) << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"32\" height=\"32\">"
                             "<rect width=\"32\" height=\"32\" fill=\"#ff0000\"/></svg>";
    const fs::path text = root / "notes.txt";
    std::ofstream(text) << "no media";
    // Named as a figure, but no SVG: supported by its name, then no reader takes it.
    const fs::path broken = root / "broken.svg";
    std::ofstream(broken) << "not a drawing";

    struct Case {
        std::string path;
        int32_t layer;
        const wchar_t* source;
        std::string expected;  // layer, frames and chain
    };
    const std::vector<Case> cases = {
        {movie, 0, L"動画ファイル", "0 0..59 動画ファイル,映像再生"},
        {image, 1, L"画像ファイル", "1 0..80 画像ファイル,標準描画"},
        {sound, 2, L"音声ファイル", "2 0..29 音声ファイル,音声再生"},
        {figure.string(), 3, L"図形", "3 0..80 図形,標準描画"},
        // A movie of one frame is shown as a picture.
        {still, 4, L"画像ファイル", "4 0..80 画像ファイル,標準描画"},
    };
    std::vector<std::string> made, supported;
    std::wstring forText = L"?", forBroken = L"?";
    ScriptedBoxes boxes;
    App::Steps steps = App::programSteps();
    steps.run = [&] {
        const Effect::EffectService& effects = *Effect::EffectService::get();
        for (const Case& c : cases) {
            const std::wstring path = System::utf8ToWide(c.path);
            supported.push_back(effects.isSupportedFile(path) ? "yes" : "no");
            const std::wstring source = effects.getInputEffectForFile(path);
            EXPECT_EQ(source, c.source) << c.path;
            if (source.empty()) continue;
            auto object = Edit::EditCommand::createObject(source, c.layer, 0, Edit::EditCommand::passFile(path));
            std::string line = std::to_string(object->layer) + " " + std::to_string(object->start) + ".." +
                               std::to_string(object->end) + " ";
            for (size_t i = 0; i < object->effects.size(); ++i)
                line += (i ? "," : "") + System::wideToUtf8(object->effects[i]->name);
            made.push_back(line);
        }
        forText = effects.getInputEffectForFile(System::utf8ToWide(text.string()));
        supported.push_back(effects.isSupportedFile(System::utf8ToWide(text.string())) ? "yes" : "no");
        forBroken = effects.getInputEffectForFile(System::utf8ToWide(broken.string()));
        supported.push_back(effects.isSupportedFile(System::utf8ToWide(broken.string())) ? "yes" : "no");
    };
    EXPECT_EQ(App::run(steps), 0);
    std::vector<std::string> expected;
    for (const Case& c : cases) expected.push_back(c.expected);
    EXPECT_EQ(made, expected);
    EXPECT_EQ(supported, (std::vector<std::string>{"yes", "yes", "yes", "yes", "yes", "no", "yes"}));
    EXPECT_EQ(forText, L"");
    EXPECT_EQ(forBroken, L"");
    EXPECT_TRUE(boxes.shown.empty()) << boxes.shown.front().text;
}

}  // namespace
