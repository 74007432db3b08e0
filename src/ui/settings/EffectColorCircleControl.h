#pragma once
#include <array>
#include <cstdint>
#include <vector>

#include "ui/controls/WindowControlRenderTarget.h"

// The hue ring around the saturation/value square of the colour setting
// panel. The ring's top shows the panel's reference hue ("ColorCircleAngle")
// and hues grow clockwise; the square runs from white (top left) to the pure
// hue (top right) and black (bottom). A press and drag on either is one undo
// step. Ring and square are drawn into one image on the processor, rebuilt
// only when the hue or the size changes.
namespace Component {

class EffectColorSettingComponent;

class EffectColorCircleControl : public Window::WindowControlRenderTarget {
public:
    enum Part : int32_t { None = 0, Ring = 1, Square = 2 };

    // The geometry of a control of w x h pixels.
    struct Geometry {
        int32_t diameter = 0, ringWidth = 0, squareSize = 0, squareOffset = 0, originX = 0, originY = 0;
    };
    static Geometry layout(int32_t w, int32_t h);
    // The part under (x, y), relative to the control.
    static int32_t partAt(const Geometry& g, int32_t x, int32_t y);
    // The ring's pixel (R, G, B, A; premultiplied) at column j and row i.
    static std::array<uint8_t, 4> ringPixel(const Geometry& g, int32_t angle, int32_t i, int32_t j);
    // The hue (turns) of the ring at a point off the centre; false at the centre.
    static bool hueAt(const Geometry& g, int32_t angle, int32_t x, int32_t y, float& hue);
    // Saturation and value of the square at a point, pinned to 0..1.
    static void squareAt(const Geometry& g, int32_t x, int32_t y, float& saturation, float& value);

    EffectColorCircleControl(Window::ControlContainer& container, EffectColorSettingComponent& panel);

    void procMouseMove(int32_t x, int32_t y) override;
    void procMouseDrag(int32_t x, int32_t y) override;
    void procKeyRelease() override;
    void procLButtonDown(int32_t x, int32_t y) override;
    void procMouseLeave() override;
    void procCaptureLost() override;
    void procPaint() override;
    void procMove() override;

    // Rebuilds the image when the hue or the size changed.
    void updateImage();

    EffectColorSettingComponent* panel;
    std::vector<uint8_t> image;  // R8G8B8A8, premultiplied, diameter x diameter
    int32_t imageSize = 0;
    float cachedHue = -1;
    Geometry geometry;
    int32_t dragPart = None;
    int32_t hoverPart = None;

private:
    void pick(int32_t x, int32_t y);
    void endDrag();
};

}  // namespace Component
