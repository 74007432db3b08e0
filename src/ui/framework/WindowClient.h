#pragma once
#include <cstdint>
#include <string>

#include "core/ConfigFloat.h"
#include "core/ConfigInt.h"
#include "core/ConfigParameterBinding.h"
#include "core/ConfigParameterGroup.h"
#include "ui/framework/WindowMouse.h"

// A docked panel of the main window. Its place is four fractions of the
// layout area and the number of the area it docks to; the window service
// arranges the panels from these numbers. The placement is read from the
// panel's own "Window.*" section of the main settings file when the panel is
// built and written back when it goes.
namespace Window {

class BaseMenu;
class WindowService;

class WindowClient : public WindowMouse {
public:
    // Areas in the order they take their share of the window.
    enum Area : int32_t { Left = 0, Right = 1, Top = 2, Bottom = 3, Centre = 4 };

    struct DefaultPlacement {
        float left, top, right, bottom;
        int32_t area;
        bool shown;
    };

    // The persisted placement: fractions of the layout width and height.
    struct Placement {
        float left = 0, top = 0, right = 0, bottom = 0;
        int32_t area = 0;
        int32_t hide = 0;
        float& edge(int32_t index) { return index == 0 ? left : index == 1 ? top : index == 2 ? right : bottom; }
    };

    // The panel's name makes its section ("Window." + name). Loads the
    // placement, then joins the window service's panels.
    WindowClient(const std::wstring* title, const std::string& name, const DefaultPlacement& defaults);
    ~WindowClient() override;

    virtual void procPaint() = 0;
    // The pixel rectangle changed.
    virtual void procMove();
    // Appends the placement submenu; overrides call the base.
    virtual void addClientMenu(BaseMenu& menu);
    virtual void show(bool visible);
    void procContextMenu(int32_t x, int32_t y) override;

    // Computes the pixel rectangle from the placement; on a change, or when
    // forced, tells the panel (and paints it when shown).
    void updateRect(bool force);
    // The first pixel column and row of a shown panel's span, and where its
    // separator strips start on the right and below, for a layout size.
    struct PixelSpan {
        int32_t x0, xr, y0, yb;
    };
    PixelSpan pixelSpan(int32_t width, int32_t height) const;
    bool shown() const { return placement.hide == 0; }
    const std::string& sectionName() const { return section_; }

    WindowService* windowService = nullptr;
    MouseRect clientRect;
    const std::wstring* title = nullptr;
    int32_t edgeIndex = 0;
    int32_t oppositeIndex = 0;
    Placement placement;

    // Where a hidden panel is parked.
    static constexpr int32_t HiddenPosition = 65536;

private:
    void moveToFirst();
    void moveToLast();
    void swapWithNeighbour(int32_t step);
    void toggleShown();

    std::string section_;
    System::Config::ParameterGroup group_;
    System::Config::Float left_;
    System::Config::Float top_;
    System::Config::Float right_;
    System::Config::Float bottom_;
    System::Config::Int area_;
    System::Config::Int hide_;
    System::Config::ParameterBinding binding_;
};

}  // namespace Window
