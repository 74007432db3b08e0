#pragma once
#include <cstdint>

#include "media/gpu/RenderTarget.h"
#include "ui/controls/WindowControlRenderTarget.h"

namespace Edit {
class Object;
}
namespace Resource {
class TextFormat;
}

// The timeline's object area: one row per visible layer with its
// background, the spans of layer-range control objects, the region past the
// scene's end, the objects as coloured bars with their names and midpoint
// marks, the cursor, and the temporary overlays of the player cursor and the
// insertion guide.
namespace Component {

class EditComponent;

class EditLayerObjectControl : public Window::WindowControlRenderTarget {
public:
    EditLayerObjectControl(EditComponent& panel, Window::ControlContainer& container, int32_t x, int32_t y, int32_t w,
                           int32_t h);

    void procPaint() override;
    // One row in a draw scope of its own; nothing for a layer out of view.
    void paintRow(int32_t layer);
    void drawPlayerCursor();
    void drawInsertGuide(int32_t frame);
    // Puts the saved strip back, erasing the overlay.
    void restoreOverlay();
    bool hasOverlay() const { return overlaySaved_; }

    // The layer under the pointer in the header column, or -1.
    int32_t hoveredHeaderLayer = -1;
    // The rubber band in area pixels.
    Window::MouseRect rubberBand{0, 0, 0, 0};
    // Where the object bar and the label box start in a row.
    static constexpr int32_t kBarTop = 6;
    int32_t labelTop = kBarTop;

private:
    void drawObjectBar(const Edit::Object& object, int32_t left, int32_t right, int32_t firstFrame, bool layerHidden);
    void drawVerticalBand(int32_t frame);
    void saveColumns(int32_t x, int32_t width);

    EditComponent& panel_;
    Resource::TextFormat* format_ = nullptr;
    Media::WindowTemporaryImage overlay_;
    bool overlaySaved_ = false;
};

}  // namespace Component
