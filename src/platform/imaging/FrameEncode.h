#pragma once
#include <vector>

#include "platform/imaging/PixelSource.h"
#include "platform/imaging/PropertyBag.h"

namespace Platform::imaging {

class Encoder;

// The one frame an encoder writes: options, size, resolution, the stored
// pixel format, then its pixels from a source.
class FrameEncode {
public:
    explicit FrameEncode(Encoder& encoder) : encoder_(encoder) {}
    Result initialize(const PropertyBag* options);
    Result setSize(uint32_t width, uint32_t height);
    Result setResolution(double dpiX, double dpiY);
    // Answers with the pixel format the encoder stores, written into format:
    // 32bppBGRA for PNG, 24bppBGR for JPEG, whatever was asked.
    Result setPixelFormat(FormatId& format);
    // The rectangle must be the whole frame.
    Result writeSource(PixelSource* source, const Rect* rect);
    Result commit();

private:
    Encoder& encoder_;
    bool initialized_ = false;
    float quality_ = 0.9f;
    uint32_t width_ = 0;
    uint32_t height_ = 0;
    double dpiX_ = 96.0;
    double dpiY_ = 96.0;
    FormatId format_ = FormatId::Undefined;
    std::vector<uint8_t> pixels_;
    bool written_ = false;
};

}  // namespace Platform::imaging
