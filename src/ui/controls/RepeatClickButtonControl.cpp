#include "ui/controls/RepeatClickButtonControl.h"

#include <algorithm>

#include "core/SettingService.h"

namespace Control {

RepeatClickButtonControl::RepeatClickButtonControl(Window::ControlContainer& container)
    : IconButtonControl(container, 0, 0, 0, 0, IconGlyph{}, false) {}

RepeatClickButtonControl::RepeatClickButtonControl(Window::ControlContainer& container, int32_t x, int32_t y,
                                                   int32_t w, int32_t h, const IconGlyph& shape)
    : IconButtonControl(container, x, y, w, h, shape, false) {}

RepeatClickButtonControl::~RepeatClickButtonControl() {
    try {
        repeatTimer.clear();
    } catch (const std::exception&) {
        // Logged where it was made; the button goes all the same.
    }
}

uint32_t RepeatClickButtonControl::repeatDelay() {
    const Setting::SettingService* settings = Setting::SettingService::get();
    return static_cast<uint32_t>(std::max(settings != nullptr ? settings->system.keyRepeatDelay : 500, 0));
}

uint32_t RepeatClickButtonControl::repeatInterval() {
    const Setting::SettingService* settings = Setting::SettingService::get();
    return static_cast<uint32_t>(std::max(settings != nullptr ? settings->system.keyRepeatInterval : 100, 1));
}

void RepeatClickButtonControl::procLButtonDown(int32_t, int32_t) {
    if (pressAction) pressAction(*this);
    press();
    repeatTimer.set(repeatDelay(), [this] {
        // From the first repeat on the timer fires at the interval.
        repeatTimer.set(repeatInterval(), [this] {
            if (clickAction) clickAction(*this);
        });
        if (clickAction) clickAction(*this);
    });
}

void RepeatClickButtonControl::procCaptureLost() {
    repeatTimer.clear();
    invalidate();
    if (releaseAction) releaseAction(*this);
}

}  // namespace Control
