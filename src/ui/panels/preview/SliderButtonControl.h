#pragma once
#include <cstdint>
#include <string>

#include "ui/controls/BitmapButtonControl.h"

namespace Render {
class MoviePlayer;
}
namespace Media {
class XAudio2Service;
}

// The bitmap buttons of the playback bar whose value is changed by dragging:
// a press arms the drag at once and shows the value beside the button.
namespace Component {

class PreviewControl;

class SliderButtonControl : public Control::BitmapButtonControl {
public:
    SliderButtonControl(Window::ControlContainer& container, int32_t x, int32_t y, int32_t w, int32_t h,
                        Window::StyleBitmapList::Index bitmap);

    virtual int32_t getValue() const = 0;
    virtual std::wstring getValueText() const = 0;
    virtual void setValue(int32_t start, int32_t delta) = 0;

    void procLButtonDown(int32_t x, int32_t y) override;
    void procMouseDrag(int32_t dx, int32_t dy) override;
    void procCaptureLost() override;

protected:
    void showValue();
    int32_t pressValue_ = 0;
};

// The playback volume, 0 to 100: two pixels upwards raise it by one.
class VolulmeButtonControl : public SliderButtonControl {
public:
    VolulmeButtonControl(Window::ControlContainer& container, int32_t x, int32_t y, int32_t w, int32_t h,
                         Render::MoviePlayer* player, Media::XAudio2Service* output);

    int32_t getValue() const override;
    std::wstring getValueText() const override;
    void setValue(int32_t start, int32_t delta) override;
    void procContextMenu(int32_t x, int32_t y) override;
    // Stores the volume and gives it to the sound output.
    void storeVolume(int32_t value);

private:
    Render::MoviePlayer* player_;
    Media::XAudio2Service* output_;
};

// The preview's zoom: a left drag zooms by about one percent per two pixels,
// a right drag pans the zoomed frame.
class ZoomButtonControl : public Control::BitmapButtonControl {
public:
    ZoomButtonControl(Window::ControlContainer& container, int32_t x, int32_t y, int32_t w, int32_t h);

    void setPreviewArea(PreviewControl* area) { area_ = area; }
    void procLButtonDown(int32_t x, int32_t y) override;
    void procRButtonDown(int32_t x, int32_t y) override;
    void procMouseDrag(int32_t dx, int32_t dy) override;
    void procCaptureLost() override;
    void procContextMenu(int32_t x, int32_t y) override;

    // The zoom after a drag by dy pixels from the zoom at the press (0 there: the fitted one).
    static int32_t draggedZoom(int32_t pressZoom, int32_t fitted, int32_t dy);
    static std::wstring zoomText(int32_t zoom);

private:
    PreviewControl* area_ = nullptr;
    bool panning_ = false;
    int32_t pressZoom_ = 0;
    int32_t pressScrollX_ = 0, pressScrollY_ = 0;
};

}  // namespace Component
