#include <tiffio.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

#include "platform/imaging/Codec.h"
#include "platform/imaging/ImagingResult.h"

namespace Platform::imaging::codec {
namespace {

struct Reader {
    const uint8_t* data;
    size_t size;
    toff_t at;
};

tsize_t readProc(thandle_t h, tdata_t out, tsize_t length) {
    auto* r = static_cast<Reader*>(h);
    if (length <= 0 || r->at >= r->size) return 0;
    const size_t n = std::min(static_cast<size_t>(length), static_cast<size_t>(r->size - r->at));
    std::memcpy(out, r->data + r->at, n);
    r->at += n;
    return static_cast<tsize_t>(n);
}
tsize_t writeProc(thandle_t, tdata_t, tsize_t) { return 0; }
toff_t seekProc(thandle_t h, toff_t offset, int whence) {
    auto* r = static_cast<Reader*>(h);
    toff_t base = whence == SEEK_CUR ? r->at : whence == SEEK_END ? r->size : 0;
    r->at = base + offset;
    return r->at;
}
int closeProc(thandle_t) { return 0; }
toff_t sizeProc(thandle_t h) { return static_cast<Reader*>(h)->size; }
int mapProc(thandle_t, tdata_t*, toff_t*) { return 0; }
void unmapProc(thandle_t, tdata_t, toff_t) {}
int quietHandler(TIFF*, void*, const char*, const char*, va_list) { return 1; }

// No single allocation of the library may pass this (strips, tables).
constexpr tmsize_t kMaxSingleAlloc = tmsize_t{1} << 30;

struct Tiff {
    Reader reader;
    TIFF* file = nullptr;
    ~Tiff() {
        if (file) TIFFClose(file);
    }
    bool open(const uint8_t* data, size_t size) {
        reader = {data, size, 0};
        TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
        if (options == nullptr) return false;
        TIFFOpenOptionsSetMaxSingleMemAlloc(options, kMaxSingleAlloc);
        TIFFOpenOptionsSetErrorHandlerExtR(options, quietHandler, nullptr);
        TIFFOpenOptionsSetWarningHandlerExtR(options, quietHandler, nullptr);
        file = TIFFClientOpenExt("memory", "rm", &reader, readProc, writeProc, seekProc, closeProc, sizeProc, mapProc,
                                 unmapProc, options);
        TIFFOpenOptionsFree(options);
        return file != nullptr;
    }
};

bool hasAlpha(TIFF* file) {
    uint16_t count = 0;
    uint16_t* kinds = nullptr;
    return TIFFGetField(file, TIFFTAG_EXTRASAMPLES, &count, &kinds) == 1 && count > 0;
}

uint8_t orientationOf(TIFF* file) {
    uint16_t value = ORIENTATION_TOPLEFT;
    TIFFGetFieldDefaulted(file, TIFFTAG_ORIENTATION, &value);
    return value >= 1 && value <= 8 ? static_cast<uint8_t>(value) : 1;
}

// Grey or RGB samples of 8 or 16 bits followed by straight (unassociated)
// alpha: read sample by sample, so colour keeps its precision where alpha
// is low. Everything else goes through the library's RGBA reader.
struct Direct {
    uint32_t colours = 0;  // 1 grey or 3 RGB; alpha is the sample after them
    uint32_t samples = 0;  // per pixel, extra ones included
    uint32_t bytes = 0;    // per sample
    bool planar = false;   // one plane per sample
};

bool directLayout(TIFF* file, Direct& d) {
    uint16_t bits = 0, samples = 0, photometric = 0, format = SAMPLEFORMAT_UINT, planar = PLANARCONFIG_CONTIG;
    uint16_t count = 0;
    uint16_t* kinds = nullptr;
    if (TIFFGetField(file, TIFFTAG_EXTRASAMPLES, &count, &kinds) != 1 || count == 0 ||
        kinds[0] != EXTRASAMPLE_UNASSALPHA)
        return false;
    TIFFGetFieldDefaulted(file, TIFFTAG_BITSPERSAMPLE, &bits);
    TIFFGetFieldDefaulted(file, TIFFTAG_SAMPLESPERPIXEL, &samples);
    TIFFGetFieldDefaulted(file, TIFFTAG_SAMPLEFORMAT, &format);
    TIFFGetFieldDefaulted(file, TIFFTAG_PLANARCONFIG, &planar);
    if (TIFFGetField(file, TIFFTAG_PHOTOMETRIC, &photometric) != 1) return false;
    if ((bits != 8 && bits != 16) || format != SAMPLEFORMAT_UINT) return false;
    if (photometric == PHOTOMETRIC_RGB)
        d.colours = 3;
    else if (photometric == PHOTOMETRIC_MINISBLACK)
        d.colours = 1;
    else
        return false;
    if (samples < d.colours + 1 || static_cast<uint32_t>(samples) - count != d.colours) return false;
    d.samples = samples;
    d.bytes = bits / 8;
    d.planar = planar == PLANARCONFIG_SEPARATE;
    return true;
}

// One decoded block (a strip or a tile) of one plane into the RGBA image:
// columns x0.., rows y0.., blockWidth pixels per block row.
void putBlock(const Direct& d, const uint8_t* block, uint32_t blockWidth, uint32_t plane, uint32_t x0, uint32_t y0,
              uint32_t columns, uint32_t rows, uint32_t imageWidth, uint8_t* out) {
    const uint32_t perPixel = d.planar ? 1 : d.samples;
    auto sample = [&](const uint8_t* at) -> uint8_t {
        if (d.bytes == 1) return at[0];
        uint16_t v;
        std::memcpy(&v, at, 2);  // the library gives 16-bit samples in host order
        return static_cast<uint8_t>((v * 255u + 32767u) / 65535u);
    };
    for (uint32_t y = 0; y < rows; ++y) {
        const uint8_t* src = block + static_cast<size_t>(y) * blockWidth * perPixel * d.bytes;
        uint8_t* dst = out + (static_cast<size_t>(y0 + y) * imageWidth + x0) * 4;
        for (uint32_t x = 0; x < columns; ++x, dst += 4, src += perPixel * d.bytes) {
            if (!d.planar) {
                for (uint32_t c = 0; c < d.colours; ++c) dst[c] = sample(src + c * d.bytes);
                if (d.colours == 1) dst[1] = dst[2] = dst[0];
                dst[3] = sample(src + d.colours * d.bytes);
            } else if (plane < d.colours) {
                dst[plane] = sample(src);
                if (d.colours == 1) dst[1] = dst[2] = dst[0];
            } else {
                dst[3] = sample(src);
            }
        }
    }
}

Result readDirect(TIFF* file, const Direct& d, uint32_t width, uint32_t height, uint8_t* out) {
    const uint32_t planes = d.planar ? d.colours + 1 : 1;  // further extra samples are not read
    const uint32_t perPixel = d.planar ? 1 : d.samples;
    const bool tiled = TIFFIsTiled(file) != 0;
    uint32_t blockWidth = width, blockHeight = 0;
    if (tiled) {
        if (TIFFGetField(file, TIFFTAG_TILEWIDTH, &blockWidth) != 1 ||
            TIFFGetField(file, TIFFTAG_TILELENGTH, &blockHeight) != 1 || blockWidth == 0 || blockHeight == 0)
            return kBadImage;
    } else {
        TIFFGetFieldDefaulted(file, TIFFTAG_ROWSPERSTRIP, &blockHeight);
        if (blockHeight == 0 || blockHeight > height) blockHeight = height;
    }
    // The block size as these fields give it, checked against the library's.
    const uint64_t need = static_cast<uint64_t>(blockWidth) * blockHeight * perPixel * d.bytes;
    const uint64_t given = tiled ? TIFFTileSize64(file) : TIFFStripSize64(file);
    if (need == 0 || need > static_cast<uint64_t>(kMaxSingleAlloc) || given < need) return kBadImage;
    std::unique_ptr<uint8_t[]> block(new (std::nothrow) uint8_t[given]);
    if (!block) return kOutOfMemory;
    for (uint32_t plane = 0; plane < planes; ++plane)
        for (uint32_t y = 0; y < height; y += blockHeight)
            for (uint32_t x = 0; x < width; x += blockWidth) {
                const uint32_t rows = std::min(blockHeight, height - y), columns = std::min(blockWidth, width - x);
                const tmsize_t read =
                    tiled ? TIFFReadEncodedTile(file, TIFFComputeTile(file, x, y, 0, static_cast<uint16_t>(plane)),
                                                block.get(), static_cast<tmsize_t>(given))
                          : TIFFReadEncodedStrip(file, TIFFComputeStrip(file, y, static_cast<uint16_t>(plane)),
                                                 block.get(), static_cast<tmsize_t>(given));
                // A strip at the foot of the image holds only the rows left.
                const uint64_t used =
                    static_cast<uint64_t>(blockWidth) * (tiled ? blockHeight : rows) * perPixel * d.bytes;
                if (read < 0 || static_cast<uint64_t>(read) < used) return kBadImage;
                putBlock(d, block.get(), blockWidth, plane, x, y, columns, rows, width, out);
                if (!tiled) break;  // a strip spans the width
            }
    return kOk;
}

}  // namespace

Result readTiffHeader(const uint8_t* data, size_t size, ImageInfo& info) {
    Tiff t;
    if (!t.open(data, size)) return kBadHeader;
    uint32_t width = 0, height = 0;
    if (TIFFGetField(t.file, TIFFTAG_IMAGEWIDTH, &width) != 1 ||
        TIFFGetField(t.file, TIFFTAG_IMAGELENGTH, &height) != 1)
        return kBadHeader;
    char message[1024];
    if (!TIFFRGBAImageOK(t.file, message)) return kBadHeader;
    info.width = width;
    info.height = height;
    info.format = FormatId::Rgba32;
    info.orientation = orientationOf(t.file);
    return kOk;
}

// The pixels in the order the file stores them; the frame turns them.
Result decodeTiff(const uint8_t* data, size_t size, const ImageInfo& info, uint8_t* out) {
    Tiff t;
    if (!t.open(data, size)) return kBadImage;
    uint32_t width = 0, height = 0;
    if (TIFFGetField(t.file, TIFFTAG_IMAGEWIDTH, &width) != 1 ||
        TIFFGetField(t.file, TIFFTAG_IMAGELENGTH, &height) != 1 || width != info.width || height != info.height)
        return kBadImage;
    Direct direct;
    if (directLayout(t.file, direct)) return readDirect(t.file, direct, width, height, out);
    // Packed 32-bit values with red in the low byte: R, G, B, A in memory on
    // this little-endian target. Asking for the file's own orientation keeps
    // the stored order.
    if (TIFFReadRGBAImageOriented(t.file, width, height, reinterpret_cast<uint32_t*>(out), orientationOf(t.file), 1) !=
        1)
        return kBadImage;
    // The library hands alpha images over premultiplied; the frame is straight.
    if (hasAlpha(t.file)) {
        const size_t count = static_cast<size_t>(width) * height;
        for (size_t i = 0; i < count; ++i) {
            uint8_t* p = out + i * 4;
            const uint32_t a = p[3];
            if (a == 0 || a == 255) continue;
            for (int c = 0; c < 3; ++c) p[c] = static_cast<uint8_t>(std::min<uint32_t>(255, (p[c] * 255u + a / 2) / a));
        }
    }
    return kOk;
}

}  // namespace Platform::imaging::codec
