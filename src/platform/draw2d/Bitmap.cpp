#include "platform/draw2d/Bitmap.h"

#include <algorithm>
#include <cstring>
#include <mutex>

#include "platform/draw2d/Internal.h"
#include "platform/draw2d/Lock.h"
#include "platform/draw2d/RenderTarget.h"

namespace Platform::draw2d {

Result Bitmap::create(uint32_t width, uint32_t height, const void* data, uint32_t pitch, int32_t format,
                      AlphaMode alpha, std::unique_ptr<Bitmap>& out) {
    out.reset();
    if (width == 0 || height == 0 || width > 16384 || height > 16384) return kInvalidArg;
    if (format != 87 && format != 88 && format != 28) return kInvalidArg;
    if (data != nullptr && pitch < width * 4) return kInvalidArg;
    std::unique_ptr<Bitmap> b(new Bitmap(width, height));
    if (data != nullptr) {
        const bool opaque = format == 88 || alpha == AlphaMode::Ignore;
        for (uint32_t y = 0; y < height; ++y) {
            const uint8_t* src = static_cast<const uint8_t*>(data) + size_t(y) * pitch;
            uint8_t* dst = b->pixels_.data() + size_t(y) * width * 4;
            for (uint32_t x = 0; x < width; ++x, src += 4, dst += 4) {
                uint8_t bl = src[0], g = src[1], r = src[2], a = src[3];
                if (format == 28) std::swap(bl, r);
                if (opaque) {
                    a = 255;
                } else if (alpha == AlphaMode::Straight) {
                    bl = uint8_t((bl * a + 127) / 255);
                    g = uint8_t((g * a + 127) / 255);
                    r = uint8_t((r * a + 127) / 255);
                } else {
                    // Premultiplied input keeps colour within alpha.
                    bl = std::min(bl, a);
                    g = std::min(g, a);
                    r = std::min(r, a);
                }
                dst[0] = bl;
                dst[1] = g;
                dst[2] = r;
                dst[3] = a;
            }
        }
    }
    out = std::move(b);
    return kOk;
}

Result Bitmap::copyFromRenderTarget(uint32_t x, uint32_t y, RenderTarget& target, int32_t left, int32_t top,
                                    int32_t right, int32_t bottom) {
    std::lock_guard lock(layerLock());
    cairo_surface_t* s = target.surface();
    if (s == nullptr) return kWrongState;
    cairo_surface_flush(s);
    const int64_t sw = cairo_image_surface_get_width(s), sh = cairo_image_surface_get_height(s);
    const int stride = cairo_image_surface_get_stride(s);
    const uint8_t* data = cairo_image_surface_get_data(s);
    for (int64_t sy = std::max<int64_t>(top, 0); sy < std::min<int64_t>(bottom, sh); ++sy) {
        const int64_t dy = int64_t(y) + (sy - top);
        if (dy >= height_) break;
        const int64_t x0 = std::max<int64_t>(left, 0), x1 = std::min<int64_t>(right, sw);
        const int64_t dx0 = int64_t(x) + (x0 - left);
        const int64_t count = std::min<int64_t>(x1 - x0, int64_t(width_) - dx0);
        if (count <= 0 || dx0 < 0) continue;
        std::memcpy(pixels_.data() + (dy * width_ + dx0) * 4, data + sy * stride + x0 * 4, size_t(count) * 4);
    }
    return kOk;
}

}  // namespace Platform::draw2d
