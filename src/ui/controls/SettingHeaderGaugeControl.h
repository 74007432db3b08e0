#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/controls/WindowControlRenderTarget.h"

namespace Edit {
class Object;
}
namespace Window {
class BaseMenu;
}

// The frames of the focused object as a bar in the header of the object
// settings panel: its sections with a mark at each midpoint, the section the
// panel shows, the scene's cursor, and below the bar the cursor time from the
// object's start and the object's duration. A press or a drag moves the
// scene's cursor; a press within 8 pixels of a section boundary jumps to that
// boundary; resting on a boundary shows its time.
//
// Boundaries of an object with m midpoints are numbered 0 to m + 1: the first
// frame, the first frame plus each midpoint offset, the last frame + 1.
namespace Control {

class SettingHeaderGaugeControl : public Window::WindowControlRenderTarget {
public:
    // What the gauge reads from and asks of the object settings panel that
    // owns it; each part may be empty (section 0, view mode 0, no actions).
    struct Panel {
        std::function<int32_t()> shownSection;
        std::function<int32_t()> sectionViewMode;
        std::function<void(const std::shared_ptr<Edit::Object>& object, int32_t frame)> addMidpoint;
        std::function<void(const std::shared_ptr<Edit::Object>& object, int32_t section)> deleteMidpoint;
        // The panel's own menu, shown when no object is focused.
        std::function<void(Window::BaseMenu& menu)> panelMenu;
    };

    SettingHeaderGaugeControl(Window::ControlContainer& container, int32_t x, int32_t y, int32_t w, int32_t h);
    SettingHeaderGaugeControl(Window::WindowControl& parent, int32_t x, int32_t y, int32_t w, int32_t h);

    void procMouseMove(int32_t x, int32_t y) override;
    void procMouseLeave() override;
    void procLButtonDown(int32_t x, int32_t y) override;
    void procMouseDrag(int32_t x, int32_t y) override;
    void procMouseHover() override;
    void procMove() override;
    void procPaint() override;

    // Sets the object shown (none clears it), with its first frame and length.
    void setObject(std::shared_ptr<Edit::Object> shown);
    // The popup menu of the settings header: add or delete a midpoint, or the
    // panel's own menu without an object.
    void showMenu();

    // The bar's size from the control's size.
    void layoutGauge();
    // -1 outside the object; 0 on a bar too narrow or an object too short.
    int32_t frameToX(int32_t frame) const;
    // The frame under x (local to the control).
    int32_t xToFrame(int32_t x) const;
    // Index of the boundary within 8 pixels of x, -1 for none.
    int32_t hitTest(int32_t x) const;
    // The frame of boundary k.
    int32_t boundaryFrame(int32_t k) const;
    // Moves the scene's cursor to the frame under x, clamped into the object.
    void seekToX(int32_t x);
    // The x of each midpoint mark drawn (equal neighbours drawn once).
    std::vector<int32_t> markPositions() const;
    // "mm:ss.cc" of a frame count at the scene's rate, "-" before a negative one.
    static std::wstring formatShortTime(int32_t frames, int32_t rate, int32_t scale);
    std::wstring durationText() const;
    std::wstring cursorText() const;
    bool cursorInside() const;
    std::wstring boundaryToolTip(int32_t boundary) const;

    std::shared_ptr<Edit::Object> object;
    int32_t length = 0;
    int32_t startFrame = 0;
    int32_t cursorFrame = 0;
    int32_t barWidth = 0, barHeight = 0;
    int32_t hoveredBoundary = -1;
    int32_t markerSize = 8;
    int32_t margin = 12;
    int32_t top = 12;
    Panel panel;

private:
    int32_t shownSection() const { return panel.shownSection ? panel.shownSection() : 0; }
    int32_t viewMode() const { return panel.sectionViewMode ? panel.sectionViewMode() : 0; }
    void sceneRate(int32_t& rate, int32_t& scale) const;
    void setCursor(int32_t frame);
};

}  // namespace Control
