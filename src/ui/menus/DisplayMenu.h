#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "edit/FrameZoom.h"
#include "ui/menus/MenuBase.h"

namespace Window {
class DockLayout;
}

namespace Menu {

// The "表示" popup: a check entry per docked panel that shows or hides it
// (explorers in a submenu of their own), the preview's and the timeline's
// zoom, the display switches (BPM grid, camera grid, camera edit view,
// clipping visualisation) and play or stop.
class DisplayMenu final : public MenuBase {
public:
    using MenuBase::MenuBase;
    void createMenu() override;

    // The preview zoom presets of the settings, 0 (fit the window) or more,
    // in their order; unreadable and negative parts are skipped.
    static std::vector<int32_t> previewZoomPresets(const std::string& text);
    // The text of a preset: "WindowSize" for 0, else the percentage.
    static std::wstring previewZoomText(int32_t zoom);

    // What the timeline and preview entries act on, installed at start-up
    // by the owners of those views. An entry whose part is missing does
    // nothing; the presets are grayed without a preview zoom.
    struct Views {
        // The BPM grid is shown; toggleTempoGrid shows or hides it.
        std::function<bool()> tempoGrid;
        std::function<void()> toggleTempoGrid;
        // Zooms the timeline keeping the frame under the same pixel.
        std::function<void(Edit::FrameZoom zoom, int32_t frame)> zoomTimeline;
        // Sets the preview's display zoom (0 fits the window) and repaints it.
        std::function<void(int32_t zoom)> previewZoom;
    };
    // Returns the views installed before.
    static Views setViews(Views views);

private:
    // The docked panels: the bar's own layout when the bar is the main window.
    Window::DockLayout* layout() const;
};

}  // namespace Menu
