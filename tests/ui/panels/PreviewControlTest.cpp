// Where the canvas puts a frame: the largest rectangle of the frame's aspect
// that fits, centred, and nothing for an empty frame or canvas.
#include <gtest/gtest.h>

#include "ui/panels/PreviewControl.h"

namespace {

using Component::PreviewControl;

struct FitCase {
    const char* what;
    int32_t frameWidth, frameHeight, width, height;
    int32_t left, top, right, bottom;
};

TEST(PreviewControlFit, FrameFitsCentredKeepingItsAspect) {
    const FitCase cases[] = {
        {"wider canvas: bars left and right", 160, 120, 800, 516, 56, 0, 744, 516},
        {"taller canvas: bars above and below", 160, 120, 400, 600, 0, 150, 400, 450},
        {"same aspect fills the canvas", 1920, 1080, 640, 360, 0, 0, 640, 360},
        {"upscaled a lot stays exact", 16, 9, 1600, 1000, 0, 50, 1600, 950},
        {"a frame far wider than the canvas keeps one row", 10000, 1, 50, 50, 0, 24, 50, 25},
        {"a frame far taller than the canvas keeps one column", 1, 10000, 50, 50, 24, 0, 25, 50},
        {"odd leftover goes right", 100, 100, 101, 100, 0, 0, 100, 100},
        {"no frame", 0, 0, 800, 600, 0, 0, 0, 0},
        {"negative frame size", -4, 3, 800, 600, 0, 0, 0, 0},
        {"collapsed canvas", 160, 120, 0, 600, 0, 0, 0, 0},
        {"canvas with no height", 160, 120, 800, -32, 0, 0, 0, 0},
    };
    for (const FitCase& c : cases) {
        const PreviewControl::Placement at = PreviewControl::fitFrame(c.frameWidth, c.frameHeight, c.width, c.height);
        EXPECT_EQ(at.left, c.left) << c.what;
        EXPECT_EQ(at.top, c.top) << c.what;
        EXPECT_EQ(at.right, c.right) << c.what;
        EXPECT_EQ(at.bottom, c.bottom) << c.what;
    }
}

}  // namespace
