#include <tiffio.h>

#include <cstring>

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
        file = TIFFClientOpenExt("memory", "rm", &reader, readProc, writeProc, seekProc, closeProc, sizeProc,
                                 mapProc, unmapProc, options);
        TIFFOpenOptionsFree(options);
        return file != nullptr;
    }
};

bool hasAlpha(TIFF* file) {
    uint16_t count = 0;
    uint16_t* kinds = nullptr;
    return TIFFGetField(file, TIFFTAG_EXTRASAMPLES, &count, &kinds) == 1 && count > 0;
}

}  // namespace

Result readTiffHeader(const uint8_t* data, size_t size, ImageInfo& info) {
    Tiff t;
    if (!t.open(data, size)) return kBadHeader;
    uint32_t width = 0, height = 0;
    if (TIFFGetField(t.file, TIFFTAG_IMAGEWIDTH, &width) != 1 || TIFFGetField(t.file, TIFFTAG_IMAGELENGTH, &height) != 1)
        return kBadHeader;
    char message[1024];
    if (!TIFFRGBAImageOK(t.file, message)) return kBadHeader;
    info.width = width;
    info.height = height;
    info.format = FormatId::Rgba32;
    return kOk;
}

Result decodeTiff(const uint8_t* data, size_t size, const ImageInfo& info, uint8_t* out) {
    Tiff t;
    if (!t.open(data, size)) return kBadImage;
    uint32_t width = 0, height = 0;
    if (TIFFGetField(t.file, TIFFTAG_IMAGEWIDTH, &width) != 1 || TIFFGetField(t.file, TIFFTAG_IMAGELENGTH, &height) != 1 ||
        width != info.width || height != info.height)
        return kBadImage;
    // Packed 32-bit values with red in the low byte: R, G, B, A in memory on
    // this little-endian target.
    if (TIFFReadRGBAImageOriented(t.file, width, height, reinterpret_cast<uint32_t*>(out), ORIENTATION_TOPLEFT, 1) != 1)
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
