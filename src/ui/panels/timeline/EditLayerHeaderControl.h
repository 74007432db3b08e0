#pragma once
#include <cstdint>
#include <memory>

#include "ui/controls/WindowControlRenderTarget.h"

namespace Resource {
class TextFormat;
}

// The strip left of the timeline's rows: one header per visible layer with
// its name, whether it is hidden and whether it is locked. A click shows or
// hides the layer, Ctrl + click selects its objects, a drag moves the layer
// to another row, and its menu locks, shows, renames, solos, inserts and
// deletes layers. Every change is one undo step.
namespace Component {

class EditComponent;

class EditLayerHeaderControl : public Window::WindowControlRenderTarget {
public:
    EditLayerHeaderControl(EditComponent& panel, Window::ControlContainer& container, int32_t x, int32_t y, int32_t w,
                           int32_t h);
    ~EditLayerHeaderControl() override;

    void procPaint() override;
    void procMouseMove(int32_t x, int32_t y) override;
    void procMouseDrag(int32_t x, int32_t y) override;
    void procKeyRelease() override;
    void procLButtonDown(int32_t x, int32_t y) override;
    void procLButtonUp(int32_t x, int32_t y) override;
    void procRButtonDown(int32_t x, int32_t y) override;
    void procMouseLeave() override;
    void procCaptureLost() override;
    void procMouseWheel(int32_t x, int32_t y, int32_t delta) override;
    void procContextMenu(int32_t x, int32_t y) override;

    // The layer operations, each one edit scope with its own undo record.
    void toggleHide(int32_t index);
    void toggleLock(int32_t index);
    void soloLayer(int32_t index);
    void renameLayer(int32_t index);
    void insertLayer(int32_t index);
    void deleteLayer(int32_t index);

    // The layer under the pointer, or -1.
    int32_t hoveredLayer = -1;
    bool moveRecordOpen = false;

private:
    void setHovered(int32_t layer);
    void paintHeader(int32_t layer);

    EditComponent& panel_;
    Resource::TextFormat* format_ = nullptr;
    int32_t labelTop_ = 0;
    std::shared_ptr<EditLayerHeaderControl*> self_;
};

}  // namespace Component
