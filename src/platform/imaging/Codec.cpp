#include "platform/imaging/Codec.h"

#include <cstring>

#include "platform/imaging/ImagingResult.h"

namespace Platform::imaging::codec {

FormatId detectContainer(const uint8_t* data, size_t size) {
    auto starts = [&](const char* magic, size_t n, size_t at = 0) {
        return size >= at + n && std::memcmp(data + at, magic, n) == 0;
    };
    if (starts("\x89PNG\r\n\x1a\n", 8)) return FormatId::ContainerPng;
    if (starts("\xFF\xD8\xFF", 3)) return FormatId::ContainerJpeg;
    if (starts("GIF87a", 6) || starts("GIF89a", 6)) return FormatId::ContainerGif;
    if (starts("II*\0", 4) || starts("MM\0*", 4)) return FormatId::ContainerTiff;
    if (starts("RIFF", 4) && starts("WEBP", 4, 8)) return FormatId::ContainerWebp;
    if (starts("BM", 2)) return FormatId::ContainerBmp;
    return FormatId::Undefined;
}

Result readHeader(FormatId container, const uint8_t* data, size_t size, ImageInfo& info) {
    switch (container) {
    case FormatId::ContainerPng: return readPngHeader(data, size, info);
    case FormatId::ContainerJpeg: return readJpegHeader(data, size, info);
    case FormatId::ContainerGif: return readGifHeader(data, size, info);
    case FormatId::ContainerTiff: return readTiffHeader(data, size, info);
    case FormatId::ContainerWebp: return readWebpHeader(data, size, info);
    case FormatId::ContainerBmp: return readBmpHeader(data, size, info);
    default: return kComponentNotFound;
    }
}

Result decode(FormatId container, const uint8_t* data, size_t size, const ImageInfo& info, uint8_t* out) {
    switch (container) {
    case FormatId::ContainerPng: return decodePng(data, size, info, out);
    case FormatId::ContainerJpeg: return decodeJpeg(data, size, info, out);
    case FormatId::ContainerGif: return decodeGif(data, size, info, out);
    case FormatId::ContainerTiff: return decodeTiff(data, size, info, out);
    case FormatId::ContainerWebp: return decodeWebp(data, size, info, out);
    case FormatId::ContainerBmp: return decodeBmp(data, size, info, out);
    default: return kComponentNotFound;
    }
}

Result encode(FormatId container, const EncodeInput& input, std::vector<uint8_t>& out) {
    switch (container) {
    case FormatId::ContainerPng: return encodePng(input, out);
    case FormatId::ContainerJpeg: return encodeJpeg(input, out);
    default: return kComponentNotFound;
    }
}

}  // namespace Platform::imaging::codec
