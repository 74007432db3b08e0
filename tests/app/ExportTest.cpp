// Exports through the program's own services without a window: a project
// file opened, the save path answered by the headless dialog queue, the
// written pictures compared with the frame the render worker gives.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "app/Application.h"
#include "core/FileName.h"
#include "core/Logger.h"
#include "core/TextConvert.h"
#include "edit/EditDialogs.h"
#include "edit/EditService.h"
#include "edit/Project.h"
#include "edit/Scene.h"
#include "media/gpu/RenderBuffer.h"
#include "media/image/ImageBuffer.h"
#include "media/image/ImageService.h"
#include "media/image/PixelFormat.h"
#include "platform/window/MessageQueue.h"
#include "plugin/OutputService.h"
#include "plugin/image/JpgFileSave.h"
#include "plugin/image/PngFileSave.h"
#include "render/RenderService.h"
#include "core/EventSync.h"
#include "plugin/OutputFile.h"
#include "plugin/OutputPlugin.h"
#include "platform/window/KeyMap.h"
#include "platform/window/Message.h"
#include "ui/dialogs/EditServiceDialogs.h"
#include "ui/framework/StyleMetrics.h"
#include "ui/framework/WindowMouseService.h"
#include "ui/framework/WindowService.h"
#include "support/ScriptedBoxes.h"
#include "support/ScriptedFiles.h"

namespace fs = std::filesystem;

namespace {

class Export : public testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/velmo-export-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        root = pattern;
        setenv("XDG_DATA_HOME", (root / "xdg").c_str(), 1);
        System::FileName::resetVariableList(System::utf8ToWide((fs::current_path() / "velmo2").string()));
        projectPath = root / "scene.vpj2";
    }
    void TearDown() override {
        System::FileName::resetVariableList();
        chmod((root / "locked").c_str(), 0755);
        fs::remove_all(root);
    }

    // A small scene with a sound over frames 0 to 9, the cursor on frame 3,
    // written while the effect service lives and opened by the edit service.
    void openProject(bool withPicture = true) {
        {
            Edit::Project project;
            auto scene = project.getOrCreateScene(0);
            scene->videoWidth = 320;
            scene->videoHeight = 180;
            if (withPicture) scene->createObject(L"音声ファイル", 0, 0, 9);
            scene->cursorFrame = 3;
            scene->update();
            project.saveProjectFile(wide(projectPath));
        }
        ASSERT_TRUE(Edit::EditService::instance()->loadProject(wide(projectPath), false, true));
    }

    static std::wstring wide(const fs::path& path) { return System::utf8ToWide(path.string()); }

    // Writes the project file: one 64 x 36 scene at 30 fps with its cursor on
    // frame 0, then the objects' sections as given.
    void writeSmallProject(const std::string& objects) const {
        std::ofstream out(projectPath, std::ios::binary);
        out << "[project]\r\nfile=" << projectPath.string() << "\r\ndisplay.scene=0\r\n"
            << "[scene.0]\r\nscene=0\r\nname=Root\r\nvideo.width=64\r\nvideo.height=36\r\nvideo.rate=30\r\n"
            << "video.scale=1\r\naudio.rate=48000\r\ncursor.frame=0\r\n"
            << objects;
    }
    // Object INDEX on layer INDEX over frames 0 to LAST: the movie file, its
    // sound taken along or not, drawn as it is.
    static std::string movieObject(int index, int32_t last, const fs::path& movie, bool withSound) {
        const std::string i = std::to_string(index);
        return "[" + i + "]\r\nlayer=" + i + "\r\nframe=0," + std::to_string(last) + "\r\n[" + i +
               ".0]\r\neffect.name=動画ファイル\r\n再生位置=0.000,0.000,再生範囲,0\r\n再生速度=100.00\r\nファイル=" +
               movie.string() + "\r\nループ再生=0\r\n音声付き=" + (withSound ? "1" : "0") + "\r\n[" + i +
               ".1]\r\neffect.name=標準描画\r\n";
    }
    // Object INDEX on layer INDEX over frames 0 to LAST: the sound file played
    // at full volume, in the middle.
    static std::string soundObject(int index, int32_t last, const fs::path& file) {
        const std::string i = std::to_string(index);
        return "[" + i + "]\r\nlayer=" + i + "\r\nframe=0," + std::to_string(last) + "\r\n[" + i +
               ".0]\r\neffect.name=音声ファイル\r\n再生位置=0.000,0.000,再生範囲,0\r\n再生速度=100.00\r\nファイル=" +
               file.string() + "\r\nループ再生=0\r\n[" + i +
               ".1]\r\neffect.name=音声再生\r\n音量=100.00\r\n左右=0.00\r\n";
    }

    // Records every log line (from any thread) while the program's steps run,
    // passing each on to the logger.
    struct LogTap {
        std::mutex mutex;
        std::vector<std::string> lines;
        LogTap() {
            System::Log::setHandler([this](const System::Log::Type& type, const char* scope, const char* message) {
                {
                    std::lock_guard lock(mutex);
                    lines.push_back(std::string(type.name) + " " + message);
                }
                System::Logger::logHandler(type, scope, message);
            });
        }
        ~LogTap() { System::Log::setHandler(System::Logger::logHandler); }
        std::vector<std::string> take() {
            std::lock_guard lock(mutex);
            return lines;
        }
    };

    static bool logged(const std::vector<std::string>& lines, const std::string& text) {
        for (const std::string& line : lines)
            if (line.find(text) != std::string::npos) return true;
        return false;
    }

    // The cursor frame as the render worker gives it: premultiplied BGRA.
    static std::shared_ptr<Media::ImageBuffer> renderedFrame(int32_t frame) {
        std::shared_ptr<Media::ImageBuffer> image;
        Render::RenderVideoWorker& video = Render::RenderService::get()->video();
        video.requestRenderingFrame(Render::kRenderExport, frame,
                                    [&](int32_t, Media::RenderBuffer& buffer, Anchor::AnchorList*) {
                                        image = buffer.createImageBuffer(Media::PixelFormat::kB8G8R8A8Unorm, false);
                                    });
        video.waitAll();
        return image;
    }

    // The export ends as in the program: the worker posts the failure and the
    // end to the main window, whose messages this thread dispatches.
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
    fs::path projectPath;
};

