#pragma once
#include <cstdint>
#include <memory>

#include "ui/controls/ScrollBarControl.h"
#include "ui/controls/WindowControlRenderTarget.h"
#include "ui/panels/preview/PreviewVideoControl.h"

namespace Media {
class ImageBuffer;
}
namespace Platform::draw2d {
class Bitmap;
}
namespace Window {
class BaseMenu;
}

// The preview area: the last frame fitted to the canvas or shown at a zoom
// percentage, with scroll bars while the zoomed frame is larger than the
// canvas, and the anchors shown with it.
namespace Component {

class PreviewControl : public Window::WindowControlRenderTarget {
public:
    // zoom: the percentage the area shows (0 or less: fit), kept by its owner.
    PreviewControl(Window::ControlContainer& container, int32_t x, int32_t y, int32_t w, int32_t h,
                   int32_t* zoom = nullptr);
    ~PreviewControl() override;

    void procPaint() override;
    void procMove() override;

    // Builds the shown bitmap from the image on the window's target; the
    // caller holds the image's mutex.
    void setImage(const Media::ImageBuffer& image);
    bool hasFrame() const { return bitmap_ != nullptr; }
    const Platform::draw2d::Bitmap* bitmap() const { return bitmap_.get(); }

    // Where the frame lands inside the control, relative to it: the largest
    // rectangle of the frame's aspect that fits, centred. Empty without a frame.
    struct Placement {
        int32_t left = 0, top = 0, right = 0, bottom = 0;
    };
    static Placement fitFrame(int32_t frameWidth, int32_t frameHeight, int32_t width, int32_t height);
    // The frame's rectangle on the canvas as drawn now, in whole pixels.
    Placement framePlacement() const;

    // Where a frame of bw x bh goes on a canvas of w x h at the zoom, with the
    // scroll positions of an axis that does not fit; contentWidth/Height are
    // the scroll ranges wanted (0: no scroll bars).
    struct Layout {
        float left = 0, top = 0, right = 0, bottom = 0;
        int32_t contentWidth = 0, contentHeight = 0;
    };
    static Layout layoutFrame(int32_t bw, int32_t bh, int32_t w, int32_t h, int32_t zoom, int32_t scrollX,
                              int32_t scrollY);
    // The image rectangle for the canvas now; shows or hides the scroll bars.
    Anchor::AnchorControl::ImageRect imageRect();

    int32_t zoom() const { return zoom_ != nullptr ? *zoom_ : 0; }
    // Stores the zoom and repaints.
    void setZoom(int32_t percent);
    // The zoom fit mode shows now, in percent (100 without a frame).
    int32_t fittedZoom() const;
    // Adds the zoom choices of "PreviewZoom" to the menu.
    void addZoomMenu(Window::BaseMenu& menu);
    // Moves the scrolled frame: the new first pixel of each scroll bar.
    void scrollTo(int32_t x, int32_t y);
    int32_t scrollX() const { return horizontal_.first; }
    int32_t scrollY() const { return vertical_.first; }
    bool scrollBarsShown() const { return barsShown_; }
    Control::ScrollBarControl& horizontalBar() { return horizontal_; }
    Control::ScrollBarControl& verticalBar() { return vertical_; }

    PreviewVideoControl& canvas() { return canvas_; }
    // The anchors of the frame being shown.
    Anchor::AnchorList& anchors() { return canvas_.shown; }

private:
    void showScrollBars(int32_t contentWidth, int32_t contentHeight);
    void hideScrollBars();
    void relayout();

    std::unique_ptr<Platform::draw2d::Bitmap> bitmap_;
    bool barsShown_ = true;
    bool relayingOut_ = false;
    int32_t* zoom_;
    int32_t ownZoom_ = 0;
    int32_t contentWidth_ = -1, contentHeight_ = -1;
    PreviewVideoControl canvas_;
    Control::ScrollBarControl horizontal_;
    Control::ScrollBarControl vertical_;
};

}  // namespace Component
