#include <gtest/gtest.h>

#include <memory>

#include "edit/support/EditHarness.h"
#include "edit/support/DraggedOutput.h"
#include "effect/AnchorEvent.h"

namespace {

// A drag of the object anchor seen through a plain projection on a 2 x 2
// pixel view: one pixel moves the position by one.
Anchor::AnchorEvent dragBy(const std::shared_ptr<Edit::Object>& object, const std::shared_ptr<DraggedOutput>& effect,
                           int32_t dx, int32_t dy) {
    Anchor::AnchorEvent event;
    event.object = object;
    event.effect = effect;
    event.id = Anchor::AnchorItem::kCurrentValue;
    event.kind = Anchor::AnchorEvent::kDrag;
    event.matrix = Platform::math::identity();
    event.position = event.startPosition = {static_cast<float>(effect->x.keyValue(0)),
                                            static_cast<float>(effect->y.keyValue(0)), 0, 1};
    event.stepX = dx;
    event.stepY = dy;
    event.viewport = {0, 0, 2, 2};
    return event;
}

TEST(AnchorDragUndoTest, ADragInAnEditScopeIsOneUndoStep) {
    EditTest::EditHarness h;
    Undo::UndoService& undo = h.undo();
    const auto object = std::make_shared<Edit::Object>(0, 0, 60);
    const auto output = std::make_shared<DraggedOutput>();
    {
        // One gesture: the scope the preview opens at the press holds every step of the drag.
        auto scope = h.open();
        undo.openRecord(*scope);
        scope->effectStateChanged = true;
        undo.addEffectUndoUpdate(output);
        EXPECT_TRUE(output->anchorEvent(dragBy(object, output, 10, -4)));
        EXPECT_TRUE(output->anchorEvent(dragBy(object, output, 5, 0)));
    }
    EXPECT_EQ(output->x.values, (std::vector<int32_t>{1500}));
    EXPECT_EQ(output->y.values, (std::vector<int32_t>{400}));
    ASSERT_TRUE(undo.canUndo());
    EXPECT_TRUE(undo.undo());
    EXPECT_EQ(output->x.values, (std::vector<int32_t>{0}));
    EXPECT_EQ(output->y.values, (std::vector<int32_t>{0}));
    EXPECT_FALSE(undo.canUndo());
    EXPECT_TRUE(undo.redo());
    EXPECT_EQ(output->x.values, (std::vector<int32_t>{1500}));
    EXPECT_EQ(output->y.values, (std::vector<int32_t>{400}));
}

}  // namespace