TEST_F(Export, TheCursorFrameGoesToPngAndJpegAsTheRenderWorkerGivesIt) {
    ScriptedBoxes boxes;
    ScriptedFiles files;
    struct Case {
        const char* name;
        int32_t plugin;
        int32_t setting;  // "transparent" or "quality"
        const char* file;
        int tolerance;  // per channel, against the premultiplied frame
    } cases[] = {
        {"PNG with alpha", 1, 1, "alpha.png", 1},
        {"opaque PNG", 1, 0, "opaque.png", 0},
        {"JPEG quality 90", 2, 90, "q90.jpg", 24},
    };
    std::vector<std::string> lines;
    std::shared_ptr<Media::ImageBuffer> expected;
    std::vector<std::shared_ptr<Media::ImageBuffer>> written;
    std::vector<bool> succeeded;
    App::Steps steps = App::programSteps();
    steps.run = [&] {
        auto tap = std::make_unique<LogTap>();
        openProject();
        Plugin::OutputService& output = *Plugin::OutputService::get();
        expected = renderedFrame(3);
        for (const Case& c : cases) {
            if (auto* png = dynamic_cast<Plugin::PngFileSave*>(output.plugins()[c.plugin].get()))
                png->transparent = c.setting;
            if (auto* jpg = dynamic_cast<Plugin::JpgFileSave*>(output.plugins()[c.plugin].get()))
                jpg->quality = c.setting;
            files.answers.push_back((root / c.file).string());
            output.outputFile(c.plugin);
            output.waitExport();
            succeeded.push_back(output.lastExportSucceeded());
            written.push_back(Media::ImageService::get()->loadFromFile(wide(root / c.file)));
        }
        lines = tap->take();
        tap.reset();
    };
    EXPECT_EQ(App::run(steps), 0);
    for (const auto& box : boxes.shown) ADD_FAILURE() << box.text;
    ASSERT_NE(expected, nullptr);
    ASSERT_EQ(written.size(), std::size(cases));
    ASSERT_EQ(files.asked.size(), std::size(cases));  // one save dialog per export, owned by the main window
    for (size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        SCOPED_TRACE(c.name);
        EXPECT_TRUE(files.asked[i].save && files.asked[i].overwritePrompt);
        EXPECT_NE(files.asked[i].owner, nullptr);
        EXPECT_TRUE(succeeded[i]);
        EXPECT_TRUE(logged(lines, "export file start : " + (root / c.file).string()));
        ASSERT_NE(written[i], nullptr);
        const Media::ImageBuffer& image = *written[i];  // straight RGBA
        ASSERT_EQ(image.width, 320u);
        ASSERT_EQ(image.height, 180u);
        int worst = 0;
        for (uint32_t y = 0; y < image.height; ++y)
            for (uint32_t x = 0; x < image.width; ++x) {
                const uint8_t* got = image.data() + y * image.pitch + x * 4;
                const uint8_t* want = expected->data() + y * expected->pitch + x * 4;  // B, G, R, A premultiplied
                const bool alpha = c.plugin == 1 && c.setting != 0;
                const int a = alpha ? got[3] : 255;
                if (!alpha)
                    EXPECT_EQ(got[3], 255) << x << "," << y;
                else
                    worst = std::max(worst, std::abs(a - want[3]));
                for (int ch = 0; ch < 3; ++ch) {
                    const int premultiplied = (got[ch] * a + 127) / 255;
                    worst = std::max(worst, std::abs(premultiplied - want[2 - ch]));
                }
            }
        EXPECT_LE(worst, c.tolerance);
    }
    int complete = 0;
    for (const std::string& line : lines) complete += line.find("export file complete") != std::string::npos;
    EXPECT_EQ(complete, 3);
}

