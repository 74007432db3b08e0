#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <shared_mutex>
#include <string>
#include <vector>

#include "core/Exception.h"
#include "core/ServiceHolder.h"
#include "core/TextConvert.h"
#include "edit/EffectCatalog.h"
#include "edit/Object.h"
#include "edit/ReadSection.h"
#include "edit/Scene.h"
#include "effect/AudioRenderContext.h"
#include "effects/MovieLoad.h"
#include "effects/SceneLoad.h"
#include "effects/OutputAudioEffect.h"
#include "media/audio/AudioBuffer.h"
#include "media/gpu/RenderBuffer.h"
#include "media/gpu/ResourceBuffer.h"
#include "media/image/ImageService.h"
#include "plugin/GeneratedMedia.h"
#include "plugin/InputCacheSource.h"
#include "plugin/InputService.h"
#include "render/RenderAudioWorker.h"
#include "render/RenderSceneSource.h"
#include "render/RenderFixture.h"
#include "render/cache/CacheService.h"
#include "media/gpu/ResourceService.h"

namespace {

using Effect::EffectBase;

constexpr const wchar_t* kPlay = L"再生テスト";

// Output of both media: copies the picture to the frame's corner and adds
// the sound into the mix as it is.
class PlayTestOutput : public EffectBase {
public:
    PlayTestOutput() {
        name = kPlay;
        role = kOutput;
        media = kVideoAudio;
        placement = kVideoAudio;
    }
    std::shared_ptr<EffectBase> createInstance() const override { return std::make_shared<PlayTestOutput>(); }
    void outputVideo(Render::RenderContext&, Media::RenderBuffer& target,
                     std::shared_ptr<Media::ResourceBuffer> image) override {
        target.Direct3D->context->copySubresourceRegion(*target.texture, 0, 0, *image->texture, nullptr);
    }
    void outputAudio(Render::AudioRenderContext&, Media::AudioBuffer& target,
                     std::shared_ptr<Media::AudioBuffer> audio) override {
        Effect::OutputAudioEffect::mixAudio(target, *audio, 1, 1);
    }
};

class MovieCatalog : public Edit::EffectCatalog {
public:
    MovieCatalog() : previous_(current()) { setCurrent(this); }
    ~MovieCatalog() override { setCurrent(previous_); }
    const EffectBase& findEffect(const std::wstring& name) const override {
        if (name == Effect::MovieLoad::kName) return movie_;
        if (name == kPlay) return play_;
        if (name == Effect::SceneLoad::kName) return scene_;
        throw System::messageException("MovieCatalog::findEffect", "not found effect.");
    }
    const EffectBase& getOutputEffect(const EffectBase&) const override { return play_; }
    const EffectBase* getPairedInputEffect(const EffectBase&) const override { return nullptr; }

private:
    Effect::MovieLoad movie_;
    Effect::SceneLoad scene_;
    PlayTestOutput play_;
    EffectCatalog* previous_;
};

std::vector<uint8_t> readAll(const std::string& command) {
    std::vector<uint8_t> out;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return out;
    uint8_t chunk[65536];
    size_t n;
    while ((n = fread(chunk, 1, sizeof chunk, pipe)) > 0) out.insert(out.end(), chunk, chunk + n);
    pclose(pipe);
    return out;
}

// A project with a movie object on a file made here: its frames and sound
// are the file's, decoded by the tool for reference.
class MovieRenderTest : public RenderTest::RenderFixture {
protected:
    void SetUp() override {
        RenderFixture::SetUp();
        caches->setMediaInput(&cacheInput);
        scene->videoWidth = 64;
        scene->videoHeight = 48;
        path = GeneratedMedia::instance().make(
            "movie.mp4",
            "-f lavfi -i testsrc2=s=64x48:r=30:d=3 -f lavfi -i sine=sample_rate=48000:duration=3 "
            "-c:v libx264 -pix_fmt yuv420p -c:a aac -ac 2 -shortest");
        ASSERT_FALSE(path.empty()) << "ffmpeg could not make the file";
        movie = scene->createObject(Effect::MovieLoad::kName, 0, 0, 89);
        scene->update();
        static_cast<Effect::MovieLoad&>(*movie->effects.front()).file.path = System::utf8ToWide(path);
    }
    void TearDown() override { caches->setMediaInput(nullptr); }

