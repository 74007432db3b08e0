#pragma once
#include "platform/imaging/PixelSource.h"

namespace Platform::imaging {

// Converts the pixels of a source to another pixel format as they are copied.
// Every pixel format of the layer converts to every other one.
class FormatConverter : public PixelSource {
public:
    static Result canConvert(FormatId from, FormatId to, bool& can);
    // The source must outlive the converter. Dithering and palettes do not
    // apply to the formats of the layer.
    Result initialize(PixelSource* source, FormatId to);

    Result getSize(uint32_t& width, uint32_t& height) const override;
    Result getPixelFormat(FormatId& format) const override;
    Result copyPixels(const Rect* rect, uint32_t stride, size_t bufferSize, uint8_t* buffer) override;

private:
    PixelSource* source_ = nullptr;
    FormatId from_ = FormatId::Undefined;
    FormatId to_ = FormatId::Undefined;
};

}  // namespace Platform::imaging