// The whole scene to AVI with its sound: the audio render worker mixes each
// frame's samples, so the file's sound equals the source file's samples.
TEST_F(Export, TheSceneGoesToAviWithTheSoundOfItsAudioObject) {
    ScriptedBoxes boxes;
    ScriptedFiles files;
    const fs::path wav = root / "tone.wav";
    ASSERT_EQ(std::system(("ffmpeg -nostdin -v error -f lavfi -i sine=frequency=440:sample_rate=48000:duration=1 "
                           "-ac 2 -c:a pcm_s16le -y '" +
                           wav.string() + "'")
                              .c_str()),
              0);
    writeSmallProject(soundObject(0, 9, wav));
    const fs::path avi = root / "scene.avi";
    bool succeeded = false;
    App::Steps steps = App::programSteps();
    steps.run = [&] {
        ASSERT_TRUE(Edit::EditService::instance()->loadProject(wide(projectPath), false, true));
        Plugin::OutputService& output = *Plugin::OutputService::get();
        files.answers.push_back(avi.string());
        output.outputFile(0);
        dispatchUntilTheExportEnds(output);
        succeeded = output.lastExportSucceeded();
    };
    EXPECT_EQ(App::run(steps), 0);
    for (const auto& box : boxes.shown) ADD_FAILURE() << box.text;
    ASSERT_TRUE(succeeded);
    const auto decode = [&](const fs::path& from, const char* name) {
        const fs::path to = root / name;
        EXPECT_EQ(std::system(("ffmpeg -nostdin -v error -i '" + from.string() + "' -vn -f s16le -ac 2 -ar 48000 -y '" +
                               to.string() + "'")
                                  .c_str()),
                  0);
        std::ifstream in(to, std::ios::binary);
        return std::vector<char>(std::istreambuf_iterator<char>(in), {});
    };
    const auto got = decode(avi, "got.pcm");
    const auto want = decode(wav, "want.pcm");
    ASSERT_EQ(got.size(), size_t{16000} * 4);  // ten frames of 1600 stereo samples
    ASSERT_GE(want.size(), got.size());
    int worst = 0;
    for (size_t i = 0; i + 1 < got.size(); i += 2) {
        int16_t a = 0, b = 0;
        std::memcpy(&a, &got[i], 2);
        std::memcpy(&b, &want[i], 2);
        worst = std::max(worst, std::abs(a - b));
    }
    EXPECT_LE(worst, 1);
}

