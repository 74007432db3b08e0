#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "ui/controls/ControlContainer.h"
#include "ui/controls/ListItemControl.h"
#include "ui/controls/TitleHeaderControl.h"
#include "ui/framework/WindowClientRenderTarget.h"

// What the docked lists of rows share: a title header over a scrolling list
// of rows. The panel draws nothing of its own; it paints its controls and
// logs, once per place, where its rows start on the screen, so that whoever
// watches the log (the window tests) knows where to click.
namespace Component {

class ListPanelComponent : public Window::WindowClientRenderTarget {
public:
    // The log names the rows "<what> rows at X,Y WxH" under the scope.
    ListPanelComponent(const std::wstring* title, const std::string& name, const DefaultPlacement& defaults,
                       const char* logScope, const char* what);
    ~ListPanelComponent() override;

    void procPaint() override;
    void procMove() override;

    Control::ListItemControl& list() { return *list_; }

protected:
    Window::ControlContainer container_;
    std::unique_ptr<Control::TitleHeaderControl> header_;
    std::unique_ptr<Control::ListItemControl> list_;

private:
    void logPlace();

    const char* logScope_;
    const char* what_;
    std::array<int32_t, 4> loggedPlace_{};
};

}  // namespace Component
