#pragma once
#include <memory>

#include "effect/AnchorList.h"
#include "ui/controls/WindowControlRenderTarget.h"

namespace Media {
class ImageBuffer;
}
namespace Platform::draw2d {
class Bitmap;
}

// The preview's canvas: the last frame, scaled to fit the control and
// centred on the style's background, and the anchors shown with it.
namespace Component {

class PreviewControl : public Window::WindowControlRenderTarget {
public:
    PreviewControl(Window::ControlContainer& container, int32_t x, int32_t y, int32_t w, int32_t h);
    ~PreviewControl() override;

    void procPaint() override;

    // Builds the shown bitmap from the image on the window's target; the
    // caller holds the image's mutex.
    void setImage(const Media::ImageBuffer& image);

    // Where the frame lands inside the control, relative to it: the largest
    // rectangle of the frame's aspect that fits, centred. Empty without a frame.
    struct Placement {
        int32_t left = 0, top = 0, right = 0, bottom = 0;
    };
    static Placement fitFrame(int32_t frameWidth, int32_t frameHeight, int32_t width, int32_t height);
    Placement framePlacement() const;

    // The anchors of the frame being shown.
    Anchor::AnchorList anchors;

private:
    std::unique_ptr<Platform::draw2d::Bitmap> bitmap_;
};

}  // namespace Component