// A save into a folder that cannot take the file fails, is logged as failed
// and shown, and is never reported complete.
TEST_F(Export, ASaveThatFailsIsLoggedAndShownAsFailed) {
    ScriptedBoxes boxes;
    ScriptedFiles files;
    fs::create_directories(root / "locked");
    chmod((root / "locked").c_str(), 0555);
    std::ofstream(root / "file") << "not a folder";
    // root ignores the folder's mode: a path below a plain file fails for everyone.
    const fs::path targets[] = {root / "locked" / "out.png", root / "file" / "out.png"};
    std::vector<std::string> lines;
    std::vector<bool> succeeded;
    App::Steps steps = App::programSteps();
    steps.run = [&] {
        auto tap = std::make_unique<LogTap>();
        openProject(false);  // an empty scene: nothing else posts to the window
        Plugin::OutputService& output = *Plugin::OutputService::get();
        for (const fs::path& target : targets) {
            files.answers.push_back(target.string());
            output.outputFile(1);
            dispatchUntilTheExportEnds(output);
            succeeded.push_back(output.lastExportSucceeded());
        }
        lines = tap->take();
        tap.reset();
    };
    EXPECT_EQ(App::run(steps), 0);
    ASSERT_EQ(succeeded.size(), 2u);
    EXPECT_FALSE(succeeded[1]);
    if (getuid() != 0) EXPECT_FALSE(succeeded[0]);
    EXPECT_TRUE(logged(lines, "export file failed : " + targets[1].string()));
    EXPECT_FALSE(logged(lines, "export file complete") && getuid() != 0);
    EXPECT_FALSE(fs::exists(targets[1]));
    EXPECT_GE(boxes.shown.size(), 1u);  // the failure is shown
}

}  // namespace

