#pragma once
#include "platform/draw2d/RenderTarget.h"

namespace Platform::gpu {
class Device;
class Texture;
}  // namespace Platform::gpu

namespace Platform::draw2d {

// A target over a GPU texture, for drawing on worker threads: the drawing
// goes to CPU pixels of the texture's size (8-bit premultiplied), which
// beginDraw fills by reading the texture back (unless the texture is known to
// be clear, for the first drawing only) and endDraw uploads into the texture,
// converted to its format. Formats: 10 (16-bit float RGBA, premultiplied),
// 65 (alpha only), 28, 87 and 88 (alpha one). The device's immediate context
// is used by beginDraw and endDraw.
class GpuTarget : public RenderTarget {
public:
    // kInvalidArg for a texture of another format or multisampled.
    static Result create(Platform::gpu::Device& device, Platform::gpu::Texture& texture, bool knownClear,
                         std::unique_ptr<GpuTarget>& out);
    ~GpuTarget() override;
    // The failure of the last read-back or upload (kOk when none).
    Result lastTransferResult() const { return transfer_; }

protected:
    cairo_surface_t* acquireSurface() override { return surface_; }
    void prepare(cairo_surface_t* surface) override;
    Result present(cairo_surface_t* surface) override;

private:
    GpuTarget(Platform::gpu::Device& device, Platform::gpu::Texture& texture, cairo_surface_t* surface, bool clear)
        : device_(device), texture_(texture), surface_(surface), knownClear_(clear) {}
    Platform::gpu::Device& device_;
    Platform::gpu::Texture& texture_;
    cairo_surface_t* surface_;
    bool knownClear_;
    Result transfer_ = kOk;
};

// IEEE half floats of the 16-bit float format.
uint16_t halfFromFloat(float value);
float floatFromHalf(uint16_t half);

}  // namespace Platform::draw2d
