#include "plugin/host/PluginFormat.h"

#include "core/TextConvert.h"
#include "media/image/BitmapInfoHeader.h"
#include "media/image/PixelFormat.h"

namespace Plugin {

int32_t pluginVideoFormat(uint32_t compression, uint16_t bitCount) {
    namespace F = Media::PixelFormat;
    if (compression == 0) return bitCount == 24 ? F::kB8G8R8X8Unorm : bitCount == 32 ? F::kB8G8R8A8Unorm : 0;
    if (compression == Media::fourCC("YUY2")) return F::kYuy2;
    if (compression == Media::fourCC("PA64")) return F::kR16G16B16A16Unorm;
    if (compression == Media::fourCC("HF64")) return F::kR16G16B16A16Float;
    if (compression == Media::fourCC("YC48")) return F::kR16G16B16A16Snorm;
    return 0;
}

uint32_t pluginFrameSize(int32_t format, int32_t width, int32_t height) {
    namespace F = Media::PixelFormat;
    uint32_t bits = 0;
    switch (format) {
    case F::kB8G8R8X8Unorm: bits = 24; break;
    case F::kB8G8R8A8Unorm: bits = 32; break;
    case F::kYuy2: bits = 16; break;
    case F::kR16G16B16A16Unorm:
    case F::kR16G16B16A16Float: bits = 64; break;
    case F::kR16G16B16A16Snorm: bits = 48; break;
    default: return 0;
    }
    if (width <= 0 || height <= 0) return 0;
    const uint64_t row = (static_cast<uint64_t>(width) * bits + 31) / 32 * 4;
    const uint64_t size = row * static_cast<uint64_t>(height);
    return size > UINT32_MAX ? 0 : static_cast<uint32_t>(size);
}

int32_t pluginRequestFormat(uint32_t code) {
    namespace F = Media::PixelFormat;
    if (code == 0) return F::kB8G8R8X8Unorm;
    if (code == Media::fourCC("YUY2")) return F::kYuy2;
    if (code == Media::fourCC("PA64")) return F::kR16G16B16A16Unorm;
    if (code == Media::fourCC("HF64")) return F::kR16G16B16A16Float;
    if (code == Media::fourCC("YC48")) return F::kR16G16B16A16Snorm;
    return 0;
}

std::wstring pluginText(const char16_t* text) {
    if (text == nullptr) return {};
    return System::utf16ToWide(std::u16string_view(text));
}

std::wstring pluginFilter(const char16_t* filter) {
    std::wstring out;
    if (filter != nullptr) {
        const char16_t* p = filter;
        while (*p != u'\0') {
            const std::u16string_view part(p);
            out += System::utf16ToWide(part);
            out.push_back(L'\0');
            p += part.size() + 1;
        }
    }
    out.push_back(L'\0');
    return out;
}

}  // namespace Plugin