namespace {

// A writer that holds its export open until the test lets it go.
struct GatePlugin : Plugin::OutputPlugin {
    struct Job : Plugin::OutputFile {
        using OutputFile::OutputFile;
        Sync::Event* open = nullptr;
        Sync::Event* reached = nullptr;
        bool save() override {
            framesTotal = 4;
            framesDone = 2;
            reached->set();
            open->wait();
            return true;
        }
    };
    std::shared_ptr<Plugin::OutputFile> createOutputFile(const std::wstring& path, const Plugin::ExportScene& scene,
                                                         Plugin::ExportSource* source) override {
        auto job = std::make_shared<Job>(path, true, scene, source);
        job->open = &open;
        job->reached = &reached;
        return job;
    }
    Sync::Event open;
    Sync::Event reached;  // the job is halfway
};

// While an export runs the main window takes no input; Esc and the close
// button ask once whether to stop it, and OK sets the job's abort flag.
TEST_F(Export, EscapeAndCloseAskToStopTheRunningExport) {
    ScriptedBoxes boxes;  // answers OK
    ScriptedFiles files;
    bool inputOffWhileRunning = false, inputOnAfter = false, aborted = false;
    size_t asked = 0;
    std::vector<std::string> lines;
    App::Steps steps = App::programSteps();
    steps.run = [&] {
        namespace W = Platform::window;
        auto tap = std::make_unique<LogTap>();
        openProject(false);
        Plugin::OutputService& output = *Plugin::OutputService::get();
        auto* gate = static_cast<GatePlugin*>(
            output.registerPlugin("GatePlugin", [] { return std::make_shared<GatePlugin>(); }));
        ASSERT_NE(gate, nullptr);
        Window::WindowService& windows = *Window::WindowService::get();
        files.answers.push_back((root / "gate.out").string());
        output.outputFile(static_cast<int32_t>(output.plugins().size()) - 1);
        ASSERT_TRUE(output.isRunning());
        inputOffWhileRunning = !windows.inputEnabled;
        Window::WindowService::windowProc(windows.window, W::kWmKeyDown, W::kVkEscape, 0);
        aborted = output.currentJob()->abort;
        Window::WindowService::windowProc(windows.window, W::kWmClose, 0, 0);  // already stopping: not asked again
        asked = boxes.shown.size();
        gate->open.set();
        output.waitExport();
        inputOnAfter = windows.inputEnabled;
        lines = tap->take();
        tap.reset();
    };
    EXPECT_EQ(App::run(steps), 0);
    EXPECT_TRUE(inputOffWhileRunning);
    EXPECT_TRUE(aborted);
    EXPECT_EQ(asked, 1u);
    EXPECT_TRUE(inputOnAfter);
    EXPECT_TRUE(logged(lines, "export file cancel"));
    EXPECT_FALSE(logged(lines, "export file complete"));
}

// The footer shows the running export's progress over its bar with the wait
// cursor, and returns to its colour and the arrow when the export ends.
TEST_F(Export, TheFooterShowsTheProgressOfTheRunningExport) {
    ScriptedBoxes boxes;
    ScriptedFiles files;
    std::wstring during, after;
    float ratio = -1;
    bool waitCursor = false, arrowAfter = false;
    uint32_t bar = 0, rest = 0, ended = 0;
    App::Steps steps = App::programSteps();
    steps.run = [&] {
        openProject(false);
        Plugin::OutputService& output = *Plugin::OutputService::get();
        auto* gate = static_cast<GatePlugin*>(
            output.registerPlugin("GatePlugin", [] { return std::make_shared<GatePlugin>(); }));
        ASSERT_NE(gate, nullptr);
        Window::WindowService& windows = *Window::WindowService::get();
        Window::WindowMouseService& router = *Window::WindowMouseService::get();
        windows.updateLayout();
        files.answers.push_back((root / "gate.out").string());
        output.outputFile(static_cast<int32_t>(output.plugins().size()) - 1);
        ASSERT_TRUE(output.isRunning());
        gate->reached.wait();
        output.showProgress();
        const int32_t row = windows.height - Window::FooterHeight + 1;
        during = windows.footer->message;
        ratio = windows.footer->ratio;
        waitCursor = router.currentCursor == &Window::WindowMouseService::MouseCursor::Wait;
        bar = windows.target->pixel(windows.width / 4, row) & 0xFFFFFF;
        rest = windows.target->pixel(windows.width * 3 / 4, row) & 0xFFFFFF;
        gate->open.set();
        output.waitExport();
        after = windows.footer->message;
        arrowAfter = router.currentCursor == &Window::WindowMouseService::MouseCursor::Arrow;
        ended = windows.target->pixel(windows.width / 2, row) & 0xFFFFFF;
    };
    EXPECT_EQ(App::run(steps), 0);
    for (const auto& box : boxes.shown) ADD_FAILURE() << box.text;
    EXPECT_EQ(during.rfind(L"ファイル出力中 50.00% (2/4)", 0), 0u) << System::wideToUtf8(during);
    EXPECT_EQ(ratio, 0.5f);
    EXPECT_TRUE(waitCursor);
    // The shipped style's bar over its background, then the footer's own colour.
    EXPECT_EQ(bar, 0x4fa0e0u);
    EXPECT_EQ(rest, 0x2f6fb0u);
    EXPECT_TRUE(after.empty());
    EXPECT_TRUE(arrowAfter);
    EXPECT_EQ(ended, 0x262626u);
}

// Loading and saving a project show their text in the footer's progress
// place with the wait cursor, as an export does, and clear it again.
TEST_F(Export, LoadingAndSavingShowTheirTextInTheFooterToo) {
    ScriptedBoxes boxes;
    std::vector<std::pair<std::wstring, bool>> shown;  // the footer's message and whether the cursor waits
    App::Steps steps = App::programSteps();
    steps.run = [&] {
        auto& dialogs = dynamic_cast<Dialog::EditServiceDialogs&>(Edit::EditService::dialogs());
        ASSERT_TRUE(dialogs.footerText);
        dialogs.footerText = [&, program = dialogs.footerText](const std::wstring& text) {
            program(text);
            shown.emplace_back(Window::WindowService::get()->footer->message,
                               Window::WindowMouseService::get()->currentCursor ==
                                   &Window::WindowMouseService::MouseCursor::Wait);
        };
        openProject(false);
        ASSERT_TRUE(Edit::EditService::instance()->saveProject(wide(root / "saved.vpj2"), false));
    };
    EXPECT_EQ(App::run(steps), 0);
    for (const auto& box : boxes.shown) ADD_FAILURE() << box.text;
    EXPECT_EQ(shown, (std::vector<std::pair<std::wstring, bool>>{
                         {L"Loading...", true}, {L"", false}, {L"Saving...", true}, {L"", false}}));
}

}  // namespace

