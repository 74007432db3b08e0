// Transition masks: the list's order, shape wipes from nothing to everything,
// the soft band of image masks and their aspect scale.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "media/gpu/PathData.h"
#include "media/gpu/MediaFixture.h"
#include "media/gpu/ResourceBuffer.h"
#include "media/image/ImageBuffer.h"
#include "media/resource/MaskSource.h"
#include "media/resource/TransitionList.h"

namespace {

// The image cache stand-in: one picture for every path; no clipping filters.
class FakeImages : public Resource::MaskSource {
public:
    std::shared_ptr<Media::ImageBuffer> image;
    std::shared_ptr<Media::ImageBuffer> getImage(const std::wstring&) const override { return image; }
    void clipSector(Media::ResourceBuffer&, float, float, int32_t) const override {}
    void clipLine(Media::ResourceBuffer&, float, float, float, int32_t) const override {}
    std::unique_ptr<Media::ResourceBuffer> blur(Media::ResourceBuffer&, int32_t) const override { return nullptr; }
};

class TransitionTest : public ResourceTest {
protected:
    void SetUp() override { paths = Resource::PathData::createBuiltins(); }
    void TearDown() override {
        Resource::MaskSource::installed = nullptr;
        ResourceTest::TearDown();
    }
    static std::vector<float> alphas(Media::ResourceBuffer& buffer) {
        const auto px = pixelsOf(*buffer.texture);
        std::vector<float> out;
        for (size_t i = 3; i < px.size(); i += 4) out.push_back(px[i]);
        return out;
    }
    std::vector<std::unique_ptr<Resource::PathData>> paths;
};

TEST_F(TransitionTest, BuiltinWipesThenImagesInCodeUnitOrder) {
    const auto dir = std::filesystem::temp_directory_path() / ("velmo-transitions-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    for (const char* name : {"b.png", "A.png", "a.b.png", "c.bmp"}) std::ofstream(dir / name) << "x";
    Resource::TransitionList list(paths, dir.wstring() + L"/*.png");
    std::filesystem::remove_all(dir);
    const std::vector<std::wstring> names = {L"ワイプ(円)", L"ワイプ(四角)", L"ワイプ(時計)", L"ワイプ(横)",
                                             L"ワイプ(縦)", L"ワイプ(星型)", L"ワイプ(ハート)", L"A", L"a.b", L"b"};
    ASSERT_EQ(names.size(), list.transitions.size());
    for (size_t i = 0; i < names.size(); ++i) {
        EXPECT_EQ(names[i], list.transitions[i].name) << i;
        EXPECT_EQ(names[i], list.names.at(int32_t(i)));
        EXPECT_EQ(i < 7, list.transitions[i].path != nullptr) << i;
    }
    EXPECT_EQ(Resource::TransitionData::kClock, list.transitions[2].kind);
    EXPECT_EQ(1.0f, list.transitions[8].scale);

    Resource::TransitionList none(paths, L"/nonexistent-folder/*.png");
    EXPECT_EQ(7u, none.transitions.size()) << "a missing folder leaves the built-in wipes";
}

TEST_F(TransitionTest, ShapeWipesGrowFromNothingToTheWholeMask) {
    Resource::TransitionList list(paths, L"/nonexistent-folder/*.png");
    struct Case {
        int index;
        float progress;
        float expected;  // every texel's alpha
    };
    const Case cases[] = {{0, 0, 0}, {0, 1, 1}, {1, 0, 0}, {1, 1, 1}, {5, 0, 0}, {6, 0, 0}};
    for (const Case& c : cases) {
        auto mask = list.transitions[size_t(c.index)].createMask(64, 64, c.progress, 0, false);
        ASSERT_NE(nullptr, mask);
        for (float a : alphas(*mask)) ASSERT_NEAR(c.expected, a, 0.02) << c.index << " at " << c.progress;
    }
    auto half = list.transitions[0].createMask(64, 64, 0.5f, 0, true);
    const auto a = alphas(*half);
    EXPECT_NEAR(1, a[32 * 64 + 32], 0.01) << "the centre is covered first";
    EXPECT_NEAR(0, a[0], 0.01);
    EXPECT_EQ(nullptr, list.transitions[0].createMask(0, 64, 0.5f, 0, false));
    EXPECT_EQ(nullptr, list.transitions[2].createMask(64, 64, 0.5f, 0, false)) << "no clipping filters installed";
}

TEST_F(TransitionTest, ImageMasksCoverTheDarkFirstWithASoftBand) {
    float lo, hi;
    Resource::TransitionData::imageLimits(0.5f, 0, lo, hi);
    EXPECT_FLOAT_EQ(11.0f / 24, lo);
    EXPECT_FLOAT_EQ(13.0f / 24, hi);

    FakeImages images;
    // Darkness (1 - luma) of each texel: below, inside and above the band.
    const float darkness[] = {0.40f, 0.5f, 0.56f, 0.9f};
    images.image = Media::ImageBuffer::make(10, 4, 1);
    for (int x = 0; x < 4; ++x)
        for (int c = 0; c < 4; ++c) {
            const uint16_t h = floatToHalf(c == 3 ? 1.0f : 1 - darkness[x]);
            std::memcpy(images.image->data() + x * 8 + c * 2, &h, 2);
        }
    Resource::MaskSource::installed = &images;
    const Resource::TransitionData entry(L"ramp", L"ramp.png");
    struct Case {
        float progress;
        std::vector<float> alpha;
    };
    const Case cases[] = {
        {0, {0, 0, 0, 0}},
        {0.5f, {0, 0.5f, 1, 1}},
        {1, {1, 1, 1, 1}},
    };
    for (const Case& c : cases) {
        auto mask = entry.createMask(4, 1, c.progress, 0, false);
        ASSERT_NE(nullptr, mask);
        const auto a = alphas(*mask);
        for (size_t i = 0; i < 4; ++i) EXPECT_NEAR(c.alpha[i], a[i], 0.02) << c.progress << " texel " << i;
    }
    images.image = nullptr;
    EXPECT_EQ(nullptr, entry.createMask(4, 1, 0.5f, 0, false)) << "no picture: no mask";
}

TEST(TransitionImageScale, KeepingTheAspectScalesTheLongerSide) {
    struct Case {
        uint32_t w, h, iw, ih;
        float x, y;
    };
    const Case cases[] = {
        {1920, 1080, 1000, 1000, 1, 0.5625f},
        {1080, 1920, 1000, 1000, 0.5625f, 1},
        {100, 100, 50, 50, 1, 1},
        {100, 100, 0, 0, 1, 1},
    };
    for (const Case& c : cases) {
        float x, y;
        Resource::TransitionData::imageScale(c.w, c.h, c.iw, c.ih, x, y);
        EXPECT_FLOAT_EQ(c.x, x) << c.w << "x" << c.h;
        EXPECT_FLOAT_EQ(c.y, y) << c.w << "x" << c.h;
    }
}

}  // namespace
