#include "media/image/ImageBuffer.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <stdexcept>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

#include "core/Exception.h"
#include "media/image/PixelFormat.h"
#include "platform/os/ErrorText.h"

namespace Media {
namespace {

namespace F = PixelFormat;

// Bytes per pixel of the formats an image may hold, 0 for any other.
uint32_t bytesPerPixel(int32_t format) {
    switch (format) {
    case F::kR16G16B16A16Float:
    case F::kR16G16B16A16Unorm:
    case F::kR16G16B16A16Snorm: return 8;
    case F::kR8G8B8A8Unorm:
    case F::kB8G8R8A8Unorm:
    case F::kB8G8R8X8Unorm: return 4;
    case F::kYuy2: return 2;
    default: return 0;
    }
}

uint32_t dibRowLength(const BitmapInfoHeader& header) {
    const uint64_t bytes = static_cast<uint64_t>(static_cast<uint32_t>(header.biWidth)) * header.biBitCount / 8;
    return static_cast<uint32_t>((bytes + 3) & ~uint64_t{3});
}

uint32_t absolute(int32_t v) { return v < 0 ? 0u - static_cast<uint32_t>(v) : static_cast<uint32_t>(v); }

// The format an image must have for a DIB of this bit count, or -1.
bool formatMatches(uint16_t bitCount, int32_t format) {
    switch (bitCount) {
    case 16: return format == F::kYuy2;
    case 24: return format == F::kB8G8R8X8Unorm;
    case 32: return format == F::kB8G8R8A8Unorm;
    case 48: return format == F::kR16G16B16A16Snorm;
    case 64: return format == F::kR16G16B16A16Float || format == F::kR16G16B16A16Unorm;
    default: return false;
    }
}

// The header's bit count matches the format and its size is the image's. The
// width is never negative (only the height's sign tells the row order).
bool fits(const BitmapInfoHeader& header, int32_t format, uint32_t width, uint32_t height) {
    return formatMatches(header.biBitCount, format) && header.biWidth >= 0 &&
           static_cast<uint32_t>(header.biWidth) == width && absolute(header.biHeight) == height;
}

// A row or store of 4 GiB or more cannot be held (sizes are 32-bit): it fails
// as the store's allocation does, instead of wrapping to a small store that
// the image's writers would overrun.
std::runtime_error tooLarge() {
    return System::win32ErrorException("System::AlignedBuffer::allocMemory", Platform::os::kErrorOutOfMemory);
}


// 24-bit DIB rows against 4-byte pixels. The vector forms move sixteen pixels
// a step with byte shuffles; the scalar forms four pixels in 32-bit words.
void packRowScalar(const uint8_t* s, uint8_t* d, uint32_t width) {
    uint32_t x = 0;
    for (; x + 4 <= width; x += 4, s += 16, d += 12) {
        uint32_t p[4];
        std::memcpy(p, s, 16);
        const uint32_t out[3] = {(p[0] & 0xFFFFFFu) | p[1] << 24, (p[1] >> 8 & 0xFFFFu) | p[2] << 16,
                                 (p[2] >> 16 & 0xFFu) | p[3] << 8};
        std::memcpy(d, out, 12);
    }
    for (; x < width; ++x, s += 4, d += 3) {
        d[0] = s[0];
        d[1] = s[1];
        d[2] = s[2];
    }
}

void unpackRowScalar(const uint8_t* s, uint8_t* d, uint32_t width) {
    for (uint32_t x = 0; x < width; ++x, s += 3, d += 4) {
        d[0] = s[0];
        d[1] = s[1];
        d[2] = s[2];
        d[3] = 0;
    }
}

#if defined(__x86_64__)
__attribute__((target("ssse3"))) void packRowSsse3(const uint8_t* s, uint8_t* d, uint32_t width) {
    const __m128i take = _mm_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1);
    uint32_t x = 0;
    for (; x + 16 <= width; x += 16, s += 64, d += 48) {
        const __m128i a = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(s)), take);
        const __m128i b = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(s + 16)), take);
        const __m128i c = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(s + 32)), take);
        const __m128i e = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(s + 48)), take);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d), _mm_or_si128(a, _mm_slli_si128(b, 12)));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + 16), _mm_or_si128(_mm_srli_si128(b, 4), _mm_slli_si128(c, 8)));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + 32), _mm_or_si128(_mm_srli_si128(c, 8), _mm_slli_si128(e, 4)));
    }
    packRowScalar(s, d, width - x);
}

