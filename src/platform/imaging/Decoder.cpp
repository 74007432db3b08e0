#include "platform/imaging/Decoder.h"

#include "platform/imaging/ImagingResult.h"

namespace Platform::imaging {

Decoder::Decoder(std::shared_ptr<const std::vector<uint8_t>> data, FormatId container)
    : data_(std::move(data)), container_(container) {}

Result Decoder::getFrame(uint32_t index, std::unique_ptr<DecodedFrame>& frame) const {
    if (index != 0) return kInvalidArg;
    codec::ImageInfo info;
    if (const Result r = codec::readHeader(container_, data_->data(), data_->size(), info); failed(r)) return r;
    if (info.width == 0 || info.height == 0) return kBadHeader;
    if (info.width > kMaxImageSize || info.height > kMaxImageSize) return kImageSizeOutOfRange;
    frame = std::make_unique<DecodedFrame>(data_, container_, info);
    return kOk;
}

}  // namespace Platform::imaging
