#include "platform/imaging/DecodedFrame.h"

#include <cstring>
#include <new>

namespace Platform::imaging {

DecodedFrame::DecodedFrame(std::shared_ptr<const std::vector<uint8_t>> data, FormatId container,
                           const codec::ImageInfo& info)
    : data_(std::move(data)), container_(container), info_(info) {}

Result DecodedFrame::getSize(uint32_t& width, uint32_t& height) const {
    width = info_.width;
    height = info_.height;
    return kOk;
}

Result DecodedFrame::getPixelFormat(FormatId& format) const {
    format = info_.format;
    return kOk;
}

Result DecodedFrame::copyPixels(const Rect* rect, uint32_t stride, size_t bufferSize, uint8_t* buffer) {
    const uint32_t bpp = bytesPerPixel(info_.format);
    Rect area;
    if (const Result r = checkCopy(info_.width, info_.height, bpp, rect, stride, bufferSize, buffer, area); failed(r))
        return r;
    if (decoded_ == kFalse) {
        // Not zero-filled: pages a failing decode never reaches cost nothing.
        pixels_.reset(new (std::nothrow) uint8_t[static_cast<size_t>(info_.width) * info_.height * bpp]);
        decoded_ = pixels_ ? codec::decode(container_, data_->data(), data_->size(), info_, pixels_.get())
                           : kOutOfMemory;
        if (failed(decoded_)) pixels_.reset();
    }
    if (failed(decoded_)) return decoded_;
    const size_t row = static_cast<size_t>(info_.width) * bpp;
    for (int32_t y = 0; y < area.height; ++y)
        std::memcpy(buffer + static_cast<size_t>(stride) * y, pixels_.get() + row * (area.y + y) + area.x * bpp,
                    static_cast<size_t>(area.width) * bpp);
    return kOk;
}

}  // namespace Platform::imaging
