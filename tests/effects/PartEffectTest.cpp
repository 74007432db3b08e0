// The partial filter drawn through the render worker: the frame under it,
// the filter objects below it turning a copy of that frame into a pattern,
// and the pattern put back through the mask, compared with a reference
// computed here.
#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "effect/RenderContext.h"
#include "effects/OutputFixture.h"
#include "effects/BlurHooks.h"
#include "effects/PartEffect.h"

namespace OutputTest {
namespace {

using Effect::PartEffect;

constexpr const wchar_t* kPattern = L"模様テスト";
constexpr uint32_t kFrameW = 40, kFrameH = 30;
constexpr float kBase[4] = {0, 0, 1, 1};

// Filter: replaces the image with a pattern grown by `grow` on every side
// (or gives none), so a misplaced copy shows.
class PatternFilter : public Effect::EffectBase {
public:
    PatternFilter() {
        name = kPattern;
        role = kFilter;
        media = kVideo;
        placement = kVideo;
    }
    std::shared_ptr<Effect::EffectBase> createInstance() const override { return std::make_shared<PatternFilter>(); }
    std::shared_ptr<Media::ResourceBuffer> filterVideo(Render::RenderContext&,
                                                       std::shared_ptr<Media::ResourceBuffer> image) override {
        ++runs;
        if (none) return nullptr;
        return upload(pattern(image->width + 2 * grow, image->height + 2 * grow));
    }
    static Pixels pattern(uint32_t w, uint32_t h) { return gradient(w, h); }

    inline static uint32_t grow = 0;
    inline static bool none = false;
    inline static int runs = 0;
};

// A white opaque image.
std::shared_ptr<Media::ResourceBuffer> white(uint32_t width, uint32_t height) {
    auto out = std::make_shared<Media::ResourceBuffer>(0, 0);
    out->width = width;
    out->height = height;
    const std::vector<uint16_t> halves(size_t(width) * height * 4, floatToHalf(1));
    out->format = out->Direct3D->pixelFormat;
    const Platform::gpu::InitialData initial{halves.data(), width * 8};
    out->createTexture2D(&initial);
    return out;
}

// The mask pictures: entry 1 a white square image, entry 2 the same square as
// coverage only (the form filled figures take).
class SquareMasks : public Effect::MaskImageSource {
public:
    SquareMasks() { installed = this; }
    ~SquareMasks() override { installed = nullptr; }
    std::shared_ptr<Media::ResourceBuffer> figure(int32_t index, uint32_t width, uint32_t height) const override {
        if (index != 2) return white(width, height);
        auto out = std::make_shared<Media::ResourceBuffer>(0, 0);
        out->width = width;
        out->height = height;
        const std::vector<uint8_t> alpha(size_t(width) * height, 255);
        out->format = out->Direct3D->maskFormat;
        const Platform::gpu::InitialData initial{alpha.data(), width};
        out->createTexture2D(&initial);
        return out;
    }
    std::shared_ptr<Media::ResourceBuffer> file(const std::wstring&) const override { return nullptr; }
    std::shared_ptr<Media::ResourceBuffer> named(const Render::RenderContext&, const std::string&) const override {
        return nullptr;
    }
    std::shared_ptr<Media::ResourceBuffer> sceneFrame(int32_t, double) const override { return nullptr; }
    bool sceneSeconds(int32_t, double&) const override { return false; }
    void preloadFile(const std::wstring&) const override {}
    void preloadSceneFrame(int32_t, double) const override {}
};

// The output catalogue with the partial filter and the pattern filter added.
class PartCatalog : public AddedCatalog {
public:
    PartCatalog() { part_.createCommonResource(); }

private:
    const Effect::EffectBase* added(const std::wstring& name) const override {
        if (name == PartEffect::kName) return &part_;
        if (name == kPattern) return &pattern_;
        return nullptr;
    }

    PartEffect part_;
    PatternFilter pattern_;
};

struct Case {
    const char* name;
    int32_t mask = 0;  // the list entry: 0 none, 1 the square image, 2 the square coverage
    bool invert = false;
    double size = 100, aspect = 0, angle = 0, x = 0, y = 0, blur = 0;
    uint32_t grow = 0;
    // The reference: the square's side on screen before the aspect (the size
    // or, blurred, grown by the test blur) and what is drawn where.
    enum Shows { kMasked, kWhole, kNothing } shows = kMasked;
};

// The test blur: the mask grown by the radius on every side, still white.
PartEffect::Image growingBlur(PartEffect::Image image, int32_t radius, float, int32_t) {
    return white(image->width + 2 * uint32_t(radius), image->height + 2 * uint32_t(radius));
}

class PartFilter : public OutputFixture {
protected:
    Effect::BlurHooks::Blur previousBlur = nullptr;
    void SetUp() override {
        OutputFixture::SetUp();
        frameSize(kFrameW, kFrameH);
        PatternFilter::grow = 0;
        PatternFilter::none = false;
        PatternFilter::runs = 0;
        previousBlur = Effect::BlurHooks::setBlur(growingBlur);
        Pixels base{kFrameW, kFrameH, {}};
        for (uint32_t i = 0; i < kFrameW * kFrameH; ++i) base.rgba.insert(base.rgba.end(), kBase, kBase + 4);
        add(0, base);
        auto object = scene->createObject(PartEffect::kName, 1, 0, 99);
        part = &dynamic_cast<PartEffect&>(*object->effects.front());
        scene->createObject(kPattern, 2, 0, 99);
        scene->update();
    }
    void TearDown() override {
        Effect::BlurHooks::setBlur(previousBlur);
        OutputFixture::TearDown();
    }
    void set(const Case& c) {
        part->mask.setListValue(c.mask);
        part->invert.value = c.invert ? 1 : 0;
        setItem(part->size, c.size);
        setItem(part->aspect, c.aspect);
        setItem(part->angle, c.angle);
        setItem(part->x, c.x);
        setItem(part->y, c.y);
        setItem(part->blur, c.blur);
        PatternFilter::grow = c.grow;
    }

