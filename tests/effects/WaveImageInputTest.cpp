// The waveform source's passes on lavapipe against the same cell rules on the
// CPU: waveform lines, spectrum bars and their mirror, grid sizes, gaps and
// the limits of the columns; silence; the presets.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <vector>

#include "core/HookScope.h"
#include "core/SettingService.h"
#include "edit/PopupMenu.h"
#include "effect/RenderContext.h"
#include "effects/SourceFixture.h"
#include "effects/WaveImageInput.h"
#include "media/audio/AudioBuffer.h"
#include "media/audio/RawAudioBuffer.h"
#include "media/gpu/Direct3DService.h"
#include "media/gpu/ResourceBuffer.h"
#include "platform/gpu/FormatTable.h"
#include "plugin/GeneratedMedia.h"
#include "render/Host.h"
#include "render/RenderService.h"

namespace SourceTest {
namespace {

using Constant = Effect::WaveImageInput::Constant;

// The alpha of every pixel of a 16-bit float image, rows top first.
std::vector<float> alphaOf(Media::ResourceBuffer& image) {
    auto& device = *Media::Direct3DService::get()->device;
    auto& context = *Media::Direct3DService::get()->context;
    Platform::gpu::Texture& texture = *image.texture;
    std::unique_ptr<Platform::gpu::StagingTexture> staging;
    EXPECT_EQ(Platform::kOk, device.createStagingTexture(texture.width(), texture.height(), texture.format(), staging));
    if (!staging) return {};
    (void)context.copyResource(*staging, texture);
    Platform::gpu::MappedTexture m;
    EXPECT_EQ(Platform::kOk, context.map(*staging, m));
    std::vector<float> out;
    for (uint32_t y = 0; y < texture.height(); ++y)
        for (uint32_t x = 0; x < texture.width(); ++x) {
            uint16_t h;
            std::memcpy(&h, static_cast<const uint8_t*>(m.data) + y * m.rowPitch + x * 8 + 6, 2);
            out.push_back(halfToFloat(h));
        }
    context.unmap(*staging);
    return out;
}

// The cell rules of the three passes on the CPU: the alpha of each pixel.
std::vector<float> reference(size_t pass, const std::vector<float>& levels, const Constant& c) {
    const float rx = float(c.res[0]), ry = float(c.res[1]), sx = float(c.size[0]), sy = float(c.size[1]);
    const auto v = [&](int i) { return i < 0 || size_t(i) >= levels.size() ? 0.0f : levels[size_t(i)]; };
    const auto outside = [&](float fx, float fy) {
        return std::fabs(fx - 0.5f) > c.pad[0] || std::fabs(fy - 0.5f) > c.pad[1];
    };
    const auto ramp = [](float n, float d) { return d != 0 ? n / d : 0.0f; };
    std::vector<float> out;
    for (int32_t y = 0; y < c.size[1]; ++y)
        for (int32_t x = 0; x < c.size[0]; ++x) {
            const float px = float(x) + 0.5f, py = float(y) + 0.5f;
            const float cx = rx * px / sx;
            const int k = int(std::trunc(cx));
            float alpha = 0;
            if (pass == 0) {
                const float cy = ry * py / sy;
                const int j = int(std::trunc(cy));
                if (!outside(cx - float(k), cy - float(j))) {
                    const auto L = [&](int i) { return int(std::trunc(ry * (v(i) * c.vol + 0.5f))); };
                    const int a0 = L(k - 1), a1 = L(k), a2 = L(k + 1), a3 = L(k + 2);
                    if ((a1 <= j && j <= a2 + 1) || (a2 <= j && j <= a1 + 1)) {
                        alpha = 1;
                    } else {
                        float a = 0, b = 0;
                        if (a0 <= j && j <= a1 + 1)
                            a = ramp(float(j - a0), float(a1 + 1 - a0));
                        else if (a1 <= j && j <= a0 + 1)
                            a = ramp(float(j - a0 - 1), float(a1 - a0 - 1));
                        if (a2 <= j && j <= a3 + 1)
                            b = ramp(float(j - a3 - 1), float(a2 - a3 - 1));
                        else if (a3 <= j && j <= a2 + 1)
                            b = ramp(float(j - a3), float(a2 + 1 - a3));
                        alpha = std::clamp(a + b, 0.0f, 1.0f);
                    }
                }
            } else {
                const float cy = pass == 1 ? ry * (sy - py) / sy : ry * std::fabs(sy - 2 * py) / sy;
                const int j = int(std::trunc(cy));
                const int level = int(std::trunc(ry * v(k) * c.vol));
                if (!outside(cx - float(k), cy - float(j))) alpha = (pass == 1 ? j < level : j <= level) ? 1.0f : 0.0f;
            }
            out.push_back(alpha);
        }
    return out;
}

class WaveImageInputTest : public SourceFixture {
protected:
    void SetUp() override {
        SourceFixture::SetUp();
        newScene(320, 240);
        object = add(Effect::WaveImageInput::kName, 0);
        context.scene = scene.get();
        context.resetObject(object);
    }
    Effect::WaveImageInput& wave() { return dynamic_cast<Effect::WaveImageInput&>(*object->effects[0]); }

