#include "platform/imaging/DecodedFrame.h"

#include <cstring>
#include <new>

namespace Platform::imaging {

DecodedFrame::DecodedFrame(std::shared_ptr<const std::vector<uint8_t>> data, FormatId container,
                           const codec::ImageInfo& info)
    : data_(std::move(data)), container_(container), info_(info) {}

Result DecodedFrame::getSize(uint32_t& width, uint32_t& height) const {
    const bool sideways = codec::turnsSideways(info_.orientation);
    width = sideways ? info_.height : info_.width;
    height = sideways ? info_.width : info_.height;
    return kOk;
}

Result DecodedFrame::getPixelFormat(FormatId& format) const {
    format = info_.format;
    return kOk;
}

Result DecodedFrame::copyPixels(const Rect* rect, uint32_t stride, size_t bufferSize, uint8_t* buffer) {
    const uint32_t bpp = bytesPerPixel(info_.format);
    uint32_t width = 0, height = 0;
    (void)getSize(width, height);
    Rect area;
    if (const Result r = checkCopy(width, height, bpp, rect, stride, bufferSize, buffer, area); failed(r)) return r;
    if (decoded_ == kFalse) {
        decoded_ = decode();
        if (failed(decoded_)) pixels_.reset();
    }
    if (failed(decoded_)) return decoded_;
    const size_t row = static_cast<size_t>(width) * bpp;
    for (int32_t y = 0; y < area.height; ++y)
        std::memcpy(buffer + static_cast<size_t>(stride) * y, pixels_.get() + row * (area.y + y) + area.x * bpp,
                    static_cast<size_t>(area.width) * bpp);
    return kOk;
}

Result DecodedFrame::decode() {
    const uint32_t bpp = bytesPerPixel(info_.format);
    const size_t size = static_cast<size_t>(info_.width) * info_.height * bpp;
    // Not zero-filled: pages a failing decode never reaches cost nothing.
    pixels_.reset(new (std::nothrow) uint8_t[size]);
    if (!pixels_) return kOutOfMemory;
    if (const Result r = codec::decode(container_, data_->data(), data_->size(), info_, pixels_.get()); failed(r))
        return r;
    if (info_.orientation == 1) return kOk;
    std::unique_ptr<uint8_t[]> shown(new (std::nothrow) uint8_t[size]);
    if (!shown) return kOutOfMemory;
    codec::orient(pixels_.get(), info_.width, info_.height, bpp, info_.orientation, shown.get());
    pixels_ = std::move(shown);
    return kOk;
}

}  // namespace Platform::imaging
