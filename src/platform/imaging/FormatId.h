#pragma once
#include <cstdint>

// Container and pixel formats share one kind of identifier, as the imaging
// component's format identifiers do: an encoder answers a requested pixel
// format by writing the one it stores into the same variable.
namespace Platform::imaging {

enum class FormatId : uint32_t {
    Undefined = 0,
    ContainerPng,
    ContainerJpeg,
    ContainerBmp,
    ContainerGif,
    ContainerTiff,
    ContainerWebp,
    Gray8,    // 8bppGray
    Rgb24,    // 24bppRGB
    Bgr24,    // 24bppBGR
    Bgr32,    // 32bppBGR: the fourth byte is ignored on read and 255 on write
    Rgba32,   // 32bppRGBA, straight alpha
    Bgra32,   // 32bppBGRA, straight alpha
    Pbgra32,  // 32bppPBGRA, premultiplied alpha
};

// Bytes per pixel of a pixel format, 0 for a container or an unknown value.
uint32_t bytesPerPixel(FormatId format);

}  // namespace Platform::imaging
