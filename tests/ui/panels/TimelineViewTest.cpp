// The timeline's shared arithmetic: frame and pixel mapping, the scroll
// extents that grow with the scene, and the frame-range selection rules.
#include "ui/panels/TimelineView.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace {

using Component::TimelineView;

TEST(TimelineView, FramesPixelsAndLayersMapBothWays) {
    const struct {
        int32_t zoom, displayFrame, displayLayer;
        int32_t x, frameAt;
        int32_t f, pixelOf;
        int32_t y, layerAt;
    } cases[] = {
        {10000, 0, 0, 0, 0, 0, 0, 0, 0},          // one pixel per frame
        {10000, 100, 3, 25, 125, 98, -1, 27, 3},  // left of the view gives a negative pixel
        {100000, 0, 0, 19, 1, 2, 20, 28, 1},      // ten pixels per frame: a frame is ten columns
        {50000, 10, 0, 4, 10, 11, 5, 55, 1},      // the pixel rounds half up
        {7500, 0, 0, 3, 4, 3, 2, 0, 0},           // 0.75 px: 2.25 rounds to 2, 3 px truncate to frame 4
        {20, 0, 0, 1, 500, 1000, 2, 0, 0},        // the smallest zoom: 500 frames a pixel
        {20, 0, 0, -1, -500, -1000, -1, -7, 0},   // negative x and y truncate towards zero
        {100000, 0, 0, 0, 0, 2000000000, std::numeric_limits<int32_t>::max(), 0,
         0},  // far frames at the highest zoom saturate, not wrap
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "zoom " << c.zoom << " from " << c.displayFrame);
        TimelineView view;
        view.metrics.layerHeight = 28;
        view.zoom = c.zoom;
        view.displayFrame = c.displayFrame;
        view.displayLayer = c.displayLayer;
        EXPECT_EQ(view.frameAt(c.x), c.frameAt);
        EXPECT_EQ(view.pixelOf(c.f), c.pixelOf);
        EXPECT_EQ(view.layerAt(c.y), c.layerAt);
    }
}

TEST(TimelineView, ScrollExtentsFitTheViewAndGrowWithTheScene) {
    // Header 96, ruler 32, bar 20, rows 28 high.
    const struct {
        const char* what;
        int32_t width, height, zoom, lastLayer, lastFrame, layer, frame;
        int32_t rows, layerRange, displayLayer;
        int32_t frames, frameRange, displayFrame;
    } cases[] = {
        {"an empty scene cannot scroll", 516, 332, 10000, 0, 0, 5, 50, 11, 11, 0, 401, 401, 0},
        {"objects scroll until the last one reaches the middle", 516, 332, 10000, 30, 1000, 100, 5000, 11, 35, 24, 401,
         1200, 799},
        {"a panel narrower than header and bar shows no frames", 100, 332, 10000, 0, 10, 0, 3, 11, 11, 0, 0, 10, 3},
        {"a row cut short still counts", 200, 52 + 27, 10000, 0, 0, 0, 0, 1, 1, 0, 85, 85, 0},
        {"lower than ruler and bar by less than a row: one row", 200, 51, 10000, 0, 0, 0, 0, 1, 1, 0, 85, 85, 0},
        {"lower by a whole row shows none", 200, 24, 10000, 0, 0, 0, 0, 0, 0, 0, 85, 85, 0},
        {"ten pixels a frame", 516, 332, 100000, 0, 100, 0, 90, 11, 11, 0, 41, 120, 79},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TimelineView view;
        view.metrics = {28, 96, 32, 20};
        view.zoom = c.zoom;
        bool visibleChanged = false;
        EXPECT_TRUE(view.updateLayerScroll(c.height, c.lastLayer, c.layer, true) || c.displayLayer == 0);
        (void)view.updateFrameScroll(c.width, c.lastFrame, c.frame, true, visibleChanged);
        EXPECT_EQ(view.visibleRows, c.rows);
        EXPECT_EQ(view.layerRange, c.layerRange);
        EXPECT_EQ(view.displayLayer, c.displayLayer);
        EXPECT_EQ(view.visibleFrames, c.frames);
        EXPECT_EQ(view.frameRange, c.frameRange);
        EXPECT_EQ(view.displayFrame, c.displayFrame);
    }
}

TEST(TimelineView, ExtentsOnlyGrowUnlessForcedAndTheBarReportsChanges) {
    TimelineView view;
    view.metrics = {28, 96, 32, 20};
    bool visibleChanged = false;
    EXPECT_TRUE(view.updateFrameScroll(516, 1000, 0, true, visibleChanged));
    EXPECT_TRUE(visibleChanged);
    EXPECT_EQ(view.frameRange, 1200);
    // The scene shrank: normal scrolling keeps the extent, so the bar does not jump.
    EXPECT_TRUE(view.updateFrameScroll(516, 10, 700, false, visibleChanged));
    EXPECT_EQ(view.frameRange, 1200);
    EXPECT_EQ(view.displayFrame, 700);
    EXPECT_FALSE(view.updateFrameScroll(516, 10, 700, false, visibleChanged));
    EXPECT_FALSE(visibleChanged);
    // A model change forces it down and pulls the view back into it.
    EXPECT_TRUE(view.updateFrameScroll(516, 10, 700, true, visibleChanged));
    EXPECT_EQ(view.frameRange, 401);
    EXPECT_EQ(view.displayFrame, 0);

    EXPECT_TRUE(view.updateLayerScroll(332, 40, 30, false));
    EXPECT_EQ(view.layerRange, 45);
    EXPECT_FALSE(view.updateLayerScroll(332, 0, 30, false));
    EXPECT_EQ(view.layerRange, 45);
    EXPECT_TRUE(view.updateLayerScroll(332, 0, 30, true));
    EXPECT_EQ(view.layerRange, 11);
    EXPECT_EQ(view.displayLayer, 0);
}

TEST(TimelineView, FrameRangeSelection) {
    using Range = TimelineView::FrameRange;
    const struct {
        const char* what;
        int32_t start, end;
        Range current;
        Range result;
    } cases[] = {
        {"both negative clear", -1, -1, {4, 8}, {-1, -1}},
        {"an open end runs to the last frame", 10, -1, {-1, -1}, {10, 300}},
        {"an open end keeps the current end behind the start", 10, -1, {2, 50}, {10, 50}},
        {"an open end before the start falls back to the last frame", 60, -1, {2, 50}, {60, 300}},
        {"an open end past the last frame is ordered", 400, -1, {-1, -1}, {300, 400}},
        {"reversed ends are swapped", 20, 5, {-1, -1}, {5, 20}},
        {"an open start after the end starts at 0", -1, 7, {9, 20}, {0, 7}},
        {"an open start keeps the current start before the end", -1, 7, {3, 20}, {3, 7}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(TimelineView::selectFrameRange(c.start, c.end, c.current, 300), c.result);
    }
}

}  // namespace
