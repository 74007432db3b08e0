// The plug-in folder: the example input and output plug-ins installed as
// libraries ("*.vin2", "*.vou2") and as older plug-ins run by the host
// programs ("*.vin", "*.vou"), found by the services when they start, and
// plug-ins and hosts that fail, hang or send junk.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <future>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "RawMedia.h"
#include "core/ErrorPresenter.h"
#include "core/ServiceHolder.h"
#include "core/TextConvert.h"
#include "media/audio/AudioBlockBuffer.h"
#include "media/audio/RawAudioBuffer.h"
#include "media/image/ImageBuffer.h"
#include "media/image/ImageService.h"
#include "media/image/PixelFormat.h"
#include "plugin/ExternalInputPlugin.h"
#include "plugin/ExternalOutputPlugin.h"
#include "plugin/InputFile.h"
#include "plugin/InputPipe32.h"
#include "plugin/InputService.h"
#include "plugin/OutputFile.h"
#include "plugin/OutputPipe32.h"
#include "plugin/OutputPlugin.h"
#include "plugin/OutputService.h"
#include "support/LogCapture.h"
#include "support/TestFolders.h"

namespace fs = std::filesystem;

namespace {

std::vector<std::wstring> presented;
void present(const std::wstring& text) { presented.push_back(text); }

bool logged(const std::vector<LogCapture::Line>& lines, const std::string& text) {
    for (const auto& line : lines)
        if (line.message.find(text) != std::string::npos) return true;
    return false;
}
size_t count(const std::vector<LogCapture::Line>& lines, const std::string& text) {
    size_t n = 0;
    for (const auto& line : lines) n += line.message.find(text) != std::string::npos;
    return n;
}

class PluginFolder : public TestFolders {
protected:
    void SetUp() override {
        TestFolders::SetUp();
        unsetenv("VELMO_EXAMPLE_FAULT");
        // The host programs beside the program, as installed.
        for (const char* host : {VELMO_TEST_HOST_VIN, VELMO_TEST_HOST_VOU})
            fs::copy_file(host, install() / fs::path(host).filename(), fs::copy_options::overwrite_existing);
        fs::create_directories(plugins());
        presented.clear();
        previousPresenter_ = System::setErrorPresenter(present);
    }
    void TearDown() override {
        System::setErrorPresenter(previousPresenter_);
        unsetenv("VELMO_EXAMPLE_FAULT");
        TestFolders::TearDown();
    }
    fs::path plugins() const { return appData() / "Plugin"; }
    void installPlugin(const char* built, const std::string& name) {
        fs::copy_file(built, plugins() / name, fs::copy_options::overwrite_existing);
    }
    // A raw movie of three 8 x 6 frames and 10000 stereo samples at 8000 Hz.
    fs::path rawMovie(uint32_t bitCount = 24) {
        media = RawMedia::make(8, 6, bitCount, 3, 8000, 10000);
        const fs::path path = root_ / "movie.vraw";
        media.write(path);
        return path;
    }
    // The frame as the file holds it, pixel for pixel.
    void expectFrame(const std::shared_ptr<Media::ImageBuffer>& image, uint32_t f) {
        ASSERT_TRUE(image);
        ASSERT_EQ(image->width, media.header.width);
        ASSERT_EQ(image->height, media.header.height);
        for (uint32_t y = 0; y < image->height; ++y)
            for (uint32_t x = 0; x < image->width; ++x)
                for (uint32_t c = 0; c < 3; ++c)
                    ASSERT_EQ(image->data()[y * image->pitch + x * 4 + c], media.at(x, y, f)[c])
                        << "frame " << f << " at " << x << "," << y << " channel " << c;
    }
    // Block n: one second of the file's samples, silence past its end.
    void expectBlock(const std::shared_ptr<Media::AudioBlockBuffer>& block, int32_t n) {
        ASSERT_TRUE(block);
        ASSERT_EQ(block->samples, 8000);
        for (int32_t i = 0; i < 8000; ++i) {
            const uint32_t s = static_cast<uint32_t>(n * 8000 + i);
            for (int32_t c = 0; c < 2; ++c) {
                const float want = s < media.header.samples ? RawMedia::sample(s, c) / 32768.0f : 0.0f;
                ASSERT_EQ(block->getChannel(c)[i], want) << "sample " << s << " channel " << c;
            }
        }
    }

