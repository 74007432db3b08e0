#include <webp/decode.h>
#include <webp/demux.h>

#include <cstring>

#include "platform/imaging/Codec.h"
#include "platform/imaging/ImagingResult.h"

// Still files decode directly; an animation gives its first frame as it
// shows on the canvas, through the animation decoder.
namespace Platform::imaging::codec {
namespace {

struct AnimDecoder {
    WebPAnimDecoder* decoder = nullptr;
    ~AnimDecoder() { WebPAnimDecoderDelete(decoder); }
};

Result decodeFirstFrame(const uint8_t* data, size_t size, const ImageInfo& info, uint8_t* out) {
    WebPAnimDecoderOptions options;
    if (!WebPAnimDecoderOptionsInit(&options)) return kFail;
    options.color_mode = MODE_RGBA;  // straight alpha
    options.use_threads = 0;
    const WebPData whole{data, size};
    AnimDecoder d;
    d.decoder = WebPAnimDecoderNew(&whole, &options);
    if (d.decoder == nullptr) return kBadImage;
    WebPAnimInfo anim;
    if (!WebPAnimDecoderGetInfo(d.decoder, &anim) || anim.canvas_width != info.width ||
        anim.canvas_height != info.height || anim.frame_count == 0)
        return kBadImage;
    uint8_t* canvas = nullptr;
    int timestamp = 0;
    if (!WebPAnimDecoderGetNext(d.decoder, &canvas, &timestamp) || canvas == nullptr) return kBadImage;
    std::memcpy(out, canvas, static_cast<size_t>(info.width) * info.height * 4);
    return kOk;
}

}  // namespace

Result readWebpHeader(const uint8_t* data, size_t size, ImageInfo& info) {
    WebPBitstreamFeatures features;
    if (WebPGetFeatures(data, size, &features) != VP8_STATUS_OK || features.width <= 0 || features.height <= 0)
        return kBadHeader;
    info.width = static_cast<uint32_t>(features.width);  // the canvas of an animation
    info.height = static_cast<uint32_t>(features.height);
    info.format = features.has_alpha || features.has_animation ? FormatId::Rgba32 : FormatId::Rgb24;
    return kOk;
}

Result decodeWebp(const uint8_t* data, size_t size, const ImageInfo& info, uint8_t* out) {
    WebPBitstreamFeatures features;
    ImageInfo now;
    if (WebPGetFeatures(data, size, &features) != VP8_STATUS_OK || failed(readWebpHeader(data, size, now)) ||
        now.width != info.width || now.height != info.height || now.format != info.format)
        return kBadImage;
    if (features.has_animation) return decodeFirstFrame(data, size, info, out);
    const int row = static_cast<int>(info.width * bytesPerPixel(info.format));
    const size_t total = static_cast<size_t>(row) * info.height;
    const uint8_t* done = info.format == FormatId::Rgba32 ? WebPDecodeRGBAInto(data, size, out, total, row)
                                                          : WebPDecodeRGBInto(data, size, out, total, row);
    return done != nullptr ? kOk : kBadImage;
}

}  // namespace Platform::imaging::codec
