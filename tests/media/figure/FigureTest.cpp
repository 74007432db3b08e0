// Figures: the built-in shapes filled or outlined by their line-width rules,
// the circle on pixel centres, masks, the background's scene size, and the
// figure folder's SVG files after the built-in figures.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "core/HookScope.h"
#include "media/figure/FigureList.h"
#include "media/gpu/PathData.h"
#include "media/gpu/MediaFixture.h"
#include "media/gpu/ResourceBuffer.h"
#include "platform/draw2d/Geometry.h"

namespace {

class FigureTest : public MediaTest {
protected:
    void SetUp() override { paths = Resource::PathData::createBuiltins(); }

    // Alpha of each pixel of a working-format buffer.
    static std::vector<float> alphas(Media::ResourceBuffer& buffer) {
        const auto px = readBack(*buffer.texture);
        std::vector<float> out(px.size() / 8);
        for (size_t i = 0; i < out.size(); ++i) {
            uint16_t h;
            std::memcpy(&h, px.data() + 8 * i + 6, 2);
            out[i] = halfToFloat(h);
        }
        return out;
    }

    std::vector<std::unique_ptr<Resource::PathData>> paths;
};

TEST_F(FigureTest, BuiltinFiguresInTheirOrder) {
    Resource::FigureList list(paths, L"/nonexistent-folder/*.svg");
    const std::vector<std::wstring> names = {L"背景",   L"円",     L"四角形", L"三角形",
                                             L"五角形", L"六角形", L"星型",   L"ハート"};
    ASSERT_EQ(names.size(), list.figures.size()) << "no index 8 without an SVG file";
    for (size_t i = 0; i < names.size(); ++i) {
        EXPECT_EQ(names[i], list.figures[i].name);
        EXPECT_EQ(names[i], list.names.at(int32_t(i)));
        EXPECT_NE(nullptr, list.figures[i].path);
    }
    EXPECT_EQ(8u, paths.size());
}

TEST_F(FigureTest, SvgFilesFollowInPathOrder) {
    const auto dir = std::filesystem::temp_directory_path() / ("velmo-figures-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    for (const char* name : {"b.svg", "A.svg", "c.txt"}) std::ofstream(dir / name) << "<svg/>";
    Resource::FigureList list(paths, dir.wstring() + L"/*.svg");
    std::filesystem::remove_all(dir);
    ASSERT_EQ(10u, list.figures.size());
    EXPECT_EQ(L"A", list.figures[8].name);
    EXPECT_EQ(L"b", list.figures[9].name);
    EXPECT_EQ(nullptr, list.figures[8].path);
    EXPECT_EQ((dir / "A.svg").wstring(), list.figures[8].file);
}

TEST_F(FigureTest, LineWidthDecidesBetweenOutlineAndFill) {
    Resource::FigureList list(paths, L"/nonexistent-folder/*.svg");
    struct Case {
        const char* name;
        int32_t index;
        uint32_t w, h;
        float lineWidth;
        bool round;
        // (x, y, expected alpha)
        std::vector<std::tuple<int, int, float>> probes;
    };
    const Case cases[] = {
        {"rectangle at 25 is a plain clear", 2, 100, 50, 25, false, {{0, 0, 1}, {50, 25, 1}, {99, 49, 1}}},
        {"rectangle at 10 is an outline 10 wide",
         2,
         100,
         50,
         10,
         false,
         {{0, 0, 1}, {5, 25, 1}, {9, 25, 1}, {11, 25, 0}, {50, 25, 0}, {90, 25, 1}, {50, 45, 1}, {50, 39, 0}}},
        {"triangle at 30 is filled (F = 50 is not above 60)", 3, 100, 100, 30, false, {{50, 50, 1}, {50, 70, 1}}},
        {"triangle at 20 is outlined", 3, 100, 100, 20, false, {{50, 50, 0}, {50, 70, 1}, {50, 95, 0}}},
        {"a rectangle is cleared whatever round says", 2, 100, 50, 1000, true, {{50, 25, 1}, {0, 0, 1}}},
        // t = F = 50 and i = 100: the shape shrinks to its centre, stroked round 50 wide.
        {"round with a huge width outlines at the inner size",
         3,
         100,
         100,
         1000,
         true,
         {{50, 50, 1}, {50, 30, 1}, {50, 80, 0}, {50, 5, 0}}},
        {"circle filled", 1, 64, 64, 65536, false, {{32, 32, 1}, {2, 2, 0}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto image = list.createFigure(c.index, c.w, c.h, {0, 0, 1, 1}, c.lineWidth, c.round);
        ASSERT_NE(nullptr, image);
        ASSERT_EQ(c.w, image->width);
        const auto a = alphas(*image);
        for (const auto& [x, y, expected] : c.probes)
            EXPECT_NEAR(expected, a[size_t(y) * c.w + size_t(x)], 0.1) << "at " << x << "," << y;
    }
}

TEST_F(FigureTest, TheCircleLiesOnPixelCentres) {
    Resource::FigureList list(paths, L"/nonexistent-folder/*.svg");
    auto image = list.createFigure(1, 64, 64, {1, 1, 1, 1}, 65536, false);
    ASSERT_NE(nullptr, image);
    const auto a = alphas(*image);
    // The box (0.5, 0.5) 63 x 63: each edge pixel is half covered, on all four sides alike.
    for (const auto& [x, y] : {std::pair{0, 32}, {63, 32}, {32, 0}, {32, 63}})
        EXPECT_NEAR(0.5, a[size_t(y) * 64 + size_t(x)], 0.15) << x << "," << y;
    EXPECT_NEAR(a[32 * 64 + 0], a[32 * 64 + 63], 0.05);
}

TEST_F(FigureTest, BadIndicesSizesAndTheBackgroundsSceneSize) {
    Resource::FigureList list(paths, L"/nonexistent-folder/*.svg");
    EXPECT_EQ(nullptr, list.createFigure(-1, 10, 10, {}, 1, false));
    EXPECT_EQ(nullptr, list.createFigure(8, 10, 10, {}, 1, false));
    EXPECT_EQ(nullptr, list.createFigure(2, 0, 10, {}, 1, false));
    EXPECT_EQ(nullptr, list.createMask(99, 10, 10));
    EXPECT_EQ(nullptr, list.createFigure(0, 10, 10, {}, 1, false)) << "no scene: no background";
    std::unique_ptr<Media::ResourceBuffer> background;
    {
        const System::HookScope sceneSize(Resource::FigureData::setSceneSizeReader,
                                          [](uint32_t& w, uint32_t& h) { w = 32, h = 18; });
        background = list.createFigure(0, 10, 10, {1, 0, 0, 1}, 9, false);
    }
    ASSERT_NE(nullptr, background);
    EXPECT_EQ(32u, background->width);
    EXPECT_EQ(18u, background->height);
    EXPECT_NEAR(1, alphas(*background)[9 * 32 + 16], 0.01)
        << "twice the line width reaches the scene's height: a plain clear";
}

TEST_F(FigureTest, MasksAreTheFilledShapeInTheMaskFormat) {
    Resource::FigureList list(paths, L"/nonexistent-folder/*.svg");
    auto mask = list.createMask(3, 40, 40);
    ASSERT_NE(nullptr, mask);
    EXPECT_EQ(d3d().maskFormat, mask->format);
    const auto px = readBack(*mask->texture);
    ASSERT_EQ(40u * 40u, px.size());
    EXPECT_GT(px[20 * 40 + 20], 250) << "filled inside";
    EXPECT_EQ(0, px[1 * 40 + 1]) << "clear outside";
}

TEST_F(FigureTest, PathGeometryMapsTheBoxOntoTheRectangle) {
    struct Case {
        int path;
        Platform::draw2d::RectF bounds;
    };
    const Case cases[] = {
        {Resource::PathData::kSquare, {10, 20, 110, 70}},
        {Resource::PathData::kDiamond, {10, 20, 110, 70}},
        {Resource::PathData::kCircle, {10, 20, 110, 70}},
    };
    for (const Case& c : cases) {
        const auto geometry = paths[size_t(c.path)]->createPathGeometry(10, 20, 100, 50);
        const auto b = geometry->bounds();
        EXPECT_NEAR(c.bounds.left, b.left, 0.01) << c.path;
        EXPECT_NEAR(c.bounds.top, b.top, 0.01) << c.path;
        EXPECT_NEAR(c.bounds.right, b.right, 0.01) << c.path;
        EXPECT_NEAR(c.bounds.bottom, b.bottom, 0.01) << c.path;
        EXPECT_EQ(1u, geometry->figureCount());
    }
    // The star's inner vertices lie at cos 72 / cos 36 of the outer radius.
    const auto star = paths[Resource::PathData::kStar]->createPathGeometry(-1, -1, 2, 2);
    const auto& e = star->elements();
    ASSERT_GE(e.size(), 3u);
    EXPECT_NEAR(std::cos(72 * M_PI / 180) / std::cos(36 * M_PI / 180), std::hypot(e[1].p[0].x, e[1].p[0].y), 1e-5);
}

}  // namespace
