// The example plug-ins in the running program: dropped into the plug-in
// folder before the start, found by the services as the program starts; a
// project with a movie of the raw format renders the movie's frames, and an
// export through the raw writer gives back the movie's bytes. Once with the
// plug-ins as libraries and once as older plug-ins run by the hosts.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "RawMedia.h"
#include "app/Application.h"
#include "core/FileName.h"
#include "core/TextConvert.h"
#include "edit/EditService.h"
#include "edit/Object.h"
#include "edit/Project.h"
#include "edit/Scene.h"
#include "effect/EffectBase.h"
#include "effect/EffectItem.h"
#include "media/gpu/RenderBuffer.h"
#include "media/image/ImageBuffer.h"
#include "media/image/PixelFormat.h"
#include "platform/window/Message.h"
#include "platform/window/MessageQueue.h"
#include "plugin/InputPlugin.h"
#include "plugin/InputService.h"
#include "plugin/OutputPlugin.h"
#include "plugin/OutputService.h"
#include "render/RenderService.h"
#include "support/ScriptedBoxes.h"
#include "support/ScriptedFiles.h"

namespace fs = std::filesystem;

namespace {

class ProgramPlugins : public testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/velmo-plugins-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        root = pattern;
        setenv("XDG_DATA_HOME", (root / "xdg").c_str(), 1);
        unsetenv("VELMO_EXAMPLE_FAULT");
        // The program and its host programs in the build's folder, as installed.
        System::FileName::resetVariableList(System::utf8ToWide((fs::current_path() / "velmo2").string()));
        plugins = System::wideToUtf8(System::FileName::getExpandedPath(L"%Plugin%"));
        fs::create_directories(plugins);
    }
    void TearDown() override {
        System::FileName::resetVariableList();
        fs::remove_all(root);
    }
    static std::wstring wide(const fs::path& path) { return System::utf8ToWide(path.string()); }

    static void dispatchUntilTheExportEnds(const Plugin::OutputService& output) {
        namespace W = Platform::window;
        while (output.isRunning()) {
            W::Message message{};
            bool any = false;
            while (W::peekMessage(message, nullptr, 0, 0, W::kPmRemove)) {
                any = true;
                W::translateMessage(message);
                W::dispatchMessage(message);
            }
            if (!any && output.isRunning()) W::waitMessage();
        }
    }

    fs::path root;
    fs::path plugins;
};

TEST_F(ProgramPlugins, ARawMovieRendersItsFramesAndExportsBackByteForByte) {
    struct Case {
        const char* input;
        const char* output;
    } cases[] = {{"RawIn.vin2", "RawOut.vou2"}, {"RawIn.vin", "RawOut.vou"}};
    // Three 64 x 48 frames and their 0.1 s of sound at the scene's rate.
    const RawMedia movie = RawMedia::make(64, 48, 24, 3, 48000, 4800);
    const fs::path moviePath = root / "movie.vraw";
    movie.write(moviePath);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.input);
        fs::remove_all(plugins);
        fs::create_directories(plugins);
        fs::copy_file(VELMO_TEST_EXAMPLE_INPUT, plugins / c.input);
        fs::copy_file(VELMO_TEST_EXAMPLE_OUTPUT, plugins / c.output);
        const fs::path exported = root / (std::string(c.output) + ".vraw");
        ScriptedBoxes boxes;
        ScriptedFiles files;
        std::vector<std::wstring> readers, writers;
        std::vector<std::shared_ptr<Media::ImageBuffer>> rendered;
        bool succeeded = false;
        App::Steps steps = App::programSteps();
        steps.run = [&] {
            for (const auto& plugin : Plugin::InputService::get()->plugins()) readers.push_back(plugin->name);
            Plugin::OutputService& output = *Plugin::OutputService::get();
            for (const auto& plugin : output.plugins()) writers.push_back(plugin->name);
            const fs::path project = root / "movie.vpj2";
            {
                Edit::Project model;
                auto scene = model.getOrCreateScene(0);
                scene->videoWidth = 64;
                scene->videoHeight = 48;
                auto object = scene->createObject(L"動画ファイル", 0, 0, 2);
                ASSERT_TRUE(object);
                object->effects[0]->findItemByName(L"ファイル")->fromString(moviePath.string());
                scene->update();
                model.saveProjectFile(wide(project));
            }
            ASSERT_TRUE(Edit::EditService::instance()->loadProject(wide(project), false, true));
            Render::RenderVideoWorker& video = Render::RenderService::get()->video();
            for (int32_t frame = 0; frame < 3; ++frame) {
                video.requestRenderingFrame(Render::kRenderExport, frame,
                                            [&](int32_t, Media::RenderBuffer& buffer, Anchor::AnchorList*) {
                                                rendered.push_back(buffer.createImageBuffer(
                                                    Media::PixelFormat::kB8G8R8A8Unorm, false));
                                            });
                video.waitAll();
            }
            ASSERT_EQ(writers.size(), 4u);
            files.answers.push_back(exported.string());
            output.outputFile(3);
            dispatchUntilTheExportEnds(output);
            succeeded = output.lastExportSucceeded();
        };
        EXPECT_EQ(App::run(steps), 0);
        for (const auto& box : boxes.shown) ADD_FAILURE() << box.text;
        ASSERT_EQ(readers.size(), 4u);
        EXPECT_EQ(readers[3], L"Raw Example Reader");
        ASSERT_EQ(writers.size(), 4u);
        EXPECT_EQ(writers[3], L"Raw Example Writer");

        // The golden frames are the movie's own: the object fills the scene.
        ASSERT_EQ(rendered.size(), 3u);
        for (uint32_t f = 0; f < 3; ++f) {
            ASSERT_TRUE(rendered[f]);
            const Media::ImageBuffer& image = *rendered[f];
            int worst = 0;
            for (uint32_t y = 0; y < 48; ++y)
                for (uint32_t x = 0; x < 64; ++x) {
                    const uint8_t* got = image.data() + y * image.pitch + x * 4;
                    for (int ch = 0; ch < 3; ++ch) worst = std::max(worst, std::abs(got[ch] - movie.at(x, y, f)[ch]));
                    worst = std::max(worst, std::abs(got[3] - 255));
                }
            EXPECT_LE(worst, 1) << "frame " << f;
        }

        ASSERT_TRUE(succeeded);
        const RawMedia written = RawMedia::read(exported);
        EXPECT_EQ(std::string(written.header.magic, 4), "VRAW");
        EXPECT_EQ(written.header.width, 64u);
        EXPECT_EQ(written.header.height, 48u);
        EXPECT_EQ(written.header.frameCount, 3u);
        EXPECT_EQ(written.header.sampleRate, 48000u);
        EXPECT_EQ(written.header.samples, 4800u);
        EXPECT_TRUE(written.frames == movie.frames) << "the exported frames differ from the movie's";
        ASSERT_EQ(written.samples.size(), movie.samples.size());
        int worst = 0;
        for (size_t i = 0; i < movie.samples.size(); ++i)
            worst = std::max(worst, std::abs(written.samples[i] - movie.samples[i]));
        EXPECT_LE(worst, 1);
    }
}

}  // namespace
