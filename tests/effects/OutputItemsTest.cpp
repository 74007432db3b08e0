// What the outputs make of their items: the output view handed to the drawing.
#include <gtest/gtest.h>

#include "effect/RenderContext.h"
#include "effects/OutputFixture.h"

namespace OutputTest {
namespace {

TEST(OutputItems, StandardDrawingAddsItsItemsToTheInheritedView) {
    struct Case {
        const char* name;
        double zoom = 100, aspect = 0, transparency = 0;
        int32_t blend = 0;
        bool keepPosition = false, keepTransform = false;
        float scaleX = 2, scaleY = 2, scaleZ = 2, opacity = 0.8f;
        int32_t blendMode = 5;  // inherited
        float x = 13, rotationZ = 40, centerX = 7;
    };
    // Inherited: scale 2, opacity 0.8, blend mode 5, x 10, z rotation 10, centre x 4;
    // the items add x 3, z rotation 30, centre x 3.
    const Case cases[] = {
        {"zoom 100 leaves the scale"},
        {"zoom 50 halves every axis", 50, 0, 0, 0, false, false, 1, 1, 1},
        {"aspect 100 makes the width 0", 100, 100, 0, 0, false, false, 0, 2, 2},
        {"aspect -100 makes the height 0", 100, -100, 0, 0, false, false, 2, 0, 2},
        {"aspect 40 narrows", 100, 40, 0, 0, false, false, 1.2f, 2, 2},
        {"transparency 100 gives opacity 0", 100, 0, 100, 0, false, false, 2, 2, 2, 0},
        {"transparency 25 fades the inherited opacity", 100, 0, 25, 0, false, false, 2, 2, 2, 0.6f},
        {"a chosen blend mode replaces the inherited one", 100, 0, 0, 3, false, false, 2, 2, 2, 0.8f, 3},
        {"a mode past the list is clamped", 100, 0, 0, 40, false, false, 2, 2, 2, 0.8f, 23},
        {"kept position", 100, 0, 0, 0, true, false, 2, 2, 2, 0.8f, 5, 10},
        {"kept transform", 50, 50, 0, 0, false, true, 2, 2, 2, 0.8f, 5, 13, 10, 4},
    };
    for (const Case& c : cases) {
        Effect::VideoOutput output;
        setItem(output.x, 3);
        setItem(output.angleZ, 30);
        setItem(output.centerX, 3);
        setItem(output.zoom, c.zoom);
        setItem(output.aspect, c.aspect);
        setItem(output.alpha, c.transparency);
        output.blend.index = c.blend;
        Render::RenderContext context;
        context.view.x = 10;
        context.view.rotationZ = 10;
        context.view.centerX = 4;
        context.view.scaleX = context.view.scaleY = context.view.scaleZ = 2;
        context.view.opacity = 0.8f;
        context.view.blendMode = 5;
        context.keepPosition = c.keepPosition;
        context.keepTransform = c.keepTransform;
        const Effect::OutputView v = output.getOutputView(context);
        EXPECT_FLOAT_EQ(v.scaleX, c.scaleX) << c.name;
        EXPECT_FLOAT_EQ(v.scaleY, c.scaleY) << c.name;
        EXPECT_FLOAT_EQ(v.scaleZ, c.scaleZ) << c.name;
        EXPECT_FLOAT_EQ(v.opacity, c.opacity) << c.name;
        EXPECT_EQ(v.blendMode, c.blendMode) << c.name;
        EXPECT_FLOAT_EQ(v.x, c.x) << c.name;
        EXPECT_FLOAT_EQ(v.rotationZ, c.rotationZ) << c.name;
        EXPECT_FLOAT_EQ(v.centerX, c.centerX) << c.name;
    }
}

TEST(OutputItems, PlainOutputChangesOnlyOpacityAndBlendMode) {
    Effect::SimpleOutput output;
    setItem(output.alpha, 50);
    Render::RenderContext context;
    context.view.x = 10;
    context.view.scaleX = 2;
    context.view.blendMode = 4;
    Effect::OutputView v = output.getOutputView(context);
    EXPECT_EQ(v.x, 10);
    EXPECT_EQ(v.scaleX, 2);
    EXPECT_FLOAT_EQ(v.opacity, 0.5f);
    EXPECT_EQ(v.blendMode, 4);  // 通常 keeps the inherited mode
    output.blend.index = 12;
    v = output.getOutputView(context);
    EXPECT_EQ(v.blendMode, 12);
}

}  // namespace
}  // namespace OutputTest
