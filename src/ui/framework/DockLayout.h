#pragma once
#include <cstdint>
#include <vector>

#include "ui/framework/WindowMouse.h"

namespace Media {
class RenderTarget;
}

// The docking of the main window's panels: each panel keeps four fractions
// of the layout area and an area number (left, right, top, bottom, centre);
// the layout turns them into a gap-free arrangement that keeps the panels'
// relative sizes, draws the separator strips and borders between them, and
// lets the user drag a separator to resize panels or, within one area, to
// reorder them. The window service is the layout: it covers the whole client
// area with the lowest priority, so it receives only what falls on no panel.
namespace Window {

class StyleBrushList;
class WindowClient;

class DockLayout : public WindowMouse {
public:
    DockLayout();
    ~DockLayout() override;

    // Clamps every placement and fits the shown panels area by area; computes no pixels.
    void arrangeClients();
    // Before a hidden panel is shown: shrinks the shown panels so that it
    // gets room where its placement says.
    void makeRoomForClient(WindowClient& client);
    // Finds the separator at a client point; fills dragClients with the pair.
    bool hitSeparator(int32_t x, int32_t y);
    // Follows the hit separator along its line; false when it is not one
    // straight line that can move. Adds every panel along it to dragClients.
    bool checkSeparatorChain();
    // One step of a separator drag, offsets from the press point.
    void dragSeparator(int32_t dx, int32_t dy);
    void drawSeparators();
    // Only when no panel is shown.
    void drawEmptyBackground();
    // Relayouts the window for its current size.
    virtual void updateLayout() = 0;

    // The shown panels of an area in panel order, and the same sorted along
    // the area's stacking axis.
    std::vector<WindowClient*> areaClients(int32_t area) const;
    std::vector<WindowClient*> sortedAreaClients(int32_t area) const;

    void procMouseMove(int32_t x, int32_t y) override;
    void procMouseDrag(int32_t x, int32_t y) override;
    void procLButtonDown(int32_t x, int32_t y) override;
    void procCaptureLost() override;

    // Every docked panel in creation order.
    std::vector<WindowClient*> clients;
    // The panels along the hovered or dragged separator: the hit pair first.
    std::vector<WindowClient*> dragClients;
    bool dragHorizontal = false;
    float dragEdge = 0;
    int32_t layoutWidth = 0;
    int32_t layoutHeight = 0;
    // The service's hit rectangle: the whole client area.
    MouseRect layoutRect;

    // Two placement values closer than this are the same edge.
    static constexpr float SameEdge = 0.0001f;
    // The smallest extent of a panel in the fractions.
    static constexpr float MinimumExtent = 0.001f;
    // The smallest extent of a panel while a separator is dragged, in pixels.
    static constexpr int32_t MinimumDragPixels = 24;

protected:
    virtual Media::RenderTarget& layoutTarget() = 0;
    virtual StyleBrushList& layoutBrushes() = 0;
    virtual void drawFooter() = 0;

private:
    // The rectangles of the shown panels, the background, the footer and
    // the separators again, in one drawing scope.
    void redrawLayout();
    void reorderPastPanel(bool towardsStart);
    bool walkChain(bool towardsStart);
};

}  // namespace Window