namespace {

// A writer that takes the frames as the AVI writer does, with several frames
// rendered ahead, keeps them, and may stop early as Esc would stop it.
struct FramesPlugin : Plugin::OutputPlugin {
    struct Job : Plugin::OutputFile {
        using OutputFile::OutputFile;
        FramesPlugin* owner = nullptr;
        bool save() override {
            setVideoBufferSize(owner->ahead);
            for (int32_t i = 0; i < frameCount && !abort; ++i) {
                owner->frames.push_back(getVideo(startFrame + i, Media::PixelFormat::kB8G8R8A8Unorm, false));
                if (i + 1 == owner->stopAfter) abort = true;  // the frames after it are in flight
            }
            return true;
        }
    };
    std::shared_ptr<Plugin::OutputFile> createOutputFile(const std::wstring& path, const Plugin::ExportScene& scene,
                                                         Plugin::ExportSource* source) override {
        auto job = std::make_shared<Job>(path, false, scene, source);
        job->owner = this;
        return job;
    }
    int32_t ahead = 1;
    int32_t stopAfter = 0;  // 0: every frame
    std::vector<std::shared_ptr<Media::ImageBuffer>> frames;
};

// A picture that changes on every frame, exported while the next frames are
// rendered and read back: every written frame is the frame of its number, a
// stop with frames still in flight ends the export as cancelled, and the next
// export after it again gets each frame in order.
TEST_F(Export, FramesRenderedAheadArriveInOrderAndAStopLeavesNothingBehind) {
    ScriptedBoxes boxes;
    ScriptedFiles files;
    const fs::path movie = root / "steps.avi";
    constexpr int32_t kFrames = 12;
    ASSERT_EQ(std::system(("ffmpeg -nostdin -v error -f lavfi -i color=c=black:s=64x36:r=30:d=0.4 "
                           "-vf \"geq=lum='min(16+N*18\\,235)':cb=128:cr=128\" -c:v ffv1 -y '" +
                           movie.string() + "'")
                              .c_str()),
              0);
    writeSmallProject(movieObject(0, kFrames - 1, movie, false));
    struct Run {
        int32_t stopAfter;
        std::vector<std::shared_ptr<Media::ImageBuffer>> frames;
        bool succeeded = false;
    };
    std::vector<Run> runs = {{3, {}}, {0, {}}};
    std::vector<std::shared_ptr<Media::ImageBuffer>> expected;
    std::vector<std::string> lines;
    App::Steps steps = App::programSteps();
    steps.run = [&] {
        auto tap = std::make_unique<LogTap>();
        ASSERT_TRUE(Edit::EditService::instance()->loadProject(wide(projectPath), false, true));
        Plugin::OutputService& output = *Plugin::OutputService::get();
        auto* writer = static_cast<FramesPlugin*>(
            output.registerPlugin("FramesPlugin", [] { return std::make_shared<FramesPlugin>(); }));
        ASSERT_NE(writer, nullptr);
        for (Run& run : runs) {
            writer->ahead = 8;
            writer->stopAfter = run.stopAfter;
            writer->frames.clear();
            files.answers.push_back((root / "frames.out").string());
            output.outputFile(static_cast<int32_t>(output.plugins().size()) - 1);
            output.waitExport();
            run.frames = writer->frames;
            run.succeeded = output.lastExportSucceeded();
        }
        for (int32_t f = 0; f < kFrames; ++f) expected.push_back(renderedFrame(f));
        lines = tap->take();
        tap.reset();
    };
    EXPECT_EQ(App::run(steps), 0);
    for (const auto& box : boxes.shown) ADD_FAILURE() << box.text;
    ASSERT_EQ(expected.size(), static_cast<size_t>(kFrames));
    for (const auto& frame : expected) ASSERT_NE(frame, nullptr);
    const auto centre = [](const Media::ImageBuffer& image) { return image.data()[18 * image.pitch + 32 * 4]; };
    ASSERT_GT(centre(*expected[kFrames - 1]), centre(*expected[0]) + 100);  // the frames differ
    EXPECT_TRUE(logged(lines, "export file cancel"));
    ASSERT_EQ(runs[0].frames.size(), 3u);
    ASSERT_EQ(runs[1].frames.size(), static_cast<size_t>(kFrames));
    EXPECT_TRUE(runs[1].succeeded);
    for (const Run& run : runs)
        for (size_t f = 0; f < run.frames.size(); ++f) {
            SCOPED_TRACE("stop after " + std::to_string(run.stopAfter) + ", frame " + std::to_string(f));
            ASSERT_NE(run.frames[f], nullptr);
            const Media::ImageBuffer& got = *run.frames[f];
            const Media::ImageBuffer& want = *expected[f];
            ASSERT_EQ(got.width, want.width);
            ASSERT_EQ(got.height, want.height);
            int worst = 0;
            for (uint32_t y = 0; y < got.height; ++y)
                for (uint32_t x = 0; x < got.width * 4; ++x)
                    worst = std::max(worst, std::abs(got.data()[y * got.pitch + x] - want.data()[y * want.pitch + x]));
            EXPECT_LE(worst, 1);
        }
}

// A movie without sound exported over 300 frames with the sound object a
// dropped movie gets: the open-file cache keeps it open from frame to frame,
// and its missing audio is learnt once, not by opening the file again for
// every frame's sound.
TEST_F(Export, AMovieWithoutSoundIsOpenedOnlyAFewTimesForAWholeExport) {
    ScriptedBoxes boxes;
    ScriptedFiles files;
    const fs::path movie = root / "silent.mp4";
    constexpr int32_t kFrames = 300;
    ASSERT_EQ(std::system(("ffmpeg -nostdin -v error -f lavfi -i testsrc=s=64x36:r=30:d=10 -c:v libx264 "
                           "-pix_fmt yuv420p -y '" +
                           movie.string() + "'")
                              .c_str()),
              0);
    // The movie with its sound, and the sound object a dropped movie gets beside it.
    writeSmallProject(movieObject(0, kFrames - 1, movie, true) + soundObject(1, kFrames - 1, movie));
    const fs::path avi = root / "silent.avi";
    bool succeeded = false;
    std::vector<std::string> lines;
    App::Steps steps = App::programSteps();
    steps.run = [&] {
        auto tap = std::make_unique<LogTap>();
        ASSERT_TRUE(Edit::EditService::instance()->loadProject(wide(projectPath), false, true));
        Plugin::OutputService& output = *Plugin::OutputService::get();
        files.answers.push_back(avi.string());
        output.outputFile(0);
        dispatchUntilTheExportEnds(output);
        succeeded = output.lastExportSucceeded();
        lines = tap->take();
        tap.reset();
    };
    EXPECT_EQ(App::run(steps), 0);
    for (const auto& box : boxes.shown) ADD_FAILURE() << box.text;
    EXPECT_TRUE(succeeded);
    int opens = 0;
    for (const std::string& line : lines)
        opens += line.find("open media file [" + movie.string() + "]") != std::string::npos;
    EXPECT_GE(opens, 1);
    EXPECT_LE(opens, 4);
}

}  // namespace

