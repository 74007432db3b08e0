// The frame-buffer and previous-object sources.
#include <gtest/gtest.h>

#include "effect/EffectItem.h"
#include "effects/BeforeObjectLoad.h"
#include "effects/FrameLoad.h"
#include "effects/ImageLoad.h"
#include "effects/SourceFixture.h"

namespace SourceTest {
namespace {

class FrameSourceTest : public SourceFixture {
protected:
    // An image object on the layer showing the picture.
    std::shared_ptr<Edit::Object> addImage(int32_t layer, const Picture& picture, const char* name) {
        writePng(root_ / name, picture);
        auto object = add(Effect::ImageLoad::kName, layer);
        dynamic_cast<Effect::ImageLoad&>(*object->effects[0]).file.path = wide(root_ / name);
        return object;
    }
    static void setOutput(const Edit::Object& object, const wchar_t* item, const char* value) {
        object.effects[1]->findItemByName(item)->fromString(value);
    }
};

TEST_F(FrameSourceTest, FrameBufferShowsTheLayersBelowOnceWithTheClear) {
    // Half-covering red below: drawn over itself it covers three quarters.
    const struct {
        bool clear;
        const char* centre;
    } cases[] = {
        {false, "0,0,191,191"},
        {true, "0,0,128,128"},
    };
    for (const auto& c : cases) {
        newScene(16, 16);
        addImage(0, solid(16, 16, 0, 0, 255, 128), "half.png");
        auto frame = add(Effect::FrameLoad::kName, 1);
        auto& source = dynamic_cast<Effect::FrameLoad&>(*frame->effects[0]);
        source.clear.value = c.clear;
        const Picture picture = render();
        const uint8_t* p = picture.at(8, 8);
        const std::string label = c.clear ? "with clear" : "without clear";
        EXPECT_NEAR(p[2], std::stoi(std::string(c.centre).substr(4)), 2) << label;
        EXPECT_NEAR(p[3], std::stoi(std::string(c.centre).substr(4)), 2) << label;
        EXPECT_EQ(p[0], 0) << label;
    }
}

TEST_F(FrameSourceTest, FrameBufferWithoutAlphaIsOpaque) {
    newScene(16, 16);
    addImage(0, solid(8, 8, 0, 255, 0, 255), "green.png");
    auto frame = add(Effect::FrameLoad::kName, 1);
    auto& source = dynamic_cast<Effect::FrameLoad&>(*frame->effects[0]);
    source.keepAlpha.value = 0;
    source.clear.value = 1;
    const Picture picture = render();
    EXPECT_EQ(picture.text(8, 8), "0,255,0,255");
    EXPECT_EQ(picture.at(0, 0)[3], 255) << "the transparent corner comes back opaque";
}

TEST_F(FrameSourceTest, PreviousObjectRepeatsTheImageDrawnBefore) {
    newScene(32, 16);
    addImage(0, solid(8, 8, 255, 0, 0), "blue.png");
    auto previous = add(Effect::BeforeObjectLoad::kName, 1);
    setOutput(*previous, L"X", "10");
    const Picture picture = render();
    EXPECT_EQ(picture.text(16, 8), "255,0,0,255");
    EXPECT_EQ(picture.text(26, 8), "255,0,0,255") << "drawn again 10 to the right";
    EXPECT_EQ(picture.text(4, 8), "0,0,0,0");
}

TEST_F(FrameSourceTest, PreviousObjectOfTheFirstObjectIsEmpty) {
    newScene(16, 16);
    auto first = add(Effect::BeforeObjectLoad::kName, 0);
    setOutput(*first, L"X", "-6");
    addImage(1, solid(4, 4, 255, 0, 0), "blue.png");
    auto second = add(Effect::BeforeObjectLoad::kName, 2);
    setOutput(*second, L"X", "6");
    const Picture picture = render();
    EXPECT_EQ(picture.text(2, 8), "0,0,0,0") << "nothing was drawn before the first";
    EXPECT_EQ(picture.text(8, 8), "255,0,0,255");
    EXPECT_EQ(picture.text(14, 8), "255,0,0,255");
    // A second frame starts without the last frame's image.
    EXPECT_EQ(render(1).text(2, 8), "0,0,0,0");
}

}  // namespace
}  // namespace SourceTest
