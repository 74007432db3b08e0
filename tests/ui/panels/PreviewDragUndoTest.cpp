// Anchor drags on the preview canvas with the edit and undo services behind
// them, driven through the input router: a drag is one undo step however
// many moves it takes, a press without a move records nothing, and dragging
// one selected object's anchor drags every selected object's.
#include <gtest/gtest.h>

#include <memory>
#include <optional>

#include "PreviewDragFixture.h"
#include "core/EventService.h"
#include "core/ServiceHolder.h"
#include "edit/EditDialogs.h"
#include "edit/EditService.h"
#include "edit/Object.h"
#include "edit/Scene.h"
#include "edit/UndoService.h"
#include "edit/support/DraggedOutput.h"
#include "effect/AnchorEvent.h"
#include "media/image/ImageBuffer.h"
#include "support/RouterDriver.h"
#include "ui/controls/ControlContainer.h"
#include "ui/controls/ExtraColours.h"
#include "ui/framework/DockFixture.h"
#include "ui/panels/PreviewControl.h"

namespace {

using Anchor::AnchorItem;
using TestSupport::Input;

class PreviewDrag : public PreviewDragFixture {
protected:
    void SetUp() override {
        DockWindow::SetUp();
        startEditing();
        for (int32_t layer = 0; layer < 3; ++layer) {
            objects.push_back(scene->createObject(layer, 0, 60));
            outputs.push_back(std::make_shared<DraggedOutput>());
            objects.back()->effects = {outputs.back()};
        }
        ASSERT_NO_FATAL_FAILURE(showPreview());
        // Each object's anchor: a point at its own place, under a plain 320 x 180 projection.
        for (size_t i = 0; i < objects.size(); ++i) {
            AnchorItem& item = area->anchors().items.emplace_back(
                AnchorItem::kObjectPoint, AnchorItem::kProjected | AnchorItem::kObjectAnchor, outputs[i].get(),
                objects[i], outputs[i], AnchorItem::kCurrentValue);
            const float x = -0.5f + 0.5f * static_cast<float>(i);
            item.points = {{x, 0}};
            Platform::math::Matrix m = Platform::math::identity();
            m.m[0][0] = 2.0f / 320;
            m.m[1][1] = -2.0f / 180;
            item.setPosition(m, x * 160, 0, 0);
        }
        area->canvas().layoutAnchors();
    }
    void TearDown() override {
        area.reset();
        objects.clear();
        outputs.clear();
        stopEditing();
        DockWindow::TearDown();
    }
    // The window pixel of object i's anchor.
    std::pair<int32_t, int32_t> anchorAt(size_t i) const {
        const AnchorItem& item = area->anchors().items[i];
        return {area->canvas().fullRect.x + static_cast<int32_t>(item.screenPoints[0].x),
                area->canvas().fullRect.y + static_cast<int32_t>(item.screenPoints[0].y)};
    }
    void drag(size_t i, std::initializer_list<std::pair<int32_t, int32_t>> moves) {
        const auto [x, y] = anchorAt(i);
        driver.run({{Input::Move, x, y}, {Input::Press, x, y}});
        int32_t lx = x, ly = y;
        for (const auto& [dx, dy] : moves) driver.send({Input::Move, lx = x + dx, ly = y + dy});
        driver.send({Input::Release, lx, ly});
    }
    double xOf(size_t i) const { return outputs[i]->x.keyValue(0); }

    std::vector<std::shared_ptr<Edit::Object>> objects;
    std::vector<std::shared_ptr<DraggedOutput>> outputs;
};

TEST_F(PreviewDrag, ADragOfManyMovesIsOneUndoStep) {
    ASSERT_FALSE(undo->get()->canUndo());
    drag(0, {{5, 0}, {12, 3}, {20, -4}});
    EXPECT_NEAR(20, xOf(0), 0.011);
    EXPECT_NEAR(-4, outputs[0]->y.keyValue(0), 0.011) << "screen y downwards is model y downwards here";
    ASSERT_TRUE(undo->get()->canUndo());
    EXPECT_TRUE(undo->get()->undo());
    EXPECT_NEAR(0, xOf(0), 0.011);
    EXPECT_NEAR(0, outputs[0]->y.keyValue(0), 0.011);
    EXPECT_FALSE(undo->get()->canUndo()) << "the whole drag was one record";
}

TEST_F(PreviewDrag, APressWithoutAMoveRecordsNothing) {
    drag(1, {});
    EXPECT_NEAR(0, xOf(1), 0.011);
    EXPECT_FALSE(undo->get()->canUndo());
}

TEST_F(PreviewDrag, DraggingASelectedObjectsAnchorMovesEverySelectedObject) {
    edit->get()->addSelectObject(objects[0], true);
    edit->get()->addSelectObject(objects[2], true);
    drag(2, {{10, 0}});
    EXPECT_NEAR(10, xOf(0), 0.011);
    EXPECT_NEAR(0, xOf(1), 0.011) << "not selected";
    EXPECT_NEAR(10, xOf(2), 0.011);
    EXPECT_TRUE(undo->get()->undo());
    EXPECT_NEAR(0, xOf(0), 0.011);
    EXPECT_NEAR(0, xOf(2), 0.011);
}

}  // namespace