    PartCatalog catalog2;
    SquareMasks masks;
    PartEffect* part = nullptr;
};

TEST_F(PartFilter, TheFilteredFrameShowsThroughTheMaskAsTheReference) {
    const Case cases[] = {
        {"no mask: the whole frame", 0, false, 100, 0, 0, 0, 0, 0, 0, Case::kWhole},
        {"no mask, grown filter result kept centred", 0, false, 100, 0, 0, 0, 0, 0, 3, Case::kWhole},
        {"no mask inverted: nothing", 0, true, 100, 0, 0, 0, 0, 0, 0, Case::kNothing},
        {"square", 1, false, 12},
        {"square inverted", 1, true, 12},
        {"square moved and turned", 1, false, 14, 0, 30, 6, -4},
        {"square widened by the aspect", 1, false, 16, -40, 0, -5, 2, 0, 2},
        {"square narrowed by the aspect, turned, inverted", 1, true, 16, 50, -20, 3, 3},
        {"coverage mask", 2, false, 12, 0, 45},
        {"blurred: the scale is taken before the growth", 1, false, 10, 0, 0, 0, 0, 3},
        {"aspect 100 is no size", 1, false, 12, 100, 0, 0, 0, 0, 0, Case::kNothing},
        {"aspect 100 inverted: the whole frame", 1, true, 12, 100, 0, 0, 0, 0, 0, Case::kWhole},
        {"size 0 is no size", 1, false, 0, 0, 0, 0, 0, 0, 0, Case::kNothing},
    };
    for (const Case& c : cases) {
        set(c);
        const Pixels frame = render();
        ASSERT_EQ(frame.width, kFrameW) << c.name;
        const Pixels filtered = PatternFilter::pattern(kFrameW + 2 * c.grow, kFrameH + 2 * c.grow);
        // The square's half sides on screen, the blur growing it by its radius.
        const double side = c.size + 2 * c.blur;
        double halfW = side / 2, halfH = side / 2;
        if (c.aspect > 0) halfW *= 1 - c.aspect / 100;
        if (c.aspect < 0) halfH *= 1 + c.aspect / 100;
        const double a = c.angle * 3.14159265358979323846 / 180;
        int wrong = 0, inside = 0, outside = 0;
        for (uint32_t y = 0; y < kFrameH; ++y)
            for (uint32_t x = 0; x < kFrameW; ++x) {
                bool shows = c.shows == Case::kWhole;
                if (c.shows == Case::kMasked) {
                    const double qx = x + 0.5 - kFrameW / 2.0 - c.x, qy = y + 0.5 - kFrameH / 2.0 - c.y;
                    const double mx = qx * std::cos(a) + qy * std::sin(a), my = -qx * std::sin(a) + qy * std::cos(a);
                    // The mask's edge is sampled bilinearly: pixels near it are not compared.
                    const double edge = std::min(std::abs(std::abs(mx) - halfW), std::abs(std::abs(my) - halfH));
                    if (edge < 1.5) continue;
                    shows = std::abs(mx) < halfW && std::abs(my) < halfH;
                    if (c.invert) shows = !shows;
                    ++(shows ? inside : outside);
                }
                const float* want = shows ? filtered.at(x + c.grow, y + c.grow) : kBase;
                const float* got = frame.at(x, y);
                bool ok = true;
                for (int k = 0; k < 4; ++k) ok &= std::abs(got[k] - want[k]) <= 0.01f;
                if (!ok && ++wrong <= 3)
                    ADD_FAILURE() << c.name << " at (" << x << ", " << y << "): got " << got[0] << " " << got[1] << " "
                                  << got[2] << " " << got[3] << ", want " << want[0] << " " << want[1] << " " << want[2]
                                  << " " << want[3];
            }
        EXPECT_EQ(wrong, 0) << c.name;
        if (c.shows == Case::kMasked) {
            EXPECT_GT(inside, 20) << c.name;
            EXPECT_GT(outside, 20) << c.name;
        }
    }
}

TEST_F(PartFilter, AFilterGivingNoImageLeavesTheFrame) {
    PatternFilter::none = true;
    for (const Case& c : {Case{"no mask", 0}, Case{"square", 1, true, 12}}) {
        set(c);
        const Pixels frame = render();
        ASSERT_EQ(frame.width, kFrameW) << c.name;
        for (uint32_t i = 0; i < kFrameW * kFrameH; ++i)
            for (int k = 0; k < 4; ++k) ASSERT_NEAR(frame.rgba[i * 4 + k], kBase[k], 0.01f) << c.name << " pixel " << i;
    }
    EXPECT_EQ(PatternFilter::runs, 2);  // the filter object below ran for the partial filter only
}

}  // namespace
}  // namespace OutputTest