namespace {

// A movie whose media cannot be read, whole or from some frame on, is no
// silent black: the failure is logged once per file, and the export's end
// names the file and does not count as a success. A readable movie still
// exports as before.
TEST_F(Export, AMovieThatCannotBeReadIsReportedAtTheEndOfTheExport) {
    constexpr int32_t kFrames = 60;
    const fs::path whole = root / "whole.mp4";
    const fs::path front = root / "front.mp4";  // index first, then the frames
    for (const auto& [path, flags] : {std::pair{whole, ""}, std::pair{front, "-movflags +faststart"}})
        ASSERT_EQ(std::system(("ffmpeg -nostdin -v error -f lavfi -i testsrc=s=64x36:r=30:d=2 -c:v libx264 "
                               "-pix_fmt yuv420p " +
                               std::string(flags) + " -y '" + path.string() + "'")
                                  .c_str()),
                  0);
    const auto cutCopy = [&](const fs::path& from, const char* name, double keep) {
        const fs::path to = root / name;
        fs::copy_file(from, to);
        fs::resize_file(to, static_cast<uintmax_t>(static_cast<double>(fs::file_size(from)) * keep));
        return to;
    };
    const fs::path text = root / "notes.mp4";
    std::ofstream(text) << "not a movie\n";
    struct Case {
        const char* name;
        fs::path movie;
        bool readable;
    };
    const std::vector<Case> cases = {
        {"readable", whole, true},
        {"missing", root / "gone.mp4", false},
        {"not media", text, false},
        {"no index (the end with it cut off)", cutCopy(whole, "noindex.mp4", 0.5), false},
        {"cut off in the middle", cutCopy(front, "cut.mp4", 0.5), false},
    };
    struct Outcome {
        bool succeeded = false;
        std::string failure;
        std::vector<std::string> boxes;
        int warnings = 0;
    };
    std::vector<Outcome> outcomes(cases.size());
    for (size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(cases[i].name);
        ScriptedBoxes boxes;
        ScriptedFiles files;
        writeSmallProject(movieObject(0, kFrames - 1, cases[i].movie, false));
        std::vector<std::string> lines;
        App::Steps steps = App::programSteps();
        steps.run = [&] {
            auto tap = std::make_unique<LogTap>();
            ASSERT_TRUE(Edit::EditService::instance()->loadProject(wide(projectPath), false, true));
            Plugin::OutputService& output = *Plugin::OutputService::get();
            files.answers.push_back((root / (std::to_string(i) + ".avi")).string());
            output.outputFile(0);
            dispatchUntilTheExportEnds(output);
            outcomes[i].succeeded = output.lastExportSucceeded();
            outcomes[i].failure = output.lastFailure();
            lines = tap->take();
            tap.reset();
        };
        EXPECT_EQ(App::run(steps), 0);
        for (const auto& box : boxes.shown) outcomes[i].boxes.push_back(box.text);
        for (const std::string& line : lines)
            outcomes[i].warnings +=
                line.find("media file can not be read [" + cases[i].movie.string() + "]") != std::string::npos;
    }
    for (size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(cases[i].name);
        const Outcome& got = outcomes[i];
        const std::string path = cases[i].movie.string();
        if (cases[i].readable) {
            EXPECT_TRUE(got.succeeded);
            EXPECT_TRUE(got.boxes.empty());
            EXPECT_EQ(got.warnings, 0);
            continue;
        }
        EXPECT_FALSE(got.succeeded);
        EXPECT_NE(got.failure.find(path), std::string::npos) << got.failure;
        ASSERT_EQ(got.boxes.size(), 1u);
        EXPECT_NE(got.boxes[0].find(path), std::string::npos) << got.boxes[0];
        EXPECT_EQ(got.warnings, 1);
    }
}

}  // namespace
