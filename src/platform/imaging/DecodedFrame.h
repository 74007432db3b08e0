#pragma once
#include <memory>
#include <vector>

#include "platform/imaging/Codec.h"
#include "platform/imaging/PixelSource.h"

namespace Platform::imaging {

// Frame 0 of a decoded file. Its size and format come from the header; the
// pixels are decoded on the first copy and kept. Size and pixels are those
// of the picture as shown: a file's orientation tag is applied.
class DecodedFrame : public PixelSource {
public:
    DecodedFrame(std::shared_ptr<const std::vector<uint8_t>> data, FormatId container, const codec::ImageInfo& info);
    Result getSize(uint32_t& width, uint32_t& height) const override;
    Result getPixelFormat(FormatId& format) const override;
    Result copyPixels(const Rect* rect, uint32_t stride, size_t bufferSize, uint8_t* buffer) override;

private:
    Result decode();

    std::shared_ptr<const std::vector<uint8_t>> data_;
    FormatId container_;
    codec::ImageInfo info_;
    std::unique_ptr<uint8_t[]> pixels_;
    Result decoded_ = kFalse;  // kFalse until the first decode
};

}  // namespace Platform::imaging