    // The conversion shaders the upload draws with.
    static void SetUpTestSuite() {
        RenderFixture::SetUpTestSuite();
        resources_ = new System::ServiceHolder<Resource::ResourceService>();
    }
    static void TearDownTestSuite() {
        delete resources_;
        resources_ = nullptr;
        RenderFixture::TearDownTestSuite();
    }
    static inline System::ServiceHolder<Resource::ResourceService>* resources_ = nullptr;

    // How far each listed frame of the file, rendered at its own size, is from the
    // tool's decode of it past the tolerance of two decodes (0 when within; empty
    // when a frame is missing).
    std::vector<double> worstDifferences(const std::string& file, uint32_t width, uint32_t height,
                                         const std::vector<int32_t>& frames) {
        scene->videoWidth = static_cast<int32_t>(width);
        scene->videoHeight = static_cast<int32_t>(height);
        static_cast<Effect::MovieLoad&>(*movie->effects.front()).file.path = System::utf8ToWide(file);
        const std::vector<uint8_t> reference =
            readAll("ffmpeg -nostdin -v error -i '" + file + "' -f rawvideo -pix_fmt rgb24 -");
        const size_t frameBytes = static_cast<size_t>(width) * height * 3;
        std::vector<double> result;
        for (const int32_t frame : frames) {
            if (reference.size() < frameBytes * (frame + 1)) return {};
            const RenderTest::Frame out = render(frame);
            if (out.width != width || out.height != height) return {};
            double worst = 0;
            for (uint32_t y = 0; y < height; ++y)
                for (uint32_t x = 0; x < width; ++x)
                    for (int c = 0; c < 3; ++c) {
                        const double want = reference[frameBytes * frame + (y * width + x) * 3 + c] / 255.0;
                        worst = std::max(worst, std::fabs(out.at(x, y)[c] - want));
                    }
            result.push_back(worst < 12 / 255.0 ? 0 : worst);
        }
        return result;
    }

