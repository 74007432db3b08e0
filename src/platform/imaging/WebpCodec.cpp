#include <webp/decode.h>

#include "platform/imaging/Codec.h"
#include "platform/imaging/ImagingResult.h"

namespace Platform::imaging::codec {

Result readWebpHeader(const uint8_t* data, size_t size, ImageInfo& info) {
    WebPBitstreamFeatures features;
    if (WebPGetFeatures(data, size, &features) != VP8_STATUS_OK || features.width <= 0 || features.height <= 0)
        return kBadHeader;
    info.width = static_cast<uint32_t>(features.width);
    info.height = static_cast<uint32_t>(features.height);
    info.format = features.has_alpha ? FormatId::Rgba32 : FormatId::Rgb24;
    return kOk;
}

Result decodeWebp(const uint8_t* data, size_t size, const ImageInfo& info, uint8_t* out) {
    ImageInfo now;
    if (failed(readWebpHeader(data, size, now)) || now.width != info.width || now.height != info.height ||
        now.format != info.format)
        return kBadImage;
    const int row = static_cast<int>(info.width * bytesPerPixel(info.format));
    const size_t total = static_cast<size_t>(row) * info.height;
    const uint8_t* done = info.format == FormatId::Rgba32 ? WebPDecodeRGBAInto(data, size, out, total, row)
                                                         : WebPDecodeRGBInto(data, size, out, total, row);
    return done != nullptr ? kOk : kBadImage;
}

}  // namespace Platform::imaging::codec
