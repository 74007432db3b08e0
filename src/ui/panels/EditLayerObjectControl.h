#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "media/gpu/RenderTarget.h"
#include "ui/controls/WindowControlRenderTarget.h"

namespace Edit {
class Object;
}
namespace Resource {
class TextFormat;
}

// The timeline's object area: one row per visible layer with its
// background, the spans of layer-range control objects, the BPM grid, the
// region past the scene's end, the objects as coloured bars with their names
// and midpoint marks, the hover, drag and focus feedback, the cursor, and the
// temporary overlays of the player cursor and the insertion guide.
//
// The mouse picks one of seven gestures at the press: moving the selection,
// changing an object's start or end, moving a midpoint, seeking, selecting
// by a rubber band and panning. A gesture that changes objects is one undo
// step: its record opens at the press and is committed when it ends, and
// every step in between runs in a short edit scope of its own.
namespace Component {

class EditComponent;

class EditLayerObjectControl : public Window::WindowControlRenderTarget {
public:
    enum Part : int32_t { Body = 0, StartEdge = 1, EndEdge = 2, Midpoint = 3 };
    enum Mode : int32_t {
        None = 0,
        Move = 1,
        ChangeStart = 2,
        ChangeEnd = 3,
        MoveMidpoint = 4,
        Seek = 5,
        Band = 6,
        Pan = 7
    };

    // The object under the pointer and the part of it.
    struct Hover {
        std::shared_ptr<Edit::Object> object;
        int32_t part = Body;
        int32_t midpoint = -1;  // 1-based
    };
    // Per layer of the selection at the press: its smallest start and largest end.
    struct LayerRange {
        int32_t layer;
        int32_t start;
        int32_t end;
    };
    struct Drag {
        int32_t mode = None;
        int32_t pressDisplayLayer = 0, pressDisplayFrame = 0;
        int32_t pressLayer = 0, pressFrame = 0;
        int32_t curLayer = 0, curFrame = 0;
        // How far the selection has moved so far; the pointer may have gone farther.
        int32_t movedLayers = 0, movedFrames = 0;
        // Start and end of the one selected object at the press.
        int32_t pressStart = 0, pressEnd = 0;
        std::vector<LayerRange> ranges;
        int32_t lowestLayer = 0, highestLayer = 0;
        int32_t bandX = 0, bandY = 0;
    };

    EditLayerObjectControl(EditComponent& panel, Window::ControlContainer& container, int32_t x, int32_t y, int32_t w,
                           int32_t h);
    ~EditLayerObjectControl() override;

    void procPaint() override;
    // One row in a draw scope of its own; nothing for a layer out of view.
    void paintRow(int32_t layer);
    void drawPlayerCursor();
    void drawInsertGuide(int32_t frame);
    // Puts the saved strip back, erasing the overlay.
    void restoreOverlay();
    bool hasOverlay() const { return overlaySaved_; }

    void procMouseMove(int32_t x, int32_t y) override;
    void procMouseDrag(int32_t x, int32_t y) override;
    void procDragCancel() override;
    bool procDragKey(int32_t key) override;
    void procKeyRelease() override;
    void procLButtonDown(int32_t x, int32_t y) override;
    void procRButtonDown(int32_t x, int32_t y) override;
    void procMouseLeave() override;
    void procCaptureLost() override;
    void procMouseWheel(int32_t x, int32_t y, int32_t delta) override;
    void procMouseHover() override;
    void procContextMenu(int32_t x, int32_t y) override;
    bool procDragOver(int32_t x, int32_t y, Window::DropFiles& files) override;
    bool procDrop(int32_t x, int32_t y, Window::DropFiles& files) override;
    void procDragLeave() override;

    // The frame a new object takes at x in area pixels: the pointer's frame
    // pulled to a snap target within 8 pixels' worth of frames.
    int32_t insertFrameAt(int32_t x) const;
    // Adds objects on unlocked layers to the selection: every one, those
    // starting at or after the cursor, or those ending at or before it.
    enum SelectRange : int32_t { SelectAll = 0, SelectFromCursor = 1, SelectToCursor = 2 };
    void selectObjects(int32_t range);

    // The object nearest to the pointer on the row under it, or none.
    std::shared_ptr<Edit::Object> hitObject(int32_t x, int32_t y) const;
    // The part of the object under x, and the midpoint's index for a midpoint.
    Hover hitPart(const std::shared_ptr<Edit::Object>& object, int32_t x) const;
    // The offset from f to the nearest snap target within |range|: edges and
    // midpoints of unselected objects, the grid and the cursor. range keeps
    // its value when nothing is nearer.
    void snapFrame(int32_t f, int32_t& range) const;
    // Moves the selection by layers and frames, giving way to unselected objects.
    void moveSelection(int32_t layerDelta, int32_t frameDelta);
    int32_t changeStart(int32_t delta);
    int32_t changeEnd(int32_t delta);
    int32_t moveMidpoint(int32_t delta);

    // Takes over a press that `from` (the router's press target) received,
    // at a point in area coordinates (above the rows for the ruler).
    void forwardLButtonDown(Window::WindowMouse& from, int32_t x, int32_t y);
    void forwardRButtonDown(Window::WindowMouse& from, int32_t x, int32_t y);

    // The layer under the pointer in the header column, or -1.
    int32_t hoveredHeaderLayer = -1;
    // The rubber band in area pixels.
    Window::MouseRect rubberBand{0, 0, 0, 0};
    // Where the object bar and the label box start in a row.
    static constexpr int32_t kBarTop = 6;
    int32_t labelTop = kBarTop;
    Hover hover;
    std::shared_ptr<Edit::Object> focusObject;
    Drag drag;

private:
    // Area coordinates of a point the router gives relative to the visible part.
    int32_t areaX(int32_t x) const { return x + visibleRect.x - fullRect.x; }
    int32_t areaY(int32_t y) const { return y + visibleRect.y - fullRect.y; }
    void pressAt(int32_t x, int32_t y);
    void panFrom(int32_t x, int32_t y);
    void beginDrag(int32_t mode, int32_t x, int32_t y);
    void snapDrag(int32_t& delta) const;
    void selectInBand();
    void finishDrag(bool clearOnRelease);
    void endDrag();
    void showTimeTip(int32_t timeout);
    void setHover(Hover next);
    void paintObjectRow(int32_t layer);
    void drawObjectBar(const Edit::Object& object, int32_t left, int32_t right, int32_t firstFrame, bool layerHidden);
    void drawFeedback(const Edit::Object& object, int32_t left, int32_t right, int32_t firstFrame);
    void drawTempoGrid(int32_t first, int32_t last);
    void drawVerticalBand(int32_t frame);
    void saveColumns(int32_t x, int32_t width);

    EditComponent& panel_;
    Resource::TextFormat* format_ = nullptr;
    Media::WindowTemporaryImage overlay_;
    bool overlaySaved_ = false;
    std::shared_ptr<EditLayerObjectControl*> self_;
};

}  // namespace Component
