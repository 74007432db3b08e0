// The crop's four edge handles: placed on the edges of the focused object's
// final image, each moving its own edge when dragged, clamped at 0.
#include <gtest/gtest.h>

#include <memory>

#include "edit/Object.h"
#include "effect/RenderContext.h"
#include "effect/AnchorFixture.h"
#include "filters/ClipFilter.h"

namespace {

using anchors::AnchorFixture;
using Anchor::AnchorItem;
using Effect::ClipFilter;

// An output that leaves the object where the context's view has it.
class StillOutput : public Effect::EffectBase {
public:
    StillOutput() { role = kOutput; }
    std::shared_ptr<EffectBase> createInstance() const override { return std::make_shared<StillOutput>(); }
    Effect::OutputView getOutputView(Render::RenderContext& context) override { return context.view; }
};

class ClipHandles : public AnchorFixture {
protected:
    void SetUp() override {
        AnchorFixture::SetUp();
        object->effects = {std::make_shared<anchors::StillSource>(), std::make_shared<StillOutput>(), clip};
        scene.focusObject = object;
        place(object, 0);
    }
    const AnchorItem& handle(uint32_t edge) const {
        for (const AnchorItem& item : list.items)
            if (item.flags == edge) return item;
        throw std::logic_error("no handle");
    }

    std::shared_ptr<Edit::Object> object = std::make_shared<Edit::Object>(0, 0, 60);
    std::shared_ptr<ClipFilter> clip = std::make_shared<ClipFilter>();
};

TEST_F(ClipHandles, FourSmallHandlesOnTheImageEdgesOfTheFocusedObjectOnly) {
    clip->updateAnchor(context, 200, 100);
    ASSERT_EQ(4u, list.size());
    const struct {
        uint32_t flag;
        float x, y;
    } expected[] = {{ClipFilter::kLeftEdge, -100, 0},
                    {ClipFilter::kTopEdge, 0, -50},
                    {ClipFilter::kRightEdge, 100, 0},
                    {ClipFilter::kBottomEdge, 0, 50}};
    for (size_t i = 0; i < 4; ++i) {
        const AnchorItem& item = list.items[i];
        EXPECT_EQ(AnchorItem::kSmallPoint, item.type) << i;
        EXPECT_EQ(expected[i].flag | AnchorItem::kProjected, item.flags) << i;
        EXPECT_EQ(clip, item.effect) << i;
        EXPECT_FLOAT_EQ(expected[i].x, item.position.x) << i;
        EXPECT_FLOAT_EQ(expected[i].y, item.position.y) << i;
        const Platform::math::Float4 at = anchors::clipOf(expected[i].x, expected[i].y, 0, 0, 0);
        ASSERT_EQ(1u, item.points.size());
        EXPECT_NEAR(at.x, item.points[0].x, 1e-5) << i;
        EXPECT_NEAR(at.y, item.points[0].y, 1e-5) << i;
    }
    list.clear();
    scene.focusObject.reset();
    clip->updateAnchor(context, 200, 100);
    EXPECT_TRUE(list.empty()) << "no handles without the focus";
    scene.focusObject = object;
    clip->locked = 1;
    clip->updateAnchor(context, 200, 100);
    EXPECT_TRUE(list.empty()) << "no handles on a locked effect";
}

TEST_F(ClipHandles, EachHandleMovesItsEdge) {
    setValues(clip->right, {30});
    setValues(clip->bottom, {5});
    clip->updateAnchor(context, 200, 100);
    const struct {
        const char* what;
        uint32_t edge;
        int32_t dx, dy;
        double left, right, top, bottom;
    } drags[] = {
        {"left edge 10 to the right", ClipFilter::kLeftEdge | AnchorItem::kProjected, 10, 0, 10, 30, 0, 5},
        {"right edge 10 to the right", ClipFilter::kRightEdge | AnchorItem::kProjected, 10, 0, 10, 20, 0, 5},
        {"top edge 7 down", ClipFilter::kTopEdge | AnchorItem::kProjected, 0, 7, 10, 20, 7, 5},
        {"bottom edge 8 down: clamped at 0", ClipFilter::kBottomEdge | AnchorItem::kProjected, 3, 8, 10, 20, 7, 0},
    };
    for (const auto& d : drags) {
        EXPECT_TRUE(clip->anchorEvent(dragOf(handle(d.edge), d.dx, d.dy))) << d.what;
        EXPECT_DOUBLE_EQ(d.left, clip->left.keyValue(0)) << d.what;
        EXPECT_DOUBLE_EQ(d.right, clip->right.keyValue(0)) << d.what;
        EXPECT_DOUBLE_EQ(d.top, clip->top.keyValue(0)) << d.what;
        EXPECT_DOUBLE_EQ(d.bottom, clip->bottom.keyValue(0)) << d.what;
    }
    Anchor::AnchorEvent click = dragOf(handle(ClipFilter::kLeftEdge | AnchorItem::kProjected), 5, 0);
    click.kind = Anchor::AnchorEvent::kClick;
    EXPECT_FALSE(clip->anchorEvent(click)) << "only drags are handled";
    EXPECT_DOUBLE_EQ(10, clip->left.keyValue(0));
}

}  // namespace
