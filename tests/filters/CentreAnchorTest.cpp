#include <gtest/gtest.h>

#include <cstddef>
#include <functional>
#include <memory>

#include "edit/Object.h"
#include "edit/Scene.h"
#include "effect/AnchorEvent.h"
#include "effect/AnchorList.h"
#include "effect/RenderContext.h"
#include "filters/AngleClipFilter.h"
#include "filters/DisplacementFilter.h"
#include "filters/GradationFilter.h"
#include "filters/LineClipFilter.h"
#include "filters/MaskFilter.h"
#include "filters/RippleFilter.h"
#include "support/TestModelQueries.h"

namespace {

alignas(std::max_align_t) unsigned char gFrame[16] = {};
Media::RenderBuffer* const kFrame = reinterpret_cast<Media::RenderBuffer*>(gFrame);

// An output that leaves the object at the frame's centre.
class CentredOutput : public Effect::EffectBase {
public:
    CentredOutput() { role = kOutput; }
    std::shared_ptr<EffectBase> createInstance() const override { return std::make_shared<CentredOutput>(); }
    Effect::OutputView getOutputView(Render::RenderContext& context) override { return context.view; }
};

// The filters whose centre the user drags: each anchor marks its own centre
// items, and a drag moves them.
TEST(CentreAnchorTest, EachFilterDragsItsOwnCentre) {
    struct Reader {
        Effect::FrameSizeReader previous = Effect::setFrameSizeReader(
            [](const Media::RenderBuffer&, int32_t& width, int32_t& height) { width = 640, height = 360; });
        ~Reader() { Effect::setFrameSizeReader(previous); }
    } reader;
    struct Case {
        const char* name;
        std::function<std::shared_ptr<Effect::MoveXYAnchorEffect>()> make;
        const wchar_t *x, *y;
    };
    const Case cases[] = {
        {"mask", [] { return std::make_shared<Effect::MaskFilter>(); }, L"X", L"Y"},
        {"displacement", [] { return std::make_shared<Effect::DisplacementFilter>(); }, L"X", L"Y"},
        {"ripple", [] { return std::make_shared<Effect::RippleFilter>(); }, L"中心X", L"中心Y"},
        {"line clip", [] { return std::make_shared<Effect::LineClipFilter>(); }, L"中心X", L"中心Y"},
        {"angle clip", [] { return std::make_shared<Effect::AngleClipFilter>(); }, L"中心X", L"中心Y"},
        {"gradation", [] { return std::make_shared<Effect::GradationFilter>(); }, L"中心X", L"中心Y"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::shared_ptr<Effect::MoveXYAnchorEffect> filter = c.make();
        auto& x = dynamic_cast<Effect::EffectItemNumber&>(*filter->findItemByName(c.x));
        auto& y = dynamic_cast<Effect::EffectItemNumber&>(*filter->findItemByName(c.y));
        x.setValue(12, 0);
        y.setValue(-8, 0);
        Edit::Scene scene(0, 0);
        auto object = std::make_shared<Edit::Object>(0, 0, 60);
        object->effects = {std::make_shared<CentredOutput>(), std::make_shared<CentredOutput>(), filter};
        scene.focusObject = object;
        Anchor::AnchorList list;
        Render::RenderContext context;
        context.scene = &scene;
        context.object = object;
        context.view.frameBuffer = kFrame;
        context.anchorList = &list;
        filter->updateAnchor(context, 100, 100);
        ASSERT_EQ(list.size(), 1u);
        const Anchor::AnchorItem& anchor = list.items[0];
        EXPECT_EQ(anchor.type, Anchor::AnchorItem::kPoint);
        EXPECT_NEAR(anchor.points[0].x, 2 * 12 / 640.0, 1e-6);
        EXPECT_NEAR(anchor.points[0].y, 2 * 8 / 360.0, 1e-6);

        Anchor::AnchorEvent drag;
        drag.object = object;
        drag.effect = filter;
        drag.id = anchor.id;
        drag.kind = Anchor::AnchorEvent::kDrag;
        drag.matrix = anchor.matrix;
        drag.position = anchor.position;
        drag.stepX = 10;
        drag.stepY = 4;
        drag.viewport = {0, 0, 640, 360};
        EXPECT_TRUE(filter->anchorEvent(drag));
        EXPECT_NEAR(x.keyValue(0), 22, 0.05);
        EXPECT_NEAR(y.keyValue(0), -4, 0.05);
    }
}

}  // namespace
