#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "ui/controls/WindowControlRenderTarget.h"

namespace Edit {
class Object;
}
namespace Effect {
class EffectBase;
class EffectItemNumber;
}  // namespace Effect
namespace Platform::draw2d {
class StrokeStyle;
}
namespace Window {
class BaseMenu;
}

// The curve editor of the time-control panel: the time curve of one number
// item whose movement spreads over the whole object. The curve maps the
// progress through the movement (0..1, across) to the progress it uses
// (0..1, up) as a chain of cubic Bezier segments through points with
// symmetric handles. Points and handles are dragged with the mouse (one undo
// step a drag), added, deleted, copied and pasted from the context menu (one
// step each), and a press beside them seeks the scene's cursor within the
// object. The plot keeps a 10-pixel margin on every side.
//
// The item keeps the curve as a flat list of doubles, in the shortest form:
// none for the straight diagonal, four (the two end handles) for a curve
// between (0, 0) and (1, 1), else four per point (x, y, handleX, handleY).
namespace Component {

class EffectTimeSettingControl : public Window::WindowControlRenderTarget {
public:
    // One point: position and handle offset in the unit square. The + handle
    // ends at (x + handleX, y + handleY), the - handle at the mirror point.
    struct ControlAnchor {
        double x = 0, y = 0, handleX = 0, handleY = 0;
        bool operator==(const ControlAnchor&) const = default;
    };
    // What the pointer is over (or what a drag moves).
    enum Kind : int32_t { None = 0, EndPoint = 1, MidPoint = 2, BackHandle = 3, ForwardHandle = 4 };

    // What the editor reads from and asks of the panel around it; each may be empty.
    struct Panel {
        // Whether the bound object's midpoints are drawn.
        std::function<bool()> showSections;
        // The panel's own context-menu entries, after the editor's.
        std::function<void(Window::BaseMenu& menu)> panelMenu;
    };

    EffectTimeSettingControl(Window::ControlContainer& container, int32_t x, int32_t y, int32_t w, int32_t h);
    ~EffectTimeSettingControl() override;

    // False when all three are the bound ones; else binds them and loads the item's curve.
    bool setTarget(std::shared_ptr<Edit::Object> object, std::shared_ptr<Effect::EffectBase> effect,
                   Effect::EffectItemNumber* item);
    // False when nothing is bound; else drops the binding, the points and the hover.
    bool clearTarget();
    bool bound() const { return item != nullptr; }

    // Replaces the points from stored values (an unusable count gives the diagonal).
    void loadControlAnchors(const std::vector<double>& values);
    // The points in their shortest stored form.
    std::vector<double> getControlValues() const;
    // Into the bound item, or every member of the group it belongs to.
    void storeControlValues(const std::vector<double>& values);
    // Paste and presets: the points from the values and the values stored as
    // they are, one undo step.
    void setControlAnchors(const std::vector<double>& values);

    void updateCursorPosition(int32_t frame);
    void seekFrame(int32_t x);
    // The hover under (x, y); whether it changed.
    bool updateHover(int32_t x, int32_t y);
    void dragAnchor(int32_t dx, int32_t dy);
    // Both one undo step; add takes curve units.
    void addControlAnchor(double x, double y);
    void deleteControlAnchor(int32_t index);
    void endDrag();
    // The context menu's entries as the menu would run them.
    void copyCurve();
    void pasteCurve();

    void procMouseMove(int32_t x, int32_t y) override;
    void procMouseDrag(int32_t x, int32_t y) override;
    void procLButtonDown(int32_t x, int32_t y) override;
    void procKeyRelease() override;
    void procCaptureLost() override;
    void procContextMenu(int32_t x, int32_t y) override;
    void procPaint() override;
    void procMove() override;

    // The plot position of a curve position, relative to the control.
    float plotX(double x) const { return static_cast<float>(plotW * x + 10); }
    float plotY(double y) const { return static_cast<float>((1 - y) * plotH + 10); }

    Panel panel;
    std::shared_ptr<Edit::Object> object;
    std::shared_ptr<Effect::EffectBase> effect;
    Effect::EffectItemNumber* item = nullptr;
    std::vector<ControlAnchor> anchors;
    int32_t hoverKind = None, hoverIndex = -1;
    int32_t dragKind = None, dragIndex = -1;
    ControlAnchor dragStart;
    int32_t plotW = 0, plotH = 0;
    float cursorRatio = -1;
    // The copied curve, kept for the life of the program.
    static std::vector<double> copyBuffer;

private:
    // Clamps the dragged point into the square and between its neighbours.
    void clampAnchor(int32_t index);
    // One edit scope that changes the curve as one undo step.
    void editWithUndo(const std::function<void()>& change);
    // One edit scope of a drag step, inside the drag's open record.
    void storeDragStep();
    void drawControlAnchor(size_t index, int32_t kind);
    // The hover test at the router's last pointer position.
    void hoverAtPointer();
    // A hover or drag left pointing past the list is dropped.
    void dropStaleIndexes();

    std::unique_ptr<Platform::draw2d::StrokeStyle> dashed_;
    bool recordOpen_ = false;
};

}  // namespace Component
