#pragma once
#include <cstdint>
#include <functional>
#include <memory>

#include "ui/controls/ControlContainer.h"
#include "ui/controls/ScrollBarControl.h"
#include "ui/controls/TitleHeaderControl.h"
#include "ui/framework/WindowClientRenderTarget.h"
#include "ui/panels/LogViewControl.h"

// The docked panel showing the most recent log lines under a title strip,
// with a scroll bar on the right. The wheel scrolls three lines a notch; a
// right-button drag moves the lines with the mouse; the context menu copies
// the whole log and opens the log settings.
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
    // Copy, the options, then the window's own items.
    void addClientMenu(Window::BaseMenu& menu) override;

    // Puts every line of the log on the clipboard, oldest first, each ended by CR LF.
    void copyLog();

    LogViewControl& view() { return *view_; }
    Control::TitleHeaderControl& header() { return *header_; }
    Control::ScrollBarControl& scrollBar() { return *bar_; }

private:
    // The bar's range and span from the lines.
    void updateBar();

    Window::ControlContainer container_;
    std::unique_ptr<Control::TitleHeaderControl> header_;
    std::unique_ptr<Control::ScrollBarControl> bar_;
    std::unique_ptr<LogViewControl> view_;
    int32_t dragFirstLine_ = 0;
};

}  // namespace Component
