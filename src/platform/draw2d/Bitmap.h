#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/draw2d/Types.h"

namespace Platform::draw2d {

class RenderTarget;

enum class AlphaMode : uint32_t { Premultiplied = 1, Straight = 2, Ignore = 3 };

// Pixels to draw: premultiplied B, G, R, A bytes per pixel (the layout of
// format 87), rows `stride()` bytes apart.
class Bitmap {
public:
    // From memory in format 87 (B8G8R8A8), 88 (B8G8R8X8) or 28 (R8G8B8A8) with
    // the alpha mode of the source; null data gives a transparent bitmap.
    // kInvalidArg for another format, a size of 0 or above 16384.
    static Result create(uint32_t width, uint32_t height, const void* data, uint32_t pitch, int32_t format,
                         AlphaMode alpha, std::unique_ptr<Bitmap>& out);

    uint32_t width() const { return width_; }
    uint32_t height() const { return height_; }
    uint32_t stride() const { return width_ * 4; }
    const uint8_t* data() const { return pixels_.data(); }
    uint8_t* data() { return pixels_.data(); }

    // Copies the rectangle (left, top, right, bottom in target pixels) of the
    // target's current content to (x, y) of this bitmap; parts outside either
    // are left out. kWrongState when the target has no surface.
    Result copyFromRenderTarget(uint32_t x, uint32_t y, RenderTarget& target, int32_t left, int32_t top, int32_t right,
                                int32_t bottom);

private:
    Bitmap(uint32_t width, uint32_t height) : width_(width), height_(height), pixels_(size_t(width) * height * 4) {}
    uint32_t width_;
    uint32_t height_;
    std::vector<uint8_t> pixels_;
};

}  // namespace Platform::draw2d
