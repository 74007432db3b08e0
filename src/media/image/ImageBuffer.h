#pragma once
#include <cstdint>
#include <memory>

#include "core/AlignedBuffer.h"
#include "media/image/BitmapInfoHeader.h"
#include "platform/draw2d/Bitmap.h"

namespace Platform::draw2d {
class RenderTarget;
}

// The CPU-side image: rows of pixels in one DXGI format, each row 32-byte
// aligned. Decoders make it, uploads read it, read-backs produce it, and the
// DIB form carries it to plug-ins and the clipboard.
namespace Media {

class ImageBuffer {
public:
    ImageBuffer(int32_t format, uint32_t width, uint32_t height);
    static std::shared_ptr<ImageBuffer> make(int32_t format, uint32_t width, uint32_t height) {
        return std::make_shared<ImageBuffer>(format, width, height);
    }

    // A pitch of 0 takes the format's default pitch. The store only grows.
    void create(uint32_t width, uint32_t height, uint32_t pitch);

    // Width times the bytes per pixel, raised to a multiple of 32.
    static uint32_t getDefaultPitchSize(int32_t format, uint32_t width);
    // Fills the fields a DIB of the format needs; the others stay as given.
    static void getBitmapInfoHeader(int32_t format, uint32_t width, uint32_t height, BitmapInfoHeader& header);

    // From / to DIB memory described by the header. A header that does not fit
    // this image (bit count, format or size) zero-fills it / writes nothing.
    void copyFromBitmap(const BitmapInfoHeader& header, const void* bits);
    void copyToBitmap(const BitmapInfoHeader& header, void* bits) const;

    // Fills this YUY2 image from rows of 4-byte Y, U, V, x pixels.
    // A bitmap of the pixels taken as R8G8B8A8 (the frame images) with the
    // alpha mode, for drawing on the target; throws when it cannot be made.
    std::unique_ptr<Platform::draw2d::Bitmap> createRenderTargetBitmap(Platform::draw2d::RenderTarget& target,
                                                                       Platform::draw2d::AlphaMode alpha) const;

    void packYuy2(const void* source, uint32_t width, uint32_t height, uint32_t sourcePitch);

    uint8_t* data() const { return pixels.data(); }
    uint32_t usedSize() const { return pitch * height; }

    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t pitch = 0;
    int32_t format = 0;
    System::AlignedBuffer pixels;
};

}  // namespace Media