    RawMedia media;
    System::ServiceHolder<Media::ImageService> images;

private:
    System::ErrorPresenter previousPresenter_ = nullptr;
};

TEST_F(PluginFolder, TheExampleReaderOpensRawFilesAsALibraryAndThroughItsHost) {
    struct Case {
        const char* file;
        uint32_t bitCount;
        int32_t videoFormat;
        bool hosted;
    } cases[] = {
        {"RawIn.vin2", 24, Media::PixelFormat::kB8G8R8X8Unorm, false},
        {"RawIn.vin2", 32, Media::PixelFormat::kB8G8R8A8Unorm, false},
        {"RawIn.vin", 24, Media::PixelFormat::kB8G8R8X8Unorm, true},
        {"RawIn.vin", 32, Media::PixelFormat::kB8G8R8A8Unorm, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.file) + " " + std::to_string(c.bitCount) + "-bit");
        fs::remove_all(plugins());
        fs::create_directories(plugins());
        installPlugin(VELMO_TEST_EXAMPLE_INPUT, c.file);
        const std::wstring path = wide(rawMovie(c.bitCount));
        System::ServiceHolder<Plugin::InputService> holder;
        Plugin::InputService& service = *holder.get();
        EXPECT_TRUE(presented.empty());
        ASSERT_EQ(service.plugins().size(), 4u);
        const auto& plugin = service.plugins().back();
        EXPECT_EQ(plugin->name, L"Raw Example Reader");
        EXPECT_EQ(plugin->information, L"Example raw reader 1.0");
        EXPECT_EQ(plugin->priority(), 3);
        EXPECT_EQ(plugin->flags,
                  Plugin::InputPlugin::kVideo | Plugin::InputPlugin::kAudio | Plugin::InputPlugin::kSetting);
        EXPECT_EQ(plugin->getExtList(), std::vector<std::wstring>{L"vraw"});
        EXPECT_EQ(dynamic_cast<Plugin::InputPipe32*>(plugin.get()) != nullptr, c.hosted);
        EXPECT_EQ(dynamic_cast<Plugin::ExternalInputPlugin*>(plugin.get()) != nullptr, !c.hosted);

        const auto video = service.getInputFile(path, 1);
        ASSERT_TRUE(video);
        EXPECT_EQ(video->plugin, plugin.get());
        EXPECT_EQ(video->info.flags, 3);
        EXPECT_EQ(video->info.frameCount, 3);
        EXPECT_EQ(video->info.videoFormat, c.videoFormat);
        EXPECT_EQ(video->info.width, 8);
        EXPECT_EQ(video->info.height, 6);
        EXPECT_EQ(video->info.rate, 30u);
        EXPECT_EQ(video->info.scale, 1u);
        EXPECT_EQ(video->info.audioSampleCount, 10000);
        EXPECT_EQ(video->info.sampleRate, 8000);
        EXPECT_EQ(video->info.channels, 2);
        expectFrame(video->readVideo(2), 2);
        expectFrame(video->readVideo(0), 0);
        expectFrame(video->readVideo(7), 2);  // the plug-in holds the last frame

        const auto audio = service.getInputFile(path, 2);
        ASSERT_TRUE(audio);
        expectBlock(audio->readAudio(0), 0);
        expectBlock(audio->readAudio(1), 1);  // 2000 samples, then silence
        expectBlock(audio->readAudio(5), 5);  // all silence

        // The settings: through the host, which holds the shared mutex while
        // its dialog is up; the conversation stays in step afterwards.
        LogCapture log;
        plugin->showSetting(nullptr);
        EXPECT_FALSE(logged(log.snapshot(), "show config failed."));
        expectFrame(video->readVideo(1), 1);
    }
}