    MovieCatalog catalog;
    System::ServiceHolder<Media::ImageService> images;
    System::ServiceHolder<Plugin::InputService> input;
    Plugin::InputCacheSource cacheInput{*input.get()};
    System::ServiceHolder<Cache::CacheService> cacheHolder;
    Cache::CacheService* caches = cacheHolder.get();
    std::string path;
    std::shared_ptr<Edit::Object> movie;
};

TEST_F(MovieRenderTest, FramesAreTheDecodedFramesOfTheFile) {
    EXPECT_EQ(worstDifferences(path, 64, 48, {0, 1, 29, 45, 89}), std::vector<double>(5, 0.0));
}

TEST_F(MovieRenderTest, FramesInEveryColourFormAreTheDecodedFrames) {
    // Each with the matrix and levels it names, or the one its height implies.
    struct Case {
        const char* name;
        uint32_t width, height;
        const char* codec;
    };
    const Case cases[] = {
        {"bt601.mp4", 64, 48, "-c:v libx264 -pix_fmt yuv420p -colorspace bt470bg"},
        {"bt709-1080.mp4", 1920, 1080, "-c:v libx264 -preset ultrafast -pix_fmt yuv420p -colorspace bt709"},
        {"bt709-small.mp4", 64, 48, "-c:v libx264 -pix_fmt yuv420p -colorspace bt709"},
        {"full-range.mp4", 64, 48, "-c:v libx264 -pix_fmt yuvj420p"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string file =
            GeneratedMedia::instance().make(c.name, "-f lavfi -i testsrc2=s=" + std::to_string(c.width) + "x" +
                                                        std::to_string(c.height) + ":r=30:d=0.1 " + c.codec);
        ASSERT_FALSE(file.empty()) << "ffmpeg could not make the file";
        EXPECT_EQ(worstDifferences(file, c.width, c.height, {0, 2}), std::vector<double>(2, 0.0));
    }
}

TEST_F(MovieRenderTest, SoundIsTheDecodedSoundOfTheFile) {
    const std::vector<uint8_t> bytes = readAll("ffmpeg -nostdin -v error -i '" + path + "' -f f32le -ac 2 -ar 48000 -");
    std::vector<float> reference(bytes.size() / 4);
    std::memcpy(reference.data(), bytes.data(), reference.size() * 4);
    Render::RenderAudioWorker audio{[this] { return std::make_unique<Edit::ReadSection>(lock, scene, nullptr); }};
    for (const int32_t frame : {0, 1, 30, 60}) {
        SCOPED_TRACE(frame);
        std::vector<float> left, right;
        // The cache loads blocks ahead; the second request finds them.
        for (int pass = 0; pass < 2; ++pass) {
            audio.requestRenderingAudio(Render::kRenderExport, frame, [&](int32_t, Media::AudioBuffer& mix) {
                left.assign(mix.getChannel(0), mix.getChannel(0) + mix.samples);
                right.assign(mix.getChannel(1), mix.getChannel(1) + mix.samples);
            });
            audio.waitAll();
        }
        ASSERT_EQ(left.size(), 1600u);
        double worst = 0;
        for (size_t i = 0; i < 1600; ++i) {
            const size_t at = (static_cast<size_t>(frame) * 1600 + i) * 2;
            ASSERT_LT(at + 1, reference.size());
            worst = std::max(
                {worst, std::fabs(double{left[i]} - reference[at]), std::fabs(double{right[i]} - reference[at + 1])});
        }
        EXPECT_LT(worst, 1e-3);
    }
}

}  // namespace

namespace {

// The movie's scene shown and played by a scene source in another scene.
TEST_F(MovieRenderTest, ASceneSourceShowsAndPlaysAnotherScene) {
    auto inner = scene;
    inner->id = 1;
    auto outer = std::make_shared<Edit::Scene>(0, 0);
    outer->videoWidth = 64;
    outer->videoHeight = 48;
    Render::RenderAudioWorker audio{
        [&outer, this] { return std::make_unique<Edit::ReadSection>(lock, outer, nullptr); }};
    Render::RenderSceneSource scenes([&](int32_t id) { return id == 1 ? inner : nullptr; }, worker, audio);
    caches->setSceneSource(&scenes);

    // What the movie's own scene shows and plays.
    const RenderTest::Frame direct = render(45);
    std::vector<float> directLeft;
    Render::RenderAudioWorker innerAudio{
        [&inner, this] { return std::make_unique<Edit::ReadSection>(lock, inner, nullptr); }};
    for (int pass = 0; pass < 2; ++pass) {
        innerAudio.requestRenderingAudio(Render::kRenderExport, 45, [&](int32_t, Media::AudioBuffer& mix) {
            directLeft.assign(mix.getChannel(0), mix.getChannel(0) + mix.samples);
        });
        innerAudio.waitAll();
    }

    auto object = outer->createObject(Effect::SceneLoad::kName, 0, 0, 89);
    outer->update();
    static_cast<Effect::SceneLoad&>(*object->effects.front()).scene.value = 1;
    scene = outer;
    const RenderTest::Frame shown = render(45);
    std::vector<float> played;
    // The caches render the scene's blocks on request; a later request finds them.
    for (int pass = 0; pass < 3; ++pass) {
        audio.requestRenderingAudio(Render::kRenderExport, 45, [&](int32_t, Media::AudioBuffer& mix) {
            played.assign(mix.getChannel(0), mix.getChannel(0) + mix.samples);
        });
        audio.waitAll();
    }
    caches->setSceneSource(nullptr);

    ASSERT_EQ(shown.width, 64u);
    ASSERT_EQ(direct.rgba.size(), shown.rgba.size());
    double worst = 0;
    for (size_t i = 0; i < shown.rgba.size(); ++i)
        worst = std::max(worst, static_cast<double>(std::fabs(shown.rgba[i] - direct.rgba[i])));
    EXPECT_LT(worst, 2 / 255.0);
    EXPECT_FALSE(shown.clear());
    ASSERT_EQ(played.size(), directLeft.size());
    double loudest = 0, apart = 0;
    for (size_t i = 0; i < played.size(); ++i) {
        loudest = std::max(loudest, static_cast<double>(std::fabs(directLeft[i])));
        apart = std::max(apart, static_cast<double>(std::fabs(played[i] - directLeft[i])));
    }
    EXPECT_GT(loudest, 0.05);  // the sound is there, not silence
    EXPECT_LT(apart, 1e-4);
}

}  // namespace
