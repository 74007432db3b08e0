#pragma once
#include <cstdint>
#include <memory>

#include "core/TimerSync.h"
#include "ui/controls/WindowControlRenderTarget.h"
#include "ui/panels/LogLines.h"

namespace Resource {
class TextFormat;
}

// The line view of the log panel: the window of lines at the scroll
// position, newest at the bottom, each in its level's colour. While it is
// shown with a non-empty size a 200 ms timer on the UI thread looks at the
// logger's revision and, when lines came, jumps to the newest ones.
namespace Component {

class LogComponent;

class LogViewControl : public Window::WindowControlRenderTarget {
public:
    LogViewControl(Window::ControlContainer& container, LogComponent& panel, int32_t x, int32_t y, int32_t w,
                   int32_t h);
    ~LogViewControl() override;
    LogViewControl(const LogViewControl&) = delete;
    LogViewControl& operator=(const LogViewControl&) = delete;

    void procPaint() override;
    void procMove() override;

    // One timer tick: true when new lines made the view jump and repaint.
    bool tick();
    bool timerRunning() const { return timerRunning_; }
    int32_t lineHeight() const { return lineHeight_; }

    LogLines lines;

private:
    LogComponent& panel_;
    Resource::TextFormat* format_ = nullptr;
    int32_t lineHeight_ = 0;
    bool timerRunning_ = false;
    Sync::Timer timer_;
};

}  // namespace Component
