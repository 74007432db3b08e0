// The figure source: sizes and aspects, built-in figures and SVG files.
#include <gtest/gtest.h>

#include "effect/RenderContext.h"
#include "effects/FigureLoad.h"
#include "effects/SourceFixture.h"
#include "media/gpu/ResourceBuffer.h"

namespace SourceTest {
namespace {

constexpr const char* kSquareSvg =
    "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 10 10\">"
    "<rect x=\"0\" y=\"0\" width=\"10\" height=\"10\" fill=\"#000000\"/></svg>";

// Where the picture has coverage: the bounding box of the pixels with alpha.
struct Box {
    int32_t left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;
    int32_t width() const { return right < left ? 0 : right - left + 1; }
    int32_t height() const { return bottom < top ? 0 : bottom - top + 1; }
};
Box coverage(const Picture& picture) {
    Box box;
    for (uint32_t y = 0; y < picture.height; ++y)
        for (uint32_t x = 0; x < picture.width; ++x)
            if (picture.at(x, y)[3] > 0) {
                box.left = std::min<int32_t>(box.left, x);
                box.right = std::max<int32_t>(box.right, x);
                box.top = std::min<int32_t>(box.top, y);
                box.bottom = std::max<int32_t>(box.bottom, y);
            }
    return box;
}

class FigureLoadTest : public SourceFixture {
protected:
    Effect::FigureLoad& figure(const Edit::Object& object) {
        return dynamic_cast<Effect::FigureLoad&>(*object.effects[0]);
    }
    std::shared_ptr<Media::ResourceBuffer> input(const std::shared_ptr<Edit::Object>& object) {
        Render::RenderContext context;
        context.scene = scene.get();
        context.resetObject(object);
        return figure(*object).inputVideo(context);
    }
};

TEST(FigureSize, AspectNarrowsOrFlattens) {
    const struct {
        double size, aspect;
        bool drawn;
        uint32_t width, height;
    } cases[] = {
        {100, 0, true, 100, 100},   {100, 50, true, 50, 100},  {100, -50, true, 100, 50},
        {100, 33, true, 67, 100},   {101, 50, true, 51, 101},  // sides rounded up
        {100, 100, false, 0, 0},    {100, -100, false, 0, 0},  // a side of nothing
        {100, 99.5, false, 0, 0},   {0, 0, false, 0, 0},       {0.5, 0, false, 0, 0},
        {1, 0, true, 1, 1},
    };
    for (const auto& c : cases) {
        uint32_t w = 0, h = 0;
        EXPECT_EQ(Effect::FigureLoad::figureSize(c.size, c.aspect, w, h), c.drawn) << c.size << " " << c.aspect;
        if (c.drawn) {
            EXPECT_EQ(w, c.width) << c.size << " " << c.aspect;
            EXPECT_EQ(h, c.height) << c.size << " " << c.aspect;
        }
    }
}

TEST(FigureFiles, OnlySvgExtensionsAreSupported) {
    const struct {
        const wchar_t* path;
        bool supported;
    } cases[] = {
        {L"/a/shape.svg", true}, {L"/a/shape.SVG", true},  {L"/a/shape.svgz", false},
        {L"/a/svg", false},      {L"/a.svg/shape", false}, {L"/a/shape.png", false},
    };
    const Effect::FigureLoad figure;
    for (const auto& c : cases)
        EXPECT_EQ(figure.isSupportedFile(c.path), c.supported) << System::wideToUtf8(c.path);
}

TEST_F(FigureLoadTest, CircleTakesTheSizeAndAspect) {
    newScene(200, 200);
    auto object = add(L"図形", 0);
    Effect::FigureLoad& source = figure(*object);
    EXPECT_EQ(source.figure.index, 1);
    EXPECT_EQ(source.getDisplayName(), L"円");
    source.aspect.values = {5000};  // 50.00
    const auto image = input(object);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->width, 50u);
    EXPECT_EQ(image->height, 100u);

    const Box box = coverage(render());
    EXPECT_NEAR(box.width(), 50, 1);
    EXPECT_NEAR(box.height(), 100, 1);
    EXPECT_NEAR(box.left, 75, 1) << "drawn about the centre";
    EXPECT_EQ(render().text(100, 100), "255,255,255,255") << "white by default, filled in the middle";

    source.aspect.values = {10000};
    EXPECT_EQ(input(object), nullptr);
    EXPECT_EQ(coverage(render()).width(), 0);
}

TEST_F(FigureLoadTest, SvgFileIsDrawnInTheChosenColour) {
    newScene(64, 64);
    writeFile(root_ / "square.svg", kSquareSvg);
    auto object = add(L"図形", 0);
    Effect::FigureLoad& source = figure(*object);
    Effect::ItemEvent event;
    event.kind = Effect::ItemEvent::kFileGiven;
    event.path = wide(root_ / "square.svg");
    EXPECT_TRUE(source.itemEvent(event));
    EXPECT_EQ(source.figure.index, -1);
    EXPECT_EQ(source.getDisplayName(), L"square.svg");
    source.size.values = {40};
    source.color.red = 0;
    source.color.green = 255;
    source.color.blue = 0;
    const Picture picture = render();
    const Box box = coverage(picture);
    EXPECT_NEAR(box.width(), 40, 1);
    EXPECT_NEAR(box.height(), 40, 1);
    EXPECT_EQ(picture.text(32, 32), "0,255,0,255") << "a one-colour document takes the chosen colour";

    // An empty path given leaves the choice as it is.
    event.path.clear();
    EXPECT_TRUE(source.itemEvent(event));
    EXPECT_EQ(source.figure.index, -1);
}

TEST_F(FigureLoadTest, UnloadableSvgIsRefusedAndTheCircleChosen) {
    newScene(16, 16);
    writeFile(root_ / "bad.svg", "<not svg");
    auto object = add(L"図形", 0);
    Effect::FigureLoad& source = figure(*object);
    source.figure.index = -1;
    source.figure.path = wide(root_ / "bad.svg");
    Effect::ItemEvent event;
    event.kind = Effect::ItemEvent::kItemChanged;
    event.item = &source.figure;
    EXPECT_FALSE(source.itemEvent(event));
    EXPECT_EQ(source.figure.index, 1);
    EXPECT_TRUE(source.figure.path.empty());
    ASSERT_EQ(posted.size(), 1u);
    EXPECT_EQ(posted[0], L"このファイルには対応していません");

    // A built-in choice is accepted as it is.
    source.figure.index = 3;
    EXPECT_TRUE(source.itemEvent(event));
    EXPECT_EQ(source.figure.index, 3);
    // A figure key past the list draws nothing.
    source.figure.index = 500;
    EXPECT_EQ(input(object), nullptr);
}

}  // namespace
}  // namespace SourceTest