TEST_F(PluginFolder, BothKindsRegisterAfterTheBuiltInsTheLibraryFirst) {
    installPlugin(VELMO_TEST_EXAMPLE_INPUT, "RawIn.vin2");
    installPlugin(VELMO_TEST_EXAMPLE_INPUT, "RawIn.vin");
    installPlugin(VELMO_TEST_EXAMPLE_OUTPUT, "RawOut.vou2");
    installPlugin(VELMO_TEST_EXAMPLE_OUTPUT, "RawOut.vou");
    const std::wstring path = wide(rawMovie());
    System::ServiceHolder<Plugin::InputService> input;
    System::ServiceHolder<Plugin::OutputService> output;
    EXPECT_TRUE(presented.empty());
    const auto& readers = input.get()->plugins();
    ASSERT_EQ(readers.size(), 5u);
    EXPECT_NE(dynamic_cast<Plugin::ExternalInputPlugin*>(readers[3].get()), nullptr);
    EXPECT_EQ(readers[3]->priority(), 3);
    EXPECT_NE(dynamic_cast<Plugin::InputPipe32*>(readers[4].get()), nullptr);
    EXPECT_EQ(readers[4]->priority(), 4);
    // The one of smaller priority reads the file.
    const auto file = input.get()->getInputFile(path, 1);
    ASSERT_TRUE(file);
    EXPECT_EQ(file->plugin, readers[3].get());

    const auto& writers = output.get()->plugins();
    ASSERT_EQ(writers.size(), 5u);
    EXPECT_NE(dynamic_cast<Plugin::ExternalOutputPlugin*>(writers[3].get()), nullptr);
    EXPECT_NE(dynamic_cast<Plugin::OutputPipe32*>(writers[4].get()), nullptr);
    for (const auto& writer : {writers[3], writers[4]}) {
        EXPECT_EQ(writer->name, L"Raw Example Writer");
        EXPECT_EQ(writer->flags, Plugin::OutputPlugin::kVideo | Plugin::OutputPlugin::kAudio);
        EXPECT_EQ(writer->filter, std::wstring(L"Raw (*.vraw)\0*.vraw\0\0", 21));
    }
    EXPECT_EQ(writers[3]->order(), 3);
    EXPECT_EQ(writers[4]->order(), 4);
    // The library says what its settings are; the older kind shows its name.
    EXPECT_EQ(writers[3]->getSettingText(), L"24-bit frames, 16-bit stereo");
    EXPECT_EQ(writers[4]->getSettingText(), L"Raw Example Writer");
}

TEST_F(PluginFolder, FilesThatAreNoPluginsAreReportedAndTheOthersStay) {
    for (const char* name : {"Broken.vin2", "Broken.vin", "Broken.vou2", "Broken.vou"})
        writeFile(plugins() / name, "not a plug-in");
    installPlugin(VELMO_TEST_EXAMPLE_INPUT, "RawIn.vin");
    installPlugin(VELMO_TEST_EXAMPLE_OUTPUT, "RawOut.vou2");
    System::ServiceHolder<Plugin::InputService> input;
    System::ServiceHolder<Plugin::OutputService> output;
    ASSERT_EQ(presented.size(), 4u);
    size_t inputs = 0, outputs = 0;
    for (const std::wstring& text : presented) {
        inputs += text.rfind(L"failed to register input plugin. [", 0) == 0;
        outputs += text.rfind(L"failed to register output plugin. [", 0) == 0;
    }
    EXPECT_EQ(inputs, 2u);
    EXPECT_EQ(outputs, 2u);
    ASSERT_EQ(input.get()->plugins().size(), 4u);
    EXPECT_EQ(input.get()->plugins()[3]->name, L"Raw Example Reader");
    ASSERT_EQ(output.get()->plugins().size(), 4u);
    EXPECT_EQ(output.get()->plugins()[3]->name, L"Raw Example Writer");
}

// A plug-in that kills its host in the middle of a read, one that never
// returns and one that writes junk into the reply: the read fails with the
// reason in the log, the host is stopped, and every later read of that
// plug-in fails at once. The editor goes on; the time-out is the reader's.
TEST_F(PluginFolder, AHostThatDiesHangsOrSendsJunkIsStoppedAndReported) {
    struct Case {
        const char* fault;
        const char* reason;  // in the log line of the failed transfer
    } cases[] = {
        {"die", "The pipe has been ended. in System::Pipe::read()"},
        {"hang", "ReadFile() failed in System::Pipe::read() [Connection timed out]"},
        {"garbage", "The pipe has been ended. in System::Pipe::readBlock()"},  // a block beyond its room
    };
    installPlugin(VELMO_TEST_EXAMPLE_INPUT, "RawIn.vin");
    const std::wstring path = wide(rawMovie());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fault);
        setenv("VELMO_EXAMPLE_FAULT", c.fault, 1);  // the host inherits it
        System::ServiceHolder<Plugin::InputService> holder;
        auto* plugin = dynamic_cast<Plugin::InputPipe32*>(holder.get()->plugins().back().get());
        ASSERT_NE(plugin, nullptr);
        const auto file = holder.get()->getInputFile(path, 1);
        ASSERT_TRUE(file);
        expectFrame(file->readVideo(0), 0);
        LogCapture log;
        EXPECT_FALSE(file->readVideo(1));  // the fault
        EXPECT_FALSE(plugin->hostAlive());
        EXPECT_FALSE(file->readVideo(0));
        EXPECT_FALSE(file->readAudio(0));
        EXPECT_FALSE(holder.get()->getInputFile(path + L"x.vraw", 1));
        const auto lines = log.snapshot();
        EXPECT_TRUE(logged(lines, c.reason)) << [&] {
            std::string all;
            for (const auto& line : lines) all += line.scope + ": " + line.message + "\n";
            return all;
        }();
        EXPECT_TRUE(logged(lines, "stop the host of ["));
        EXPECT_EQ(count(lines, "read video failed."), 2u);
        EXPECT_EQ(count(lines, "read audio failed."), 1u);
        EXPECT_TRUE(logged(lines, "file load failed."));
    }
}

