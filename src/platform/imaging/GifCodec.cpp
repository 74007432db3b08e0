#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <vector>

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

// Where the first image sits: on the logical screen, grown to hold the image
// when the screen is smaller; the image alone when that screen would pass
// the largest edge.
struct Placement {
    uint32_t canvasWidth = 0, canvasHeight = 0;
    uint32_t left = 0, top = 0;
};

Result place(const GifFileType& file, Placement& p) {
    const GifImageDesc& d = file.Image;
    if (d.Width <= 0 || d.Height <= 0 || d.Left < 0 || d.Top < 0) return kBadHeader;
    const uint64_t right = static_cast<uint64_t>(d.Left) + static_cast<uint64_t>(d.Width);
    const uint64_t bottom = static_cast<uint64_t>(d.Top) + static_cast<uint64_t>(d.Height);
    const uint64_t width = std::max<uint64_t>(right, file.SWidth > 0 ? static_cast<uint64_t>(file.SWidth) : 0);
    const uint64_t height = std::max<uint64_t>(bottom, file.SHeight > 0 ? static_cast<uint64_t>(file.SHeight) : 0);
    if (width <= kMaxImageSize && height <= kMaxImageSize) {
        p = {static_cast<uint32_t>(width), static_cast<uint32_t>(height), static_cast<uint32_t>(d.Left),
             static_cast<uint32_t>(d.Top)};
    } else {
        p = {static_cast<uint32_t>(d.Width), static_cast<uint32_t>(d.Height), 0, 0};
    }
    return kOk;
}

}  // namespace

// The first image on its canvas; what it does not cover is transparent.
Result readGifHeader(const uint8_t* data, size_t size, ImageInfo& info) {
    Gif g;
    if (const Result r = openFirstImage(g, data, size); failed(r)) return r;
    Placement p;
    if (const Result r = place(*g.file, p); failed(r)) return r;
    info.width = p.canvasWidth;
    info.height = p.canvasHeight;
    info.format = FormatId::Rgba32;
    return kOk;
}

Result decodeGif(const uint8_t* data, size_t size, const ImageInfo& info, uint8_t* out) {
    Gif g;
    if (const Result r = openFirstImage(g, data, size); failed(r)) return kBadImage;
    Placement p;
    if (failed(place(*g.file, p)) || p.canvasWidth != info.width || p.canvasHeight != info.height) return kBadImage;
    const GifImageDesc& d = g.file->Image;
    const ColorMapObject* map = d.ColorMap ? d.ColorMap : g.file->SColorMap;
    if (map == nullptr || map->Colors == nullptr) return kBadImage;
    const size_t row = static_cast<size_t>(info.width) * 4;
    std::memset(out, 0, row * info.height);
    const uint32_t width = static_cast<uint32_t>(d.Width), height = static_cast<uint32_t>(d.Height);
    std::vector<GifPixelType> line(width);
    auto put = [&](uint32_t y) {
        uint8_t* p4 = out + row * (p.top + y) + static_cast<size_t>(p.left) * 4;
        for (uint32_t x = 0; x < width; ++x, p4 += 4) {
            const int index = line[x];
            if (index == g.transparent) {
                continue;  // the canvas stays clear
            } else if (index < map->ColorCount) {
                p4[0] = map->Colors[index].Red, p4[1] = map->Colors[index].Green, p4[2] = map->Colors[index].Blue;
                p4[3] = 255;
            } else {
                p4[0] = p4[1] = p4[2] = 0, p4[3] = 255;  // outside the colour table
            }
        }
    };
    if (d.Interlace) {
        static constexpr uint32_t kStart[] = {0, 4, 2, 1}, kStep[] = {8, 8, 4, 2};
        for (int pass = 0; pass < 4; ++pass)
            for (uint32_t y = kStart[pass]; y < height; y += kStep[pass]) {
                if (DGifGetLine(g.file, line.data(), d.Width) == GIF_ERROR) return kBadImage;
                put(y);
            }
    } else {
        for (uint32_t y = 0; y < height; ++y) {
            if (DGifGetLine(g.file, line.data(), d.Width) == GIF_ERROR) return kBadImage;
            put(y);
        }
    }
    return kOk;
}

}  // namespace Platform::imaging::codec
