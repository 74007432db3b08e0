// The scene change's built-in transitions drawn on lavapipe between two
// pictures and compared with references computed here, and the scene change
// object rendered through the video worker with the frame before it.
#include <array>
#include <cmath>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "core/HookScope.h"
#include "core/Log.h"
#include "effect/RenderContext.h"
#include "effect/LinearMove.h"
#include "effects/BlurHooks.h"
#include "effects/GroupControl.h"
#include "effects/OutputFixture.h"
#include "effects/SceneChange.h"
#include "media/gpu/NoiseTexture.h"
#include "media/gpu/PixelShaderList.h"
#include "media/resource/MaskSource.h"
#include "media/resource/TransitionList.h"

namespace OutputTest {
namespace {

using Effect::SceneChange;

constexpr uint32_t kW = 32, kH = 16;

// Before: red along x, green along y, blue 0.25. Current: blue 0.75, so every
// pixel tells which picture it came from.
Pixels beforePicture() { return gradient(kW, kH); }
Pixels currentPicture() {
    Pixels p{kW, kH, std::vector<float>(kW * kH * 4)};
    for (uint32_t y = 0; y < kH; ++y)
        for (uint32_t x = 0; x < kW; ++x) {
            float* t = p.at(x, y);
            t[0] = 1 - (y + 0.5f) / kH, t[1] = (x + 0.5f) / kW, t[2] = 0.75f, t[3] = 1;
        }
    return p.rounded();
}

using Colour = std::array<float, 4>;
Colour at(const Pixels& p, int32_t x, int32_t y) {
    const float* c = p.at(uint32_t(x), uint32_t(y));
    return {c[0], c[1], c[2], c[3]};
}
bool inside(int32_t x, int32_t y) { return x >= 0 && y >= 0 && x < int32_t(kW) && y < int32_t(kH); }

// The scene change and its programs on the catalogue of the outputs.
class SceneChangeCatalog : public AddedCatalog {
public:
    SceneChangeCatalog() { change_.createCommonResource(); }
    SceneChange& prototype() { return change_; }

private:
    const Effect::EffectBase* added(const std::wstring& name) const override {
        if (name == SceneChange::kName) return &change_;
        if (name == Effect::GroupControl::kName) return &group_;
        return nullptr;
    }

    SceneChange change_;
    Effect::GroupControl group_;
};

class SceneChangeDrawing : public OutputFixture {
protected:
    // The transition of the key drawn from the before picture over the current one.
    Pixels draw(int32_t key, const SceneChange::SceneChangeParams& settings) {
        Media::Direct3DService& d3d = *Media::Direct3DService::get();
        Media::RenderBuffer target(d3d.pixelFormat, d3d.defaultSampleDesc);
        target.createTexture2D(kW, kH);
        target.createRenderTargetView();
        Resource::ResourceService::get()->pixelShaders[2].drawResourceToRender(target, *upload(currentPicture()));
        SceneChange::SceneChangeParams p = settings;
        p.effect = &changes.prototype();
        p.resource = changes.prototype().resource.get();
        p.before = upload(beforePicture());
        p.target = &target;
        if (key < SceneChange::kFirstWipe) {
            const auto& define = SceneChange::defineList()[size_t(key)];
            define.draw(p, define);
        } else {
            SceneChange::wipe(p, key - SceneChange::kFirstWipe);
        }
        return readFrame(target);
    }