// A library runs in the editor: a fault in it is caught and loses that frame only.
TEST_F(PluginFolder, ALibraryThatFaultsLosesOnlyThatFrame) {
    installPlugin(VELMO_TEST_EXAMPLE_INPUT, "RawIn.vin2");
    const std::wstring path = wide(rawMovie());
    setenv("VELMO_EXAMPLE_FAULT", "segv", 1);
    System::ServiceHolder<Plugin::InputService> holder;
    const auto file = holder.get()->getInputFile(path, 1);
    ASSERT_TRUE(file);
    LogCapture log;
    EXPECT_THROW(file->readVideo(1), std::runtime_error);  // the caches swallow it
    EXPECT_TRUE(logged(log.snapshot(), "table.func_read_video"));
    expectFrame(file->readVideo(2), 2);
}

// The export's frames and sound as a test source gives them.
class PatternSource : public Plugin::ExportSource {
public:
    explicit PatternSource(const Plugin::ExportScene& scene) : scene_(scene) {}
    std::shared_ptr<Media::ImageBuffer> renderVideo(int32_t frame, int32_t format, bool) override {
        auto image = Media::ImageBuffer::make(format, static_cast<uint32_t>(scene_.width),
                                              static_cast<uint32_t>(scene_.height));
        for (uint32_t y = 0; y < image->height; ++y)
            for (uint32_t x = 0; x < image->width; ++x) {
                uint8_t* p = image->data() + y * image->pitch + x * 4;
                RawMedia::pixel(x, y, static_cast<uint32_t>(frame), p);
                p[3] = 255;
            }
        return image;
    }
    std::shared_ptr<Media::RawAudioBuffer> renderAudio(int32_t frame, int32_t) override {
        const int64_t first = firstSample(frame), next = firstSample(frame + 1);
        auto block = std::make_shared<Media::RawAudioBuffer>();
        block->formatTag = 1;
        block->channels = 2;
        block->bitsPerSample = 16;
        block->blockAlign = 4;
        block->sampleCount = static_cast<int32_t>(next - first);
        block->data.allocMemory(static_cast<uint32_t>(block->sampleCount * 4));
        auto* out = reinterpret_cast<int16_t*>(block->data.data());
        for (int64_t s = first; s < next; ++s)
            for (uint32_t c = 0; c < 2; ++c) *out++ = RawMedia::sample(static_cast<uint32_t>(s), c);
        return block;
    }
    int64_t firstSample(int64_t frame) const {
        return std::llround(static_cast<double>(scene_.audioRate) * frame * scene_.scale / scene_.rate);
    }

private:
    Plugin::ExportScene scene_;
};

Plugin::ExportScene patternScene() {
    Plugin::ExportScene scene;
    scene.width = 10;  // 30-byte rows, padded to 32
    scene.height = 6;
    scene.rate = 30;
    scene.scale = 1;
    scene.audioRate = 8000;
    scene.lastFrame = 4;
    return scene;
}

