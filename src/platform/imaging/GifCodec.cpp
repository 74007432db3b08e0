#include <gif_lib.h>

#include <cstring>

#include "platform/imaging/Codec.h"
#include "platform/imaging/ImagingResult.h"

namespace Platform::imaging::codec {
namespace {

struct Reader {
    const uint8_t* data;
    size_t size;
    size_t at;
};

int readData(GifFileType* gif, GifByteType* out, int length) {
    auto* r = static_cast<Reader*>(gif->UserData);
    const size_t n = std::min(static_cast<size_t>(length < 0 ? 0 : length), r->size - r->at);
    std::memcpy(out, r->data + r->at, n);
    r->at += n;
    return static_cast<int>(n);
}

struct Gif {
    GifFileType* file = nullptr;
    Reader reader;
    int transparent = -1;
    ~Gif() {
        int error = 0;
        if (file) DGifCloseFile(file, &error);
    }
};

// Opens the file and reads up to the first image's descriptor, keeping the
// transparent index of the control extension before it.
Result openFirstImage(Gif& g, const uint8_t* data, size_t size) {
    g.reader = {data, size, 0};
    int error = 0;
    g.file = DGifOpen(&g.reader, readData, &error);
    if (g.file == nullptr) return error == D_GIF_ERR_NOT_ENOUGH_MEM ? kOutOfMemory : kBadHeader;
    for (;;) {
        GifRecordType type;
        if (DGifGetRecordType(g.file, &type) == GIF_ERROR) return kBadHeader;
        if (type == IMAGE_DESC_RECORD_TYPE) {
            if (DGifGetImageDesc(g.file) == GIF_ERROR) return kBadHeader;
            return kOk;
        }
        if (type == TERMINATE_RECORD_TYPE) return kFrameMissing;
        if (type != EXTENSION_RECORD_TYPE) return kBadHeader;
        int code = 0;
        GifByteType* block = nullptr;
        if (DGifGetExtension(g.file, &code, &block) == GIF_ERROR) return kBadHeader;
        while (block != nullptr) {
            if (code == GRAPHICS_EXT_FUNC_CODE && block[0] >= 4) g.transparent = (block[1] & 1) ? block[4] : -1;
            if (DGifGetExtensionNext(g.file, &block) == GIF_ERROR) return kBadHeader;
            code = 0;  // only the first block of an extension carries its fields
        }
    }
}

}  // namespace

Result readGifHeader(const uint8_t* data, size_t size, ImageInfo& info) {
    Gif g;
    if (const Result r = openFirstImage(g, data, size); failed(r)) return r;
    const GifImageDesc& d = g.file->Image;
    if (d.Width <= 0 || d.Height <= 0) return kBadHeader;
    info.width = static_cast<uint32_t>(d.Width);
    info.height = static_cast<uint32_t>(d.Height);
    info.format = FormatId::Rgba32;
    return kOk;
}

Result decodeGif(const uint8_t* data, size_t size, const ImageInfo& info, uint8_t* out) {
    Gif g;
    if (const Result r = openFirstImage(g, data, size); failed(r)) return kBadImage;
    const GifImageDesc& d = g.file->Image;
    if (static_cast<uint32_t>(d.Width) != info.width || static_cast<uint32_t>(d.Height) != info.height)
        return kBadImage;
    const ColorMapObject* map = d.ColorMap ? d.ColorMap : g.file->SColorMap;
    if (map == nullptr || map->Colors == nullptr) return kBadImage;
    std::vector<GifPixelType> line(info.width);
    const size_t row = static_cast<size_t>(info.width) * 4;
    auto put = [&](uint32_t y) {
        uint8_t* p = out + row * y;
        for (uint32_t x = 0; x < info.width; ++x, p += 4) {
            const int index = line[x];
            if (index == g.transparent) {
                p[0] = p[1] = p[2] = p[3] = 0;
            } else if (index < map->ColorCount) {
                p[0] = map->Colors[index].Red, p[1] = map->Colors[index].Green, p[2] = map->Colors[index].Blue;
                p[3] = 255;
            } else {
                p[0] = p[1] = p[2] = 0, p[3] = 255;  // outside the colour table
            }
        }
    };
    if (d.Interlace) {
        static constexpr uint32_t kStart[] = {0, 4, 2, 1}, kStep[] = {8, 8, 4, 2};
        for (int pass = 0; pass < 4; ++pass)
            for (uint32_t y = kStart[pass]; y < info.height; y += kStep[pass]) {
                if (DGifGetLine(g.file, line.data(), d.Width) == GIF_ERROR) return kBadImage;
                put(y);
            }
    } else {
        for (uint32_t y = 0; y < info.height; ++y) {
            if (DGifGetLine(g.file, line.data(), d.Width) == GIF_ERROR) return kBadImage;
            put(y);
        }
    }
    return kOk;
}

}  // namespace Platform::imaging::codec
