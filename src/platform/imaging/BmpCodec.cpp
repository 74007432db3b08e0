#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/imaging/Codec.h"
#include "platform/imaging/ImagingResult.h"

// Bitmap files (our own reader): the core and info headers with their later
// versions; 1, 4, 8, 16, 24 and 32 bits; plain rows, bit-field masks and
// run-length coded 4- and 8-bit rows.
namespace Platform::imaging::codec {
namespace {

uint32_t le16(const uint8_t* p) { return p[0] | p[1] << 8u; }
uint32_t le32(const uint8_t* p) { return p[0] | p[1] << 8u | p[2] << 16u | static_cast<uint32_t>(p[3]) << 24u; }

constexpr uint32_t kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3, kAlphaBitFields = 6;

struct Layout {
    uint32_t width = 0;
    uint32_t height = 0;
    bool topDown = false;
    uint32_t bits = 0;
    uint32_t compression = 0;
    uint64_t offset = 0;  // of the first row in the file
    uint64_t stride = 0;
    uint32_t masks[4] = {};
    const uint8_t* palette = nullptr;
    uint32_t paletteCount = 0;
    uint32_t paletteEntry = 4;
    bool alpha = false;
};

bool isRle(const Layout& l) { return l.compression == kRle8 || l.compression == kRle4; }

Result parse(const uint8_t* data, size_t size, Layout& l) {
    if (size < 14 + 12) return kBadHeader;
    const uint64_t offBits = le32(data + 10);
    const uint8_t* h = data + 14;
    const uint32_t headerSize = le32(h);
    if (headerSize < 12 || 14 + static_cast<uint64_t>(headerSize) > size) return kBadHeader;
    int64_t width = 0, height = 0;
    if (headerSize == 12) {
        width = le16(h + 4);
        height = static_cast<int16_t>(le16(h + 6));
        l.bits = le16(h + 10);
        l.paletteEntry = 3;
    } else {
        if (headerSize < 40) return kBadHeader;
        width = static_cast<int32_t>(le32(h + 4));
        height = static_cast<int32_t>(le32(h + 8));
        l.bits = le16(h + 14);
        l.compression = le32(h + 16);
        l.paletteCount = le32(h + 32);
    }
    if (width <= 0 || height == 0) return kBadHeader;
    l.topDown = height < 0;
    l.width = static_cast<uint32_t>(width);
    l.height = static_cast<uint32_t>(height < 0 ? -height : height);
    if (l.width > kMaxImageSize || l.height > kMaxImageSize) return kImageSizeOutOfRange;

    const uint8_t* afterHeader = h + headerSize;
    size_t afterSize = size - 14 - headerSize;
    if (l.compression == kBitFields || l.compression == kAlphaBitFields) {
        if (l.bits != 16 && l.bits != 32) return kBadHeader;
        const uint32_t count = l.compression == kAlphaBitFields ? 4 : 3;
        if (headerSize >= 40 + 4 * count) {
            for (uint32_t i = 0; i < count; ++i) l.masks[i] = le32(h + 40 + 4 * i);
        } else {
            if (afterSize < 4 * count) return kBadHeader;
            for (uint32_t i = 0; i < count; ++i) l.masks[i] = le32(afterHeader + 4 * i);
            afterHeader += 4 * count;
            afterSize -= 4 * count;
        }
        if (headerSize >= 56) l.masks[3] = le32(h + 52);
    } else if (l.compression == kRle8 || l.compression == kRle4) {
        if (l.bits != (l.compression == kRle8 ? 8u : 4u)) return kBadHeader;
    } else if (l.compression != kRgb) {
        return kUnsupportedPixelFormat;  // embedded JPEG and PNG, and the like
    } else if (l.bits == 16) {
        l.masks[0] = 0x7C00, l.masks[1] = 0x03E0, l.masks[2] = 0x001F;
    } else if (l.bits == 32) {
        l.masks[0] = 0x00FF0000, l.masks[1] = 0x0000FF00, l.masks[2] = 0x000000FF;
        // Only a header that names an alpha mask gives the fourth byte meaning.
        if (headerSize >= 56) l.masks[3] = le32(h + 52);
    }
    switch (l.bits) {
    case 1:
    case 4:
    case 8: {
        const uint32_t most = 1u << l.bits;
        if (l.paletteCount == 0 || l.paletteCount > most) l.paletteCount = most;
        // A palette shorter than claimed keeps what the file holds.
        const uint64_t fits = afterSize / l.paletteEntry;
        if (fits < l.paletteCount) l.paletteCount = static_cast<uint32_t>(fits);
        if (l.paletteCount == 0) return kBadHeader;
        l.palette = afterHeader;
        break;
    }
    case 16:
    case 24:
    case 32: break;
    default: return kUnsupportedPixelFormat;
    }
    l.alpha = l.masks[3] != 0;
    l.stride = (static_cast<uint64_t>(l.width) * l.bits + 31) / 32 * 4;
    l.offset = offBits != 0 ? offBits : static_cast<uint64_t>(afterHeader - data) + l.paletteCount * l.paletteEntry;
    if (l.offset > size) return kBadHeader;
    // Every row must be in the file: a short file fails instead of reading past
    // it. Run-length data is read up to the file's end, whatever it holds.
    if (!isRle(l) && l.stride * l.height > size - l.offset) return kBadHeader;
    return kOk;
}

// The value of a masked field scaled to 0..255. Fields of up to 8 bits
// repeat their bits downwards (5 bits abcde give abcdeabc), as 16-bit
// colours are commonly widened; wider or broken masks scale, rounded.
uint8_t field(uint32_t value, uint32_t mask) {
    if (mask == 0) return 0;
    uint32_t shift = 0;
    while (((mask >> shift) & 1u) == 0) ++shift;
    // 64-bit: a 32-bit field times 255 would wrap.
    const uint64_t top = mask >> shift;
    const uint64_t v = (value & mask) >> shift;
    if (top <= 255 && (top & (top + 1)) == 0) {
        int bits = 0;
        while ((top >> bits) != 0) ++bits;
        uint32_t out = 0;
        for (int at = 8 - bits; at > -bits; at -= bits)
            out |= at >= 0 ? static_cast<uint32_t>(v << at) : static_cast<uint32_t>(v >> -at);
        return static_cast<uint8_t>(out);
    }
    return static_cast<uint8_t>((v * 255u + top / 2) / top);
}

// Expands run-length rows into one palette index per pixel, rows in the
// file's order. Pixels the data skips (moves, rows ended early, the image
// ended early) keep index 0. Runs past a row's end are cut; moves past the
// image end it. Nothing is written outside the width × height indices.
void expandRle(const Layout& l, const uint8_t* p, const uint8_t* end, uint8_t* indices) {
    const bool four = l.compression == kRle4;
    uint64_t x = 0, y = 0;  // 64-bit: moves add up without wrapping
    auto put = [&](uint8_t index) {
        if (x < l.width) indices[y * l.width + x] = index;
        ++x;
    };
    while (y < l.height && end - p >= 2) {
        const uint32_t count = p[0], value = p[1];
        p += 2;
        if (count > 0) {  // a run of one index, or of two alternating ones
            for (uint32_t i = 0; i < count && x < l.width; ++i)
                put(static_cast<uint8_t>(!four ? value : i % 2 == 0 ? value >> 4 : value & 15));
            continue;
        }
        if (value == 0) {  // end of row
            x = 0, ++y;
        } else if (value == 1) {  // end of image
            break;
        } else if (value == 2) {  // move right and up
            if (end - p < 2) break;
            x += p[0], y += p[1];
            p += 2;
        } else {  // literal indices, padded to a 16-bit boundary
            const uint32_t bytes = four ? (value + 1) / 2 : value;
            const uint32_t padded = (bytes + 1) & ~1u;
            if (static_cast<size_t>(end - p) < bytes) break;
            for (uint32_t i = 0; i < value; ++i)
                put(static_cast<uint8_t>(!four ? p[i] : i % 2 == 0 ? p[i / 2] >> 4 : p[i / 2] & 15));
            p += std::min<size_t>(padded, static_cast<size_t>(end - p));
        }
    }
}

}  // namespace

Result readBmpHeader(const uint8_t* data, size_t size, ImageInfo& info) {
    Layout l;
    if (const Result r = parse(data, size, l); failed(r)) return r;
    info.width = l.width;
    info.height = l.height;
    info.format = l.alpha ? FormatId::Rgba32 : FormatId::Rgb24;
    return kOk;
}

Result decodeBmp(const uint8_t* data, size_t size, const ImageInfo& info, uint8_t* out) {
    Layout l;
    if (failed(parse(data, size, l)) || l.width != info.width || l.height != info.height) return kBadImage;
    const uint32_t channels = l.alpha ? 4 : 3;
    if (isRle(l)) {
        std::vector<uint8_t> indices(static_cast<size_t>(l.width) * l.height, 0);
        expandRle(l, data + l.offset, data + size, indices.data());
        for (uint32_t y = 0; y < l.height; ++y) {
            const uint8_t* src = indices.data() + static_cast<size_t>(l.width) * (l.topDown ? y : l.height - 1 - y);
            uint8_t* dst = out + static_cast<size_t>(y) * l.width * channels;
            for (uint32_t x = 0; x < l.width; ++x, dst += channels) {
                const uint8_t* e = src[x] < l.paletteCount ? l.palette + src[x] * l.paletteEntry : nullptr;
                dst[0] = e ? e[2] : 0, dst[1] = e ? e[1] : 0, dst[2] = e ? e[0] : 0;
            }
        }
        return kOk;
    }
    for (uint32_t y = 0; y < l.height; ++y) {
        const uint8_t* src = data + l.offset + l.stride * (l.topDown ? y : l.height - 1 - y);
        uint8_t* dst = out + static_cast<size_t>(y) * l.width * channels;
        for (uint32_t x = 0; x < l.width; ++x, dst += channels) {
            uint8_t r = 0, g = 0, b = 0, a = 255;
            if (l.bits <= 8) {
                const uint32_t bit = x * l.bits;
                const uint32_t index = (src[bit / 8] >> (8 - l.bits - bit % 8)) & ((1u << l.bits) - 1);
                if (index < l.paletteCount) {
                    const uint8_t* e = l.palette + index * l.paletteEntry;
                    b = e[0], g = e[1], r = e[2];
                }
            } else if (l.bits == 24) {
                b = src[x * 3], g = src[x * 3 + 1], r = src[x * 3 + 2];
            } else {
                const uint32_t v = l.bits == 16 ? le16(src + x * 2) : le32(src + x * 4);
                r = field(v, l.masks[0]), g = field(v, l.masks[1]), b = field(v, l.masks[2]);
                if (l.alpha) a = field(v, l.masks[3]);
            }
            dst[0] = r, dst[1] = g, dst[2] = b;
            if (l.alpha) dst[3] = a;
        }
    }
    return kOk;
}

}  // namespace Platform::imaging::codec