TEST_F(PluginFolder, TheExampleWriterWritesTheExportsBytesAsALibraryAndThroughItsHost) {
    const Plugin::ExportScene scene = patternScene();
    PatternSource source(scene);
    // What the file must hold: the five frames bottom-up in 24 bits, then
    // llround(8000 × 5 ÷ 30) = 1333 stereo samples.
    RawMedia expected;
    {
        std::memcpy(expected.header.magic, "VRAW", 4);
        expected.header = RawHeader{{'V', 'R', 'A', 'W'}, 10, 6, 24, 5, 30, 1, 8000, 2, 1333};
        const uint32_t row = rawRowSize(&expected.header), size = rawFrameSize(&expected.header);
        expected.frames.assign(size_t{size} * 5, 0);
        for (uint32_t f = 0; f < 5; ++f)
            for (uint32_t y = 0; y < 6; ++y)
                for (uint32_t x = 0; x < 10; ++x)
                    RawMedia::pixel(x, y, f, &expected.frames[size_t{f} * size + size_t{5 - y} * row + x * 3]);
        for (uint32_t s = 0; s < 1333; ++s)
            for (uint32_t c = 0; c < 2; ++c) expected.samples.push_back(RawMedia::sample(s, c));
    }
    for (const char* file : {"RawOut.vou2", "RawOut.vou"}) {
        SCOPED_TRACE(file);
        fs::remove_all(plugins());
        fs::create_directories(plugins());
        installPlugin(VELMO_TEST_EXAMPLE_OUTPUT, file);
        System::ServiceHolder<Plugin::OutputService> holder;
        ASSERT_EQ(holder.get()->plugins().size(), 4u);
        Plugin::OutputPlugin& plugin = *holder.get()->plugins()[3];
        const fs::path target = root_ / (std::string(file) + ".vraw");
        const auto job = plugin.createOutputFile(wide(target), scene, &source);
        ASSERT_TRUE(job);
        EXPECT_TRUE(job->notify);
        EXPECT_TRUE(job->save());
        EXPECT_EQ(job->framesDone.load(), 5);
        EXPECT_EQ(job->framesTotal.load(), 5);
        // The library's wish for six frames ahead is heard; the hosts' protocol has no word for it.
        EXPECT_EQ(job->videoLimit, std::string(file) == "RawOut.vou2" ? 6 : 4);
        const RawMedia written = RawMedia::read(target);
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(&written.header), sizeof written.header),
                  std::string(reinterpret_cast<const char*>(&expected.header), sizeof expected.header));
        // Row padding included: zero, not what a buffer held before.
        EXPECT_TRUE(written.frames == expected.frames) << "the frames differ";
        EXPECT_TRUE(written.samples == expected.samples) << "the sound differs";
        EXPECT_TRUE(readFile(target) == expected.bytes()) << "the written file differs";
    }
}

// An export whose host dies, sends a request no host sends, or stops
// answering: the export fails with the reason in the log and the host is
// stopped. A silent host is waited for until the user aborts, then given a
// grace time to come back.
TEST_F(PluginFolder, AnExportWhoseHostFailsEndsWithTheReasonLogged) {
    struct Case {
        const char* fault;
        const char* reason;
    } cases[] = {
        {"die", "The pipe has been ended. in System::Pipe::read()"},
        {"garbage", "invalid pipe command. in Plugin::OutputPipe32Process::ControlSection::processOutputFile() [99]"},
        {"hang", "ReadFile() failed in System::Pipe::read() [Connection timed out]"},
    };
    installPlugin(VELMO_TEST_EXAMPLE_OUTPUT, "RawOut.vou");
    const Plugin::ExportScene scene = patternScene();
    PatternSource source(scene);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fault);
        setenv("VELMO_EXAMPLE_FAULT", c.fault, 1);  // the host inherits it
        System::ServiceHolder<Plugin::OutputService> holder;
        auto* plugin = dynamic_cast<Plugin::OutputPipe32*>(holder.get()->plugins()[3].get());
        ASSERT_NE(plugin, nullptr);
        const auto job = plugin->createOutputFile(wide(root_ / "failed.vraw"), scene, &source);
        LogCapture log;
        auto saved = std::async(std::launch::async, [&] { return job->save(); });
        // The host has written frame 0 and misbehaves before frame 1.
        while (job->framesDone.load() < 1 &&
               saved.wait_for(std::chrono::milliseconds(10)) != std::future_status::ready) {
        }
        job->abort = true;
        EXPECT_FALSE(saved.get());
        EXPECT_FALSE(plugin->hostAlive());
        const auto lines = log.snapshot();
        EXPECT_TRUE(logged(lines, c.reason)) << [&] {
            std::string all;
            for (const auto& line : lines) all += line.scope + ": " + line.message + "\n";
            return all;
        }();
        EXPECT_TRUE(logged(lines, "output file failed."));
        EXPECT_TRUE(logged(lines, "stop the host of ["));
        // The plug-in's later exports fail at once.
        EXPECT_FALSE(plugin->createOutputFile(wide(root_ / "again.vraw"), scene, &source)->save());
    }
}

}  // namespace
