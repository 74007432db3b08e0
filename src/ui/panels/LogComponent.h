#pragma once
#include <cstdint>
#include <memory>

#include "ui/controls/ControlContainer.h"
#include "ui/framework/WindowClientRenderTarget.h"
#include "ui/panels/LogViewControl.h"

// The docked panel showing the most recent log lines. The wheel scrolls
// three lines a notch; a right-button drag moves the lines with the mouse.
namespace Component {

class LogComponent : public Window::WindowClientRenderTarget {
public:
    LogComponent();
    ~LogComponent() override;
    LogComponent(const LogComponent&) = delete;
    LogComponent& operator=(const LogComponent&) = delete;

    void procPaint() override;
    void procMove() override;
    void procMouseWheel(int32_t x, int32_t y, int32_t delta) override;
    void procRButtonDown(int32_t x, int32_t y) override;
    void procMouseDrag(int32_t dx, int32_t dy) override;

    LogViewControl& view() { return *view_; }

private:
    Window::ControlContainer container_;
    std::unique_ptr<LogViewControl> view_;
    int32_t dragFirstLine_ = 0;
};

}  // namespace Component