    SceneChangeCatalog changes;
};

// Pixel-exact transitions: the expected colour of every pixel.
TEST_F(SceneChangeDrawing, ThePassTransitionsDrawAsTheReference) {
    const Pixels before = beforePicture(), now = currentPicture();
    const std::vector<float> random = Resource::NoiseTexture::permutation();
    using Expect = std::function<Colour(int32_t x, int32_t y)>;
    struct Case {
        const char* name;
        int32_t key;
        float t;
        Expect expect;
        int32_t angle = 0, divide = 5;
        bool vertical = false, invert = false;
    };
    const auto mix = [&](float t) {
        return [&, t](int32_t x, int32_t y) {
            Colour c;
            for (int k = 0; k < 4; ++k) c[k] = at(before, x, y)[k] * (1 - t) + at(now, x, y)[k] * t;
            return c;
        };
    };
    const auto shifted = [&](int32_t dx, int32_t dy) {
        return [&, dx, dy](int32_t x, int32_t y) {
            return inside(x + dx, y + dy) ? at(before, x + dx, y + dy) : at(now, x, y);
        };
    };
    // Bands of kH * divide / kH lines; odd bands move one way, even ones the other.
    const auto sliced = [&](int32_t offset, int32_t divide, bool vertical, const Pixels& moving, const Pixels& still) {
        return [&, offset, divide, vertical](int32_t x, int32_t y) {
            const int32_t band = vertical ? x * divide / int32_t(kW) : y * divide / int32_t(kH);
            const int32_t s = (band % 2 ? 1 : -1) * offset;
            const int32_t sx = vertical ? x : x + s, sy = vertical ? y + s : y;
            return inside(sx, sy) ? at(moving, sx, sy) : at(still, x, y);
        };
    };
    const auto lines = [&](float t, int32_t divide) {
        return [&, t, divide](int32_t x, int32_t y) {
            return random[size_t(y * divide / int32_t(kH))] < t ? at(now, x, y) : at(before, x, y);
        };
    };
    const auto pushed = [&](int32_t d) {  // d: the before picture's offset; the current one follows it
        return [&, d](int32_t x, int32_t y) {
            if (inside(x + d, y)) return at(before, x + d, y);
            if (inside(x + d - int32_t(kW), y)) return at(now, x + d - int32_t(kW), y);
            return Colour{};
        };
    };
    const Expect black = [](int32_t, int32_t) { return Colour{0, 0, 0, 1}; };
    const Expect white = [](int32_t, int32_t) { return Colour{1, 1, 1, 1}; };
    const Case cases[] = {
        {"cross-fade at 0", 0, 0, mix(0)},
        {"cross-fade halfway", 0, 0.5f, mix(0.5f)},
        {"cross-fade at 1", 0, 1, mix(1)},
        {"black-out at 0", 1, 0, mix(0)},
        {"black-out halfway is black", 1, 0.5f, black},
        {"black-out at a quarter", 1, 0.25f,
         [&](int32_t x, int32_t y) {
             Colour c = at(before, x, y);
             for (int k = 0; k < 3; ++k) c[k] *= 0.5f;
             return c;
         }},
        {"black-out at 1", 1, 1, mix(1)},
        {"white-out halfway is white", 2, 0.5f, white},
        {"white-out at 1", 2, 1, mix(1)},
        {"slice at 0", 3, 0, mix(0)},
        {"slice halfway", 3, 0.5f, sliced(16, 5, false, before, now)},
        {"slice bands limited to half the height", 3, 0.5f, sliced(16, 8, false, before, now), 0, 1000},
        {"slice vertical", 3, 0.25f, sliced(8, 5, true, before, now), 0, 5, true},
        {"slice at 1", 3, 1, mix(1)},
        {"slice inverted: the current picture enters", 3, 0.25f, sliced(24, 5, false, now, before), 0, 5, false, true},
        {"random lines at 0", 4, 0, mix(0)},
        {"random lines halfway", 4, 0.5f, lines(0.5f, 8), 0, 8},
        {"random lines at 1", 4, 1, lines(1, 8), 0, 8},
        {"slide at 0", 5, 0, mix(0)},
        {"slide halfway", 5, 0.5f, shifted(16, 0)},
        {"slide at 90 degrees", 5, 0.5f, shifted(0, 8), 90},
        {"slide at 1", 5, 1, mix(1)},
        {"push at 0", 6, 0, mix(0)},
        {"push halfway", 6, 0.5f, pushed(16)},
        {"push at 1", 6, 1, mix(1)},
        {"turn at 0", 9, 0, mix(0)},
        {"turn halfway: edge-on", 9, 0.5f, [](int32_t, int32_t) { return Colour{}; }},
        {"turn at 1", 9, 1, mix(1)},
        {"swap at 0", 7, 0, mix(0)},
        {"swap at 1", 7, 1, mix(1)},
        {"shrink and turn at 0", 8, 0, mix(0)},
        {"shrink and turn at 1", 8, 1, mix(1)},
        {"cube at 0", 10, 0, mix(0)},
        {"cube at 1", 10, 1, mix(1)},
        {"radial blur at 0", 11, 0, mix(0)},
        {"radial blur at 1", 11, 1, mix(1)},
        {"blur at 0", 12, 0, mix(0)},
        {"blur at 1", 12, 1, mix(1)},
    };
    for (const Case& c : cases) {
        SceneChange::SceneChangeParams p;
        p.progress = c.t;
        p.angle = c.angle;
        p.divide = c.divide;
        p.vertical = c.vertical ? 1 : 0;
        p.invert = c.invert ? 1 : 0;
        const Pixels frame = draw(c.key, p);
        int wrong = 0;
        for (int32_t y = 0; y < int32_t(kH); ++y)
            for (int32_t x = 0; x < int32_t(kW); ++x) {
                const Colour want = c.expect(x, y), got = at(frame, x, y);
                bool ok = true;
                for (int k = 0; k < 4; ++k) ok &= std::abs(got[k] - want[k]) <= 0.01f;
                if (!ok && ++wrong <= 3)
                    ADD_FAILURE() << c.name << " at (" << x << ", " << y << "): got " << got[0] << " " << got[1] << " "
                                  << got[2] << " " << got[3] << ", want " << want[0] << " " << want[1] << " " << want[2]
                                  << " " << want[3];
            }
        EXPECT_EQ(wrong, 0) << c.name;
    }
}

// The blurring transitions hand the picture of the half they are in to the
// blur filters' cores, strongest halfway; here the blurs only note the call.
struct BlurCall {
    float amount = -1;
    int32_t mode = -1;
};
BlurCall gLastBlur;

TEST_F(SceneChangeDrawing, TheBlurTransitionsBlurThePictureOfTheirHalf) {
    const System::HookScope blur(Effect::BlurHooks::setBlur,
                                 [](Effect::BlurHooks::Image image, int32_t size, float, int32_t mode) {
                                     gLastBlur = {float(size), mode};
                                     return image;
                                 });
    const System::HookScope radialBlur(Effect::BlurHooks::setRadialBlur,
                                       [](Effect::BlurHooks::Image image, float strength) {
                                           gLastBlur = {strength, -1};
                                           return image;
                                       });
    struct Case {
        const char* name;
        int32_t key;
        float t;
        BlurCall want;
        bool showsCurrent;
    };
    const Case cases[] = {
        {"blur in the first half", 12, 0.25f, {200, 2}, false},
        {"blur in the second half", 12, 0.75f, {200, 2}, true},
        {"blur halfway", 12, 0.5f, {400, 2}, true},
        {"radial blur in the first half", 11, 0.25f, {40, -1}, false},
        {"radial blur halfway", 11, 0.5f, {80, -1}, true},
    };
    const Pixels before = beforePicture(), now = currentPicture();
    for (const Case& c : cases) {
        gLastBlur = {};
        SceneChange::SceneChangeParams p;
        p.progress = c.t;
        const Pixels frame = draw(c.key, p);
        EXPECT_FLOAT_EQ(gLastBlur.amount, c.want.amount) << c.name;
        EXPECT_EQ(gLastBlur.mode, c.want.mode) << c.name;
        const Pixels& want = c.showsCurrent ? now : before;
        int wrong = 0;
        for (size_t i = 0; i < want.rgba.size(); ++i) wrong += std::abs(frame.rgba[i] - want.rgba[i]) > 0.01f;
        EXPECT_EQ(wrong, 0) << c.name;
    }
}

// The layer transitions halfway: which picture shows where, by its blue.
TEST_F(SceneChangeDrawing, TheLayerTransitionsHalfwayShowEachPictureInItsPlace) {
    struct Probe {
        int32_t x, y;
        float blue;  // 0.25 before, 0.75 current, 0 nothing
    };
    struct Case {
        const char* name;
        int32_t key;
        std::vector<Probe> probes;
    };
    const Case cases[] = {
        // The before picture swings left, the current one right and in front.
        {"swap", 7, {{4, 8, 0.25f}, {28, 8, 0.75f}, {16, 8, 0.75f}}},
        // A third of the size, three quarters opaque, over the current picture.
        {"shrink and turn", 8, {{16, 8, 0.25f * 0.75f + 0.75f * 0.25f}, {2, 2, 0.75f}, {30, 14, 0.75f}}},
        // Two faces of the cube, each turned 45 degrees about its centre.
        {"cube", 10, {{8, 8, 0.25f}, {24, 8, 0.75f}}},
    };
    for (const Case& c : cases) {
        SceneChange::SceneChangeParams p;
        p.progress = 0.5f;
        const Pixels frame = draw(c.key, p);
        for (const Probe& probe : c.probes)
            EXPECT_NEAR(at(frame, probe.x, probe.y)[2], probe.blue, 0.02f)
                << c.name << " at (" << probe.x << ", " << probe.y << ")";
    }
}

TEST_F(SceneChangeDrawing, AWipeWithoutItsMaskLeavesTheCurrentPicture) {
    std::vector<std::string> warnings;
    std::mutex mutex;
    System::Log::setHandler([&](const System::Log::Type& t, const char*, const char* message) {
        const std::lock_guard guard(mutex);
        if (t.level == System::Log::kWarn.level) warnings.push_back(message);
    });
    SceneChange::SceneChangeParams p;
    p.progress = 0.5f;
    const Pixels frame = draw(SceneChange::kFirstWipe + 500, p);
    System::Log::setHandler(System::Log::defaultHandler);
    const Pixels now = currentPicture();
    for (size_t i = 0; i < now.rgba.size(); ++i) ASSERT_NEAR(frame.rgba[i], now.rgba[i], 0.01f) << i;
    EXPECT_EQ(warnings, std::vector<std::string>{"no scene change mask"});
}

// The straight wipes take their cut from the filters: here the cut leaves the
// whole mask (all covered) or clears it (nothing covered).
class CutMasks : public Resource::MaskSource {
public:
    explicit CutMasks(bool cutAll) : cutAll_(cutAll) { installed = this; }
    ~CutMasks() override { installed = nullptr; }
    std::shared_ptr<Media::ImageBuffer> getImage(const std::wstring&) const override { return nullptr; }
    void clipSector(Media::ResourceBuffer&, float, float, int32_t) const override {}
    void clipLine(Media::ResourceBuffer& mask, float, float, float, int32_t) const override {
        static constexpr float kClear[4] = {0, 0, 0, 0};
        if (cutAll_) Media::Direct3DService::get()->context->clearRenderTargetView(mask.getRenderTargetView(), kClear);
    }
    std::unique_ptr<Media::ResourceBuffer> blur(Media::ResourceBuffer&, int32_t) const override { return nullptr; }

private:
    bool cutAll_;
};

TEST_F(SceneChangeDrawing, AWipeShowsTheCurrentPictureWhereItsMaskCovers) {
    Resource::ResourceService& resources = *Resource::ResourceService::get();
    const auto saved = resources.transitions;
    resources.transitions = std::make_shared<Resource::TransitionList>(resources.paths, L"/nonexistent-folder/*.png");
    int32_t horizontal = -1;
    for (size_t k = 0; k < resources.transitions->transitions.size(); ++k)
        if (resources.transitions->transitions[k].kind == Resource::TransitionData::kHorizontal)
            horizontal = int32_t(k);
    ASSERT_GE(horizontal, 0);
    struct Case {
        const char* name;
        bool covered, invert;
        bool showsCurrent;
    };
    const Case cases[] = {
        {"covered", true, false, true},
        {"covered, inverted", true, true, false},
        {"uncovered", false, false, false},
        {"uncovered, inverted", false, true, true},
    };
    const Pixels before = beforePicture(), now = currentPicture();
    for (const Case& c : cases) {
        const CutMasks masks(!c.covered);
        SceneChange::SceneChangeParams p;
        p.progress = 0.5f;
        p.invert = c.invert ? 1 : 0;
        const Pixels frame = draw(SceneChange::kFirstWipe + horizontal, p);
        const Pixels& want = c.showsCurrent ? now : before;
        int wrong = 0;
        for (size_t i = 0; i < want.rgba.size(); ++i) wrong += std::abs(frame.rgba[i] - want.rgba[i]) > 0.01f;
        EXPECT_EQ(wrong, 0) << c.name;
    }
    resources.transitions = saved;
}

TEST(SceneChangeProgress, TheFirstFrameGivesOneOverTheLengthAndTheLastOne) {
    EXPECT_FLOAT_EQ(SceneChange::progressAt(10, 10, 39), 1.0f / 30);
    EXPECT_FLOAT_EQ(SceneChange::progressAt(24, 10, 39), 0.5f);
    EXPECT_FLOAT_EQ(SceneChange::progressAt(39, 10, 39), 1.0f);
    EXPECT_FLOAT_EQ(SceneChange::progressAt(60, 10, 39), 1.0f);
}

// Through the worker: the layers below the scene change at the frame before
// it began, mixed with what they show now; a layer above draws over the mix.
class SceneChangeRender : public OutputFixture {
protected:
    SceneChangeCatalog changes;
};

TEST_F(SceneChangeRender, TheFrameBeforeTheObjectFadesIntoTheCurrentOne) {
    frameSize(kW, kH);
    add(0, beforePicture(), Effect::VideoOutput::kName, 0, 9);
    add(0, currentPicture(), Effect::VideoOutput::kName, 10, 99);
    auto change = scene->createObject(SceneChange::kName, 1, 10, 19);
    Pixels above{2, 2, std::vector<float>(16, 1.0f)};
    auto top = add(2, above);
    setItem(output<Effect::VideoOutput>(*top).x, -15);  // the top left corner
    setItem(output<Effect::VideoOutput>(*top).y, -7);
    scene->update();
    const Pixels before = beforePicture(), now = currentPicture();
    struct Case {
        int32_t frame;
        float t;
    };
    for (const Case& c : {Case{10, 0.1f}, Case{14, 0.5f}, Case{19, 1.0f}}) {
        const Pixels frame = render(c.frame);
        ASSERT_EQ(frame.width, kW) << c.frame;
        int wrong = 0;
        for (int32_t y = 0; y < int32_t(kH); ++y)
            for (int32_t x = 0; x < int32_t(kW); ++x) {
                const bool covered = x < 2 && y < 2;
                for (int k = 0; k < 4; ++k) {
                    const float want = covered ? 1.0f : at(before, x, y)[k] * (1 - c.t) + at(now, x, y)[k] * c.t;
                    if (std::abs(at(frame, x, y)[k] - want) > 0.01f && ++wrong <= 3)
                        ADD_FAILURE() << "frame " << c.frame << " at (" << x << ", " << y << ") channel " << k
                                      << ": got " << at(frame, x, y)[k] << ", want " << want;
                }
            }
        EXPECT_EQ(wrong, 0) << c.frame;
    }
}

// The frame before the scene change is drawn by the same group controls at
// that earlier frame: the members after the scene change still follow their
// group at the current one.
TEST_F(SceneChangeRender, MembersAfterTheSceneChangeFollowTheirGroupAtTheCurrentFrame) {
    static const Effect::LinearMove linear;
    frameSize(kW, kH);
    auto group = scene->createObject(Effect::GroupControl::kName, 0, 0, 99);
    auto& g = dynamic_cast<Effect::GroupControl&>(*group->effects.front());
    g.x.movement = &linear;
    g.x.values = {0, 9900};  // X follows the frame number
    scene->createObject(SceneChange::kName, 2, 10, 19);
    add(3, Pixels{2, 2, std::vector<float>(16, 1.0f)});
    scene->update();
    for (const int32_t f : {12, 18}) {
        const Pixels frame = render(f);
        ASSERT_EQ(frame.width, kW) << f;
        // The 2 x 2 member at the frame centre moved right by the frame number.
        for (int32_t x = 0; x < int32_t(kW); ++x) {
            const bool covered = x == int32_t(kW) / 2 + f - 1 || x == int32_t(kW) / 2 + f;
            EXPECT_NEAR(at(frame, x, int32_t(kH) / 2)[3], covered ? 1 : 0, 0.01f) << "frame " << f << " x " << x;
        }
    }
}

}  // namespace
}  // namespace OutputTest
