#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "effect/AnchorEvent.h"
#include "effect/AnchorList.h"

namespace Edit {
class Object;
class Scene;
}  // namespace Edit
namespace Window {
class WindowControl;
}

// The anchor half of the preview canvas: the anchor list of the frame on
// show laid out onto the pixels where the frame is drawn, the anchor under
// the mouse, and the drag that turns mouse moves into anchor events for the
// effects that own the anchors. Each drag is one undo step; each of its
// steps is its own edit scope. Drawing belongs to the canvas.
namespace Anchor {

class AnchorControl : public AnchorHost {
public:
    enum class Button { Left, Right };

    AnchorControl();
    ~AnchorControl() override;
    AnchorControl(const AnchorControl&) = delete;
    AnchorControl& operator=(const AnchorControl&) = delete;

    // The list on show; swap a new one in, then call layoutAnchors.
    AnchorList shown;

    // Where the frame is drawn, in canvas pixels: the viewport of every event.
    struct ImageRect {
        float left = 0, top = 0, right = 0, bottom = 0;
        bool operator==(const ImageRect&) const = default;
    };
    const ImageRect& imageRect() const { return imageRect_; }
    // Stores the rectangle and the canvas size (icons are clamped into it) and lays the anchors out again.
    void setImageRect(const ImageRect& rect, int32_t canvasWidth, int32_t canvasHeight);

    // Recomputes the screen data of every anchor, the pick and snap lists, and keeps the hover when it can.
    void layoutAnchors();
    // The anchor under the canvas pixel, or none.
    AnchorItem* hitTestAnchor(float x, float y) const;
    // The first view anchor of the pick list, or none.
    AnchorItem* findViewAnchor() const;
    // True when the hovered anchor changed.
    bool setHoverAnchor(AnchorItem* item);
    void clearHoverAnchor();
    AnchorItem* hoveredAnchor() const { return hovered_; }
    const std::vector<AnchorItem*>& pickList() const { return pickList_; }

    // A press on the anchor (none: a drag of nothing is armed). doubleClick,
    // ctrl: the press's state.
    void pressAnchor(Button button, AnchorItem* anchor, bool doubleClick, bool ctrl);
    // The left press on the canvas: the hovered anchor, Ctrl turning a
    // section anchor into its object's anchor.
    void leftPress(bool doubleClick, bool ctrl);
    // The right press: on the view anchor.
    void rightPress(bool doubleClick);
    // A drag step with the total offset from the press; shift locks it to the longer axis.
    void dragAnchors(int32_t dx, int32_t dy, bool shift);
    // Left, up, right and down nudge the drag by a pixel; false for other keys or without a drag.
    bool dragKey(int32_t key, bool shift);
    void endDrag();
    int32_t dragMode() const { return dragMode_; }
    const std::vector<AnchorEvent>& dragList() const { return dragList_; }

    // The object anchor of the object of a selected object, whether the object is selected.
    bool isSelectedObjectAnchor(const AnchorItem& item) const;
    // The object anchor (id 100000000) in the pick list with the item's object and effect, or none.
    AnchorItem* findObjectAnchor(const AnchorItem& item) const;
    // The brush index of an item: 0 "Anchor", 1 "AnchorIn", 2 "AnchorOut", 3..5 the axis colours.
    enum class Look { Anchor, In, Out, AxisX, AxisY, AxisZ };
    Look anchorLook(const AnchorItem& item) const;
    // Whether the anchors of other effects hide while one is hovered.
    static bool hideOthersOnHover();
    // The items to draw, highest type first.
    std::vector<const AnchorItem*> drawOrder() const;

    // AnchorHost.
    const AnchorList& currentList() const override { return shown; }
    const std::vector<SnapTarget>& snapTargets() const override { return snaps_; }
    bool isSelected(const Edit::Object& object) const override;
    int32_t previewWidth() const override;
    int32_t previewHeight() const override;
    int32_t sceneWidth() const override;
    int32_t sceneHeight() const override;
    bool shiftHeld() const override;
    bool controlHeld() const override;

    // How the control shows the move cursor during a drag and hears the
    // object changes of each step; the canvas sets them.
    virtual void showMoveCursor() {}
    // The router's drag of nothing: arms the router so the press is not a click elsewhere.
    virtual void armEmptyDrag() {}
    // The control handed to the selection click (Ctrl held keeps the selection growing).
    virtual Window::WindowControl* selectionControl() { return nullptr; }

protected:
    static std::shared_ptr<Edit::Scene> currentScene();
    void sendEvent(AnchorEvent& event) const;
    AnchorEvent makeEvent(const AnchorItem& item, int32_t kind, bool geometry);
    void beginRecord(int32_t mode);
    void setFocus(const std::shared_ptr<Edit::Object>& object);

    ImageRect imageRect_;
    int32_t canvasWidth_ = 0, canvasHeight_ = 0;
    AnchorItem* hovered_ = nullptr;
    std::shared_ptr<::Effect::EffectBase> hoveredEffect_;
    int32_t hoveredId_ = 0;
    uint32_t hoveredFlags_ = 0;
    std::vector<AnchorItem*> pickList_;
    std::vector<SnapTarget> snaps_;
    int32_t dragMode_ = 0;
    int32_t totalX_ = 0, totalY_ = 0;
    std::vector<AnchorEvent> dragList_;
};

}  // namespace Anchor