__attribute__((target("ssse3"))) void unpackRowSsse3(const uint8_t* s, uint8_t* d, uint32_t width) {
    const __m128i spread = _mm_setr_epi8(0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1);
    uint32_t x = 0;
    for (; x + 16 <= width; x += 16, s += 48, d += 64) {
        const __m128i l0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s));
        const __m128i l1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + 16));
        const __m128i l2 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + 32));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d), _mm_shuffle_epi8(l0, spread));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + 16), _mm_shuffle_epi8(_mm_alignr_epi8(l1, l0, 12), spread));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + 32), _mm_shuffle_epi8(_mm_alignr_epi8(l2, l1, 8), spread));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + 48), _mm_shuffle_epi8(_mm_srli_si128(l2, 4), spread));
    }
    unpackRowScalar(s, d, width - x);
}

const bool kHasSsse3 = __builtin_cpu_supports("ssse3");
#endif

void packRow24(const uint8_t* s, uint8_t* d, uint32_t width) {
#if defined(__x86_64__)
    if (kHasSsse3) return packRowSsse3(s, d, width);
#endif
    packRowScalar(s, d, width);
}

void unpackRow24(const uint8_t* s, uint8_t* d, uint32_t width) {
#if defined(__x86_64__)
    if (kHasSsse3) return unpackRowSsse3(s, d, width);
#endif
    unpackRowScalar(s, d, width);
}

}  // namespace

ImageBuffer::ImageBuffer(int32_t format, uint32_t width, uint32_t height) : format(format) { create(width, height, 0); }

void ImageBuffer::create(uint32_t w, uint32_t h, uint32_t p) {
    // An empty image has pitch 0 in any format (read-backs give their pitch later).
    const uint32_t rowPitch = p != 0 ? p : w == 0 ? 0 : getDefaultPitchSize(format, w);
    if (static_cast<uint64_t>(rowPitch) * h + 31 > UINT32_MAX) throw tooLarge();
    width = w;
    height = h;
    pitch = rowPitch;
    // The store is a whole number of 32-byte blocks, so that row steps may run
    // in wide vectors past a pitch the GPU reported.
    pixels.allocMemory((pitch * h + 31) & ~31u);
}

uint32_t ImageBuffer::getDefaultPitchSize(int32_t format, uint32_t width) {
    const uint32_t bytes = bytesPerPixel(format);
    if (bytes == 0)
        throw System::formatException("Media::ImageBuffer::getDefaultPitchSize", "image format not supported.",
                                      L"dxgi format = %d", format);
    const uint64_t pitch = (static_cast<uint64_t>(width) * bytes + 31) & ~uint64_t{31};
    if (pitch > UINT32_MAX) throw tooLarge();
    return static_cast<uint32_t>(pitch);
}

void ImageBuffer::getBitmapInfoHeader(int32_t format, uint32_t width, uint32_t height, BitmapInfoHeader& header) {
    uint32_t compression = 0;
    uint16_t bitCount = 0;
    switch (format) {
    case F::kR16G16B16A16Float: compression = fourCC("HF64"), bitCount = 64; break;
    case F::kR16G16B16A16Unorm: compression = fourCC("PA64"), bitCount = 64; break;
    case F::kR16G16B16A16Snorm: compression = fourCC("YC48"), bitCount = 48; break;
    case F::kB8G8R8A8Unorm: compression = 0, bitCount = 32; break;
    case F::kB8G8R8X8Unorm: compression = 0, bitCount = 24; break;
    case F::kYuy2: compression = fourCC("YUY2"), bitCount = 16; break;
    default:
        throw System::formatException("Media::ImageBuffer::getBitmapInfoHeader", "image format not supported.",
                                      L"dxgi format = %d", format);
    }
    header.biSize = 40;
    header.biWidth = static_cast<int32_t>(width);
    header.biHeight = static_cast<int32_t>(height);
    header.biPlanes = 1;
    header.biBitCount = bitCount;
    header.biCompression = compression;
    header.biSizeImage = dibRowLength(header) * height;
}

