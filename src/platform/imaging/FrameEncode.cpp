#include "platform/imaging/FrameEncode.h"

#include <new>

#include "platform/imaging/Codec.h"
#include "platform/imaging/Encoder.h"
#include "platform/imaging/ImagingResult.h"

namespace Platform::imaging {

Result FrameEncode::initialize(const PropertyBag* options) {
    if (initialized_) return kWrongState;
    initialized_ = true;
    if (options != nullptr) quality_ = options->imageQuality();
    return kOk;
}

Result FrameEncode::setSize(uint32_t width, uint32_t height) {
    if (!initialized_) return kWrongState;
    if (width == 0 || height == 0) return kInvalidArg;
    if (width > kMaxImageSize || height > kMaxImageSize) return kImageSizeOutOfRange;
    width_ = width;
    height_ = height;
    return kOk;
}

Result FrameEncode::setResolution(double dpiX, double dpiY) {
    if (!initialized_) return kWrongState;
    if (!(dpiX > 0.0 && dpiY > 0.0 && dpiX < 65536.0 && dpiY < 65536.0)) return kInvalidArg;
    dpiX_ = dpiX;
    dpiY_ = dpiY;
    return kOk;
}

Result FrameEncode::setPixelFormat(FormatId& format) {
    if (!initialized_) return kWrongState;
    format_ = encoder_.container() == FormatId::ContainerJpeg ? FormatId::Bgr24 : FormatId::Bgra32;
    format = format_;
    return kOk;
}

Result FrameEncode::writeSource(PixelSource* source, const Rect* rect) {
    if (!initialized_ || width_ == 0 || format_ == FormatId::Undefined || written_) return kWrongState;
    if (source == nullptr) return kInvalidArg;
    uint32_t width = 0, height = 0;
    FormatId format = FormatId::Undefined;
    if (const Result r = source->getSize(width, height); failed(r)) return r;
    if (const Result r = source->getPixelFormat(format); failed(r)) return r;
    if (width != width_ || height != height_) return kInvalidArg;
    if (format != format_) return kUnsupportedPixelFormat;
    if (rect != nullptr && (rect->x != 0 || rect->y != 0 || rect->width != static_cast<int32_t>(width_) ||
                            rect->height != static_cast<int32_t>(height_)))
        return kInvalidArg;
    const size_t row = static_cast<size_t>(width_) * bytesPerPixel(format_);
    try {
        pixels_.resize(row * height_);
    } catch (const std::bad_alloc&) {
        return kOutOfMemory;
    }
    if (const Result r = source->copyPixels(nullptr, static_cast<uint32_t>(row), pixels_.size(), pixels_.data());
        failed(r))
        return r;
    written_ = true;
    return kOk;
}

Result FrameEncode::commit() {
    if (!written_) return kWrongState;
    codec::EncodeInput input;
    input.pixels = pixels_.data();
    input.width = width_;
    input.height = height_;
    input.dpiX = dpiX_;
    input.dpiY = dpiY_;
    input.quality = quality_;
    std::vector<uint8_t> bytes;
    if (const Result r = codec::encode(encoder_.container(), input, bytes); failed(r)) return r;
    encoder_.setEncoded(std::move(bytes));
    return kOk;
}

}  // namespace Platform::imaging
