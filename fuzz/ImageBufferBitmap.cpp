// Device-independent bitmaps handed in by plug-ins and other programs: an
// image of a given format and size reads the rows a 40-byte header describes
// (and writes them back). The bits are exactly as long as the header claims,
// so a read or write past them shows.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "core/Log.h"
#include "media/image/ImageBuffer.h"
#include "media/image/PixelFormat.h"

namespace {

uint32_t le32(const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    namespace F = Media::PixelFormat;
    // 3 bytes of image choice, then the header as stored, then the bits.
    if (size < 3 + 40) return 0;
    System::Log::setHandler([](const System::Log::Type&, const char*, const char*) {});
    static constexpr int32_t kFormats[] = {F::kR16G16B16A16Float,
                                           F::kR16G16B16A16Unorm,
                                           F::kR16G16B16A16Snorm,
                                           F::kR8G8B8A8Unorm,
                                           F::kB8G8R8A8Unorm,
                                           F::kB8G8R8X8Unorm,
                                           F::kYuy2};
    const int32_t format = kFormats[data[0] % std::size(kFormats)];
    const uint32_t width = data[1] % 65, height = data[2] % 65;
    Media::BitmapInfoHeader header;
    const uint8_t* h = data + 3;
    header.biSize = le32(h);
    header.biWidth = static_cast<int32_t>(le32(h + 4));
    header.biHeight = static_cast<int32_t>(le32(h + 8));
    header.biPlanes = static_cast<uint16_t>(h[12] | h[13] << 8);
    header.biBitCount = static_cast<uint16_t>(h[14] | h[15] << 8);
    header.biCompression = le32(h + 16);
    header.biSizeImage = le32(h + 20);
    // A header that matches the image most of the time, so the copies run.
    if (h[24] & 1) {
        header.biWidth = static_cast<int32_t>(width);
        header.biHeight = (h[24] & 2) ? -static_cast<int32_t>(height) : static_cast<int32_t>(height);
    }
    const uint64_t row =
        ((static_cast<uint64_t>(static_cast<uint32_t>(header.biWidth)) * header.biBitCount / 8) + 3) & ~uint64_t{3};
    const uint64_t rows =
        header.biHeight < 0 ? 0ull - static_cast<int64_t>(header.biHeight) : static_cast<uint64_t>(header.biHeight);
    const size_t claimed = static_cast<size_t>(std::min<uint64_t>(row * rows, uint64_t{1} << 16));
    std::vector<uint8_t> bits(claimed);
    const uint8_t* rest = data + 43;
    const size_t restSize = size - 43;
    for (size_t at = 0; restSize > 0 && at < claimed; at += restSize)
        std::memcpy(bits.data() + at, rest, std::min(restSize, claimed - at));
    try {
        Media::ImageBuffer image(format, width, height);
        image.copyFromBitmap(header, bits.data());
        image.copyToBitmap(header, bits.data());
        // The header the image gives itself always fits it.
        Media::BitmapInfoHeader own;
        Media::ImageBuffer::getBitmapInfoHeader(format == F::kR8G8B8A8Unorm ? F::kB8G8R8A8Unorm : format, width, height,
                                                own);
        std::vector<uint8_t> ownBits(own.biSizeImage);
        if (format != F::kR8G8B8A8Unorm) {
            image.copyToBitmap(own, ownBits.data());
            image.copyFromBitmap(own, ownBits.data());
        }
    } catch (const std::exception&) {
    }
    return 0;
}
