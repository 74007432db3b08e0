#include <gtest/gtest.h>

#include <memory>

#include "effects/OutputFixture.h"
#include "filters/BlurFilter.h"

namespace {

using OutputTest::Pixels;

class RadialBlurRender : public OutputTest::OutputFixture {};

// A zoom about a point off the image centre grows the image unevenly; the
// point itself is not blurred and stays where the object showed it.
TEST_F(RadialBlurRender, TheBlurCentreStaysInPlace) {
    frameSize(64, 48);
    Pixels gradient{16, 16, std::vector<float>(16 * 16 * 4, 1.0f)};
    for (uint32_t y = 0; y < 16; ++y)
        for (uint32_t x = 0; x < 16; ++x) {
            gradient.at(x, y)[0] = x / 16.0f;
            gradient.at(x, y)[1] = y / 16.0f;
        }
    auto object = add(0, gradient);
    auto blur = std::make_shared<Effect::BlurFilter>();
    blur->createCommonResource();
    OutputTest::setItem(blur->range, 50);
    OutputTest::setItem(blur->x, 4.5);  // the centre of image pixel (12, 5)
    OutputTest::setItem(blur->y, -2.5);
    object->effects.push_back(blur);
    scene->update();
    const Pixels frame = render();
    ASSERT_EQ(frame.width, 64u);
    // Unfiltered, the square covers 24 .. 39 across and 16 .. 31 down.
    const float* centre = frame.at(24 + 12, 16 + 5);
    EXPECT_NEAR(centre[0], 12 / 16.0f, 0.01f);
    EXPECT_NEAR(centre[1], 5 / 16.0f, 0.01f);
    EXPECT_NEAR(centre[3], 1.0f, 0.01f);
    // The zoom spreads the image beyond where it was.
    EXPECT_GT(frame.at(20, 40)[3], 0.05f);
}

}  // namespace