void ImageBuffer::copyFromBitmap(const BitmapInfoHeader& header, const void* bits) {
    // A DIB of another size than this image would be read or written past its
    // rows: it counts as a mismatch like a wrong bit count.
    if (!fits(header, format, width, height)) {
        if (usedSize() > 0) std::memset(pixels.data(), 0, usedSize());
        return;
    }
    // An image without pixels has no store, and its DIB may have no bits.
    if (width == 0 || height == 0) return;
    const auto* src = static_cast<const uint8_t*>(bits);
    const uint32_t rowLength = dibRowLength(header);
    uint8_t* dst = pixels.data();
    switch (header.biBitCount) {
    case 16:
        for (uint32_t y = 0; y < height; ++y) std::memcpy(dst + y * pitch, src + y * rowLength, rowLength);
        break;
    case 24:
        for (uint32_t y = 0; y < height; ++y)
            unpackRow24(src + static_cast<size_t>(height - 1 - y) * rowLength, dst + static_cast<size_t>(y) * pitch,
                        width);
        break;
    case 32:
        for (uint32_t y = 0; y < height; ++y) std::memcpy(dst + y * pitch, src + (height - 1 - y) * rowLength, rowLength);
        break;
    case 48:
        for (uint32_t y = 0; y < height; ++y) {
            const uint8_t* s = src + y * rowLength;
            uint8_t* d = dst + y * pitch;
            for (uint32_t x = 0; x < width; ++x) {
                std::memcpy(d + 8 * x, s + 6 * x, 6);
                d[8 * x + 6] = d[8 * x + 7] = 0;
            }
        }
        break;
    case 64:
        if (rowLength == pitch)
            std::memcpy(dst, src, static_cast<size_t>(height) * rowLength);
        else
            for (uint32_t y = 0; y < height; ++y) std::memcpy(dst + y * pitch, src + y * rowLength, rowLength);
        break;
    }
}

void ImageBuffer::copyToBitmap(const BitmapInfoHeader& header, void* bits) const {
    if (!fits(header, format, width, height) || width == 0 || height == 0) return;
    auto* dst = static_cast<uint8_t*>(bits);
    const uint32_t rowLength = dibRowLength(header);
    const uint8_t* src = pixels.data();
    switch (header.biBitCount) {
    case 16:
        for (uint32_t y = 0; y < height; ++y) std::memcpy(dst + y * rowLength, src + y * pitch, rowLength);
        break;
    case 24:
        for (uint32_t y = 0; y < height; ++y)
            packRow24(src + static_cast<size_t>(y) * pitch, dst + static_cast<size_t>(height - 1 - y) * rowLength,
                      width);
        break;
    case 32:
        for (uint32_t y = 0; y < height; ++y) std::memcpy(dst + (height - 1 - y) * rowLength, src + y * pitch, rowLength);
        break;
    case 48:
        for (uint32_t y = 0; y < height; ++y) {
            const uint8_t* s = src + y * pitch;
            uint8_t* d = dst + y * rowLength;
            for (uint32_t x = 0; x < width; ++x) std::memcpy(d + 6 * x, s + 8 * x, 6);
        }
        break;
    case 64:
        if (rowLength == pitch)
            std::memcpy(dst, src, static_cast<size_t>(height) * rowLength);
        else
            for (uint32_t y = 0; y < height; ++y) std::memcpy(dst + y * rowLength, src + y * pitch, rowLength);
        break;
    }
}

void ImageBuffer::packYuy2(const void* source, uint32_t w, uint32_t h, uint32_t sourcePitch) {
    const auto* src = static_cast<const uint8_t*>(source);
    for (uint32_t y = 0; y < h; ++y) {
        const uint8_t* s = src + static_cast<size_t>(y) * sourcePitch;
        uint8_t* d = pixels.data() + static_cast<size_t>(y) * pitch;
        for (uint32_t x = 0; x < w; x += 2) {
            // An odd width has no second pixel in the last pair: it repeats the
            // last one rather than read past the row.
            const uint8_t* second = x + 1 < w ? s + 4 * (x + 1) : s + 4 * x;
            d[2 * x] = s[4 * x];
            d[2 * x + 1] = s[4 * x + 1];
            d[2 * x + 2] = second[0];
            d[2 * x + 3] = s[4 * x + 2];
        }
    }
}

std::unique_ptr<Platform::draw2d::Bitmap> ImageBuffer::createRenderTargetBitmap(Platform::draw2d::RenderTarget&,
                                                                                Platform::draw2d::AlphaMode alpha) const {
    std::unique_ptr<Platform::draw2d::Bitmap> bitmap;
    if (const auto hr = Platform::draw2d::Bitmap::create(width, height, data(), pitch, 28, alpha, bitmap);
        Platform::failed(hr))
        throw System::hresultException("target->CreateBitmap", "Media::ImageBuffer::createRenderTargetBitmap", hr);
    return bitmap;
}

}  // namespace Media
