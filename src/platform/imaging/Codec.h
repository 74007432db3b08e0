#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/imaging/FormatId.h"
#include "platform/os/Result.h"

// The decoders and encoders under the layer, one set of functions per
// container. Decoders read a whole file held in memory: the header first
// (cheap, nothing allocated for pixels), the pixels only when asked, packed
// rows of the format the header named (Gray8, Rgb24 or Rgba32).
namespace Platform::imaging::codec {

struct ImageInfo {
    uint32_t width = 0;
    uint32_t height = 0;
    FormatId format = FormatId::Undefined;
};

// The container a file's first bytes name, Undefined when none.
FormatId detectContainer(const uint8_t* data, size_t size);

Result readHeader(FormatId container, const uint8_t* data, size_t size, ImageInfo& info);
// out holds width × height × bytesPerPixel(info.format) bytes.
Result decode(FormatId container, const uint8_t* data, size_t size, const ImageInfo& info, uint8_t* out);

struct EncodeInput {
    const uint8_t* pixels = nullptr;  // packed rows: Bgra32 for PNG, Bgr24 for JPEG
    uint32_t width = 0;
    uint32_t height = 0;
    double dpiX = 96.0;
    double dpiY = 96.0;
    float quality = 0.9f;  // JPEG only, 0 to 1
};
Result encode(FormatId container, const EncodeInput& input, std::vector<uint8_t>& out);

Result readPngHeader(const uint8_t* data, size_t size, ImageInfo& info);
Result decodePng(const uint8_t* data, size_t size, const ImageInfo& info, uint8_t* out);
Result encodePng(const EncodeInput& input, std::vector<uint8_t>& out);
Result readJpegHeader(const uint8_t* data, size_t size, ImageInfo& info);
Result decodeJpeg(const uint8_t* data, size_t size, const ImageInfo& info, uint8_t* out);
Result encodeJpeg(const EncodeInput& input, std::vector<uint8_t>& out);
Result readGifHeader(const uint8_t* data, size_t size, ImageInfo& info);
Result decodeGif(const uint8_t* data, size_t size, const ImageInfo& info, uint8_t* out);
Result readTiffHeader(const uint8_t* data, size_t size, ImageInfo& info);
Result decodeTiff(const uint8_t* data, size_t size, const ImageInfo& info, uint8_t* out);
Result readWebpHeader(const uint8_t* data, size_t size, ImageInfo& info);
Result decodeWebp(const uint8_t* data, size_t size, const ImageInfo& info, uint8_t* out);
Result readBmpHeader(const uint8_t* data, size_t size, ImageInfo& info);
Result decodeBmp(const uint8_t* data, size_t size, const ImageInfo& info, uint8_t* out);

}  // namespace Platform::imaging::codec
