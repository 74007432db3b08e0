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
    uint32_t width = 0;   // as stored
    uint32_t height = 0;  // as stored
    FormatId format = FormatId::Undefined;
    // How the stored rows turn into the picture viewers show, as the EXIF
    // orientation tag counts it: 1 as stored, 2 mirrored, 3 turned half way,
    // 4 flipped, 5 transposed, 6 turned a quarter clockwise, 7 transversed,
    // 8 turned a quarter anticlockwise.
    uint8_t orientation = 1;
};

// The orientation tag of an EXIF block (a TIFF structure, after the "Exif"
// marker), 1 when it has none or it is damaged.
uint8_t exifOrientation(const uint8_t* tiff, size_t size);
// Whether an orientation exchanges width and height.
inline bool turnsSideways(uint8_t orientation) { return orientation >= 5 && orientation <= 8; }
// Copies width × height stored pixels of bytesPerPixel bytes into out as
// shown: out is height × width for the orientations that turn sideways.
void orient(const uint8_t* stored, uint32_t width, uint32_t height, uint32_t bytesPerPixel, uint8_t orientation,
            uint8_t* out);

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
