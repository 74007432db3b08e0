#include <gtest/gtest.h>

#include <memory>

#include "effects/OutputFixture.h"
#include "filters/DropShadowFilter.h"

namespace {

using OutputTest::Pixels;

class DropShadowRender : public OutputTest::OutputFixture {
protected:
    // A 16 x 16 opaque white square in the middle of a 64 x 48 frame, its
    // shadow 10 right and 6 down in full red.
    Pixels renderShadow(bool apart) {
        frameSize(64, 48);
        Pixels square{16, 16, std::vector<float>(16 * 16 * 4, 1.0f)};
        auto object = add(0, square);
        auto shadow = std::make_shared<Effect::DropShadowFilter>();
        OutputTest::setItem(shadow->x, 10);
        OutputTest::setItem(shadow->y, 6);
        OutputTest::setItem(shadow->density, 100);
        OutputTest::setItem(shadow->diffusion, 0);
        shadow->color.red = 255, shadow->color.green = 0, shadow->color.blue = 0;
        shadow->separate.value = apart;
        object->effects.push_back(shadow);
        scene->update();
        return render();
    }
};

// Behind the object in its own image or drawn apart through the object's
// output, the shadow lands at the offset and the object stays where it was.
TEST_F(DropShadowRender, ObjectStaysAndShadowLandsAtTheOffset) {
    for (bool apart : {false, true}) {
        SCOPED_TRACE(apart ? "drawn apart" : "in the image");
        const Pixels frame = renderShadow(apart);
        ASSERT_EQ(frame.width, 64u);
        auto expect = [&](uint32_t x, uint32_t y, float r, float g, float a) {
            const float* p = frame.at(x, y);
            EXPECT_NEAR(p[0], r, 0.02f) << x << ", " << y;
            EXPECT_NEAR(p[1], g, 0.02f) << x << ", " << y;
            EXPECT_NEAR(p[3], a, 0.02f) << x << ", " << y;
        };
        expect(24, 16, 1, 1, 1);  // the square: 24 .. 39 across, 16 .. 31 down
        expect(39, 31, 1, 1, 1);
        expect(45, 36, 1, 0, 1);  // the shadow only: 34 .. 49, 22 .. 37
        expect(49, 22, 1, 0, 1);
        expect(50, 30, 0, 0, 0);  // beyond both
        expect(23, 30, 0, 0, 0);
    }
}

}  // namespace