    // A stereo sound: a sine of the amplitude over `count` samples, a few cycles long.
    static Media::AudioBuffer sine(int32_t count, float amplitude) {
        Media::AudioBuffer sound;
        sound.resize(count, 2);
        for (int c = 0; c < 2; ++c)
            for (int32_t i = 0; i < count; ++i)
                sound.getChannel(c)[i] = amplitude * float(std::sin(i * 0.05 + c * 0.3));
        return sound;
    }
    // The one float channel the waveform pass reads.
    static std::vector<float> mono(const Media::AudioBuffer& sound) {
        Media::RawAudioBuffer raw;
        raw.channels = 1;
        raw.formatTag = Media::RawAudioBuffer::kFormatIeeeFloat;
        raw.bitsPerSample = 32;
        raw.blockAlign = 4;
        sound.convertTo(raw);
        const auto* f = reinterpret_cast<const float*>(raw.data.data());
        return std::vector<float>(f, f + std::min(raw.sampleCount, 8000));
    }

    std::shared_ptr<Edit::Object> object;
    Render::RenderContext context;
};

TEST_F(WaveImageInputTest, PassesLightTheCellsTheRulesLight) {
    struct Case {
        const char* name;
        bool spectrum, mirror;
        int32_t resX, resY, spaceX, spaceY;
        int32_t samples;
        float amplitude;
        int32_t columns, rows;  // the grid the constants must carry
    };
    const Case cases[] = {
        {"waveform, a column per pixel", false, false, 0, 0, 0, 0, 1600, 0.8f, 200, 100},
        {"waveform on a grid with gaps", false, false, 50, 20, 20, 40, 1600, 0.8f, 50, 20},
        {"waveform, more columns than samples", false, false, 10000, 0, 0, 0, 160, 0.8f, 160, 100},
        {"waveform of silence", false, false, 0, 0, 0, 0, 1600, 0.0f, 200, 100},
        {"waveform, rows beyond the height", false, false, 0, 500, 0, 0, 1600, 0.5f, 200, 100},
        {"spectrum", true, false, 0, 0, 0, 0, 1600, 0.8f, 200, 100},
        {"spectrum on a grid with gaps", true, false, 32, 40, 25, 25, 1600, 0.8f, 32, 40},
        {"mirrored spectrum", true, true, 40, 40, 80, 0, 1600, 0.8f, 40, 40},
        {"mirrored spectrum of silence", true, true, 16, 10, 0, 0, 1600, 0.0f, 16, 10},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Effect::WaveImageInput& w = wave();
        w.width.values = {200};
        w.height.values = {100};
        w.spectrum.value = c.spectrum;
        w.mirror.value = c.mirror;
        w.resolutionX.value = c.resX;
        w.resolutionY.value = c.resY;
        w.spaceX.value = c.spaceX;
        w.spaceY.value = c.spaceY;
        const Media::AudioBuffer sound = sine(c.samples, c.amplitude);
        const auto image = c.spectrum ? w.drawSpectrum(context, sound) : w.drawWaveform(context, sound);
        ASSERT_NE(image, nullptr);
        ASSERT_EQ(image->width, 200u);
        ASSERT_EQ(image->height, 100u);

        Constant k{};
        k.size[0] = 200;
        k.size[1] = 100;
        k.res[0] = c.columns;
        k.res[1] = c.rows;
        k.pad[0] = float((100 - c.spaceX) * 0.005);
        k.pad[1] = float((100 - c.spaceY) * 0.005);
        std::vector<float> levels;
        if (c.spectrum) {
            levels = sound.getSpectrum(c.columns);
            k.vol = float(1.0 / 8192);
        } else {
            levels = mono(sound);
            k.vol = 0.25f;
        }
        const std::vector<float> expected = reference(c.spectrum ? (c.mirror ? 2 : 1) : 0, levels, k);
        const std::vector<float> got = alphaOf(*image);
        ASSERT_EQ(expected.size(), got.size());
        size_t wrong = 0, lit = 0;
        for (size_t i = 0; i < got.size(); ++i) {
            wrong += std::fabs(got[i] - expected[i]) > 0.02f;
            lit += got[i] > 0.5f;
        }
        // Float rounding at cell edges may differ between the GPU and here.
        EXPECT_LE(wrong, got.size() / 200) << lit << " lit";
        if (c.amplitude > 0 || c.mirror || !c.spectrum)
            EXPECT_GT(lit, 0u);
        else
            EXPECT_EQ(lit, 0u) << "a silent spectrum shows nothing";
    }
}

TEST_F(WaveImageInputTest, SilenceDrawsTheMiddleLineAndTheMirrorsCentreRow) {
    Effect::WaveImageInput& w = wave();
    w.width.values = {40};
    w.height.values = {20};
    const Media::AudioBuffer silence = sine(400, 0);
    const std::vector<float> line = alphaOf(*w.drawWaveform(context, silence));
    // Levels are trunc(20 / 2) = 10: rows 10 and 11 lit across.
    for (uint32_t y = 0; y < 20; ++y) EXPECT_EQ(line[y * 40 + 5] > 0.5f, y == 10 || y == 11) << "row " << y;
    // Ten rows of two pixels: the cells either side of the centre line make its row 0.
    w.spectrum.value = 1;
    w.mirror.value = 1;
    w.resolutionY.value = 10;
    const std::vector<float> centre = alphaOf(*w.drawSpectrum(context, silence));
    for (uint32_t y = 0; y < 20; ++y) EXPECT_EQ(centre[y * 40 + 5] > 0.5f, y >= 9 && y <= 10) << "row " << y;
    w.mirror.value = 0;
    const std::vector<float> bars = alphaOf(*w.drawSpectrum(context, silence));
    for (uint32_t y = 0; y < 20; ++y) EXPECT_LT(bars[y * 40 + 5], 0.5f) << "no bar in silence, row " << y;
}

TEST_F(WaveImageInputTest, PresetsSetTheGridItems) {
    Effect::WaveImageInput& w = wave();
    for (const auto& row : Effect::WaveImageInput::presets()) {
        SCOPED_TRACE(System::wideToUtf8(row.name));
        w.applyPreset(row);
        EXPECT_EQ(w.resolutionX.value, row.resolutionX);
        EXPECT_EQ(w.resolutionY.value, row.resolutionY);
        EXPECT_EQ(w.spaceX.value, row.spaceX);
        EXPECT_EQ(w.spaceY.value, row.spaceY);
        EXPECT_EQ(w.spectrum.value != 0, row.spectrum);
        EXPECT_EQ(w.mirror.value != 0, row.mirror);
    }
    // The button's menu offers the five presets; choosing "Type3" applies it.
    struct Menu : Edit::PopupMenu {
        std::vector<std::wstring> texts;
        std::vector<std::function<void()>> actions;
        void insertItem(const std::wstring& text, bool, std::function<void()> action) override {
            texts.push_back(text);
            actions.push_back(std::move(action));
        }
        void insertSeparator() override {}
    } menu;
    const auto previous = Effect::WaveImageInput::setMenuShower(
        [&menu](const std::function<void(Edit::PopupMenu&)>& fill) { fill(menu); });
    w.preset.action();
    Effect::WaveImageInput::setMenuShower(previous);
    ASSERT_EQ(menu.texts, (std::vector<std::wstring>{L"Type1", L"Type2", L"Type3", L"Type4", L"Type5"}));
    menu.actions[2]();
    EXPECT_EQ(w.resolutionX.value, 32);
    EXPECT_EQ(w.resolutionY.value, 40);
    EXPECT_TRUE(w.spectrum.value);
    EXPECT_FALSE(w.mirror.value);
}

// A sound file drawn through the render worker: the frame's samples come
// from the audio cache and make a line about the middle of the image, as
// high as the tone is loud.
TEST_F(WaveImageInputTest, AFilesSoundIsDrawnThroughTheWorker) {
    const std::string path = GeneratedMedia::instance().make(
        "tone.wav", "-f lavfi -i sine=frequency=440:sample_rate=48000:duration=2 -ac 2 -c:a pcm_s16le");
    ASSERT_FALSE(path.empty()) << "ffmpeg could not make the file";
    scene->videoRate = 30;
    scene->videoScale = 1;
    scene->audioRate = 48000;
    Effect::WaveImageInput& w = wave();
    w.width.values = {300};
    w.height.values = {200};
    Effect::ItemEvent given;
    given.kind = Effect::ItemEvent::kFileGiven;
    given.object = object;
    given.path = System::utf8ToWide(path);
    w.itemEvent(given);
    ASSERT_EQ(w.file.path, System::utf8ToWide(path));
    const Picture picture = render(10);
    int32_t top = 1 << 30, bottom = -1, lit = 0;
    for (uint32_t y = 0; y < picture.height; ++y)
        for (uint32_t x = 0; x < picture.width; ++x)
            if (picture.at(x, y)[3] > 128) {
                top = std::min<int32_t>(top, int32_t(y));
                bottom = std::max<int32_t>(bottom, int32_t(y));
                ++lit;
            }
    // The tone's amplitude is at most 1/8 on each channel: the line swings at most
    // 0.0625 of 200 rows up and down, where silence would be two rows high.
    ASSERT_GT(lit, 300);
    EXPECT_NEAR((top + bottom) / 2.0, 120, 3) << "the image's middle at the frame's centre";
    EXPECT_GT(bottom - top, 8);
    EXPECT_LE(bottom - top, 27);
}

// Without a file the image shows the scene's own sound, rendered by the
// audio worker for the frame while the video worker waits for it.
TEST_F(WaveImageInputTest, TheScenesOwnSoundIsDrawnWithoutAFile) {
    const std::string path = GeneratedMedia::instance().make(
        "tone.wav", "-f lavfi -i sine=frequency=440:sample_rate=48000:duration=2 -ac 2 -c:a pcm_s16le");
    ASSERT_FALSE(path.empty()) << "ffmpeg could not make the file";
    scene->videoRate = 30;
    scene->videoScale = 1;
    scene->audioRate = 48000;
    Effect::WaveImageInput& w = wave();
    w.width.values = {300};
    w.height.values = {200};
    // The line's height in the frame of the render service's video worker.
    const auto lineHeight = [&] {
        Picture picture;
        Render::RenderService::get()->video().requestRenderingFrame(Render::kRenderExport, 10,
                                                                    [&picture](int32_t, Media::RenderBuffer& buffer,
                                                                               Anchor::AnchorList*) {
                                                                        picture = readPicture(buffer);
                                                                    });
        Render::RenderService::get()->video().waitAll();
        int32_t top = 1 << 30, bottom = -1;
        for (uint32_t y = 0; y < picture.height; ++y)
            for (uint32_t x = 0; x < picture.width; ++x)
                if (picture.at(x, y)[3] > 128) {
                    top = std::min<int32_t>(top, int32_t(y));
                    bottom = std::max<int32_t>(bottom, int32_t(y));
                }
        return bottom - top + 1;
    };
    struct Scenes : Render::Host {
        std::unique_ptr<Edit::ReadSection> openCurrentScene() override { return open(); }
        std::function<std::unique_ptr<Edit::ReadSection>()> open;
    } scenes;
    scenes.open = [this] { return std::make_unique<Edit::ReadSection>(lock, scene, nullptr); };
    {
        const System::HookScope host(Render::setHost, &scenes);
        // The workers read their settings: the shipped defaults beside the test program.
        for (const char* name : {"system.conf", "style.conf", "effect.conf"})
            std::filesystem::copy_file(name, install() / name);
        System::ServiceHolder<Setting::SettingService> settings;
        System::ServiceHolder<Render::RenderService> render;
        EXPECT_EQ(lineHeight(), 2) << "a silent scene: the middle line";
        auto sound = add(L"音声ファイル", 1);
        Effect::ItemEvent given;
        given.kind = Effect::ItemEvent::kFileGiven;
        given.object = sound;
        given.path = System::utf8ToWide(path);
        sound->effects[0]->itemEvent(given);
        scene->update();
        EXPECT_GT(lineHeight(), 8) << "the tone swings the line";
    }
}

}  // namespace
}  // namespace SourceTest
