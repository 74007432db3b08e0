#pragma once
#include <cstdint>
#include <string>

#include "ui/controls/WindowControlRenderTarget.h"

// The playback bar's clock: the time of the shown frame, centred.
namespace Component {

class TimeCounterControl : public Window::WindowControlRenderTarget {
public:
    TimeCounterControl(Window::ControlContainer& container, int32_t x, int32_t y, int32_t w, int32_t h);

    void procPaint() override;

    // Shows the frame of a scene running at rate / scale frames a second; repaints on a change.
    void setFrame(int32_t frame, int32_t rate, int32_t scale);
    // The text for the frame: sign, hours, minutes, seconds and hundredths.
    static std::wstring timeText(int32_t frame, int32_t rate, int32_t scale);
    const std::wstring& text() const { return text_; }
    // The width the counter needs: the widest time it shows, and 2 pixels.
    static int32_t counterWidth();

private:
    std::wstring text_ = L"00:00:00.00";
};

}  // namespace Component
