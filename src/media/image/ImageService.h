#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "core/ServiceHolder.h"
#include "platform/imaging/FormatId.h"
#include "platform/imaging/PropertyBag.h"

namespace Platform::imaging {
class Factory;
}
namespace Platform::draw2d {
class Bitmap;
class RenderTarget;
}  // namespace Platform::draw2d

// Still images: files decoded into straight RGBA images for the still-image
// reader, and pixels encoded into PNG or JPEG files for the image writers.
// The factory holds no state, so every thread may use the service at once.
namespace Media {

class ImageBuffer;

class ImageService {
public:
    ImageService();
    ~ImageService();
    ImageService(const ImageService&) = delete;
    ImageService& operator=(const ImageService&) = delete;

    static ImageService* get() { return System::ServiceSlot<ImageService>::instance; }

    // Frame 0 as R8G8B8A8_UNORM with straight alpha and the default pitch.
    std::shared_ptr<ImageBuffer> loadFromFile(const std::wstring& path);

    // Writes one frame of width × height pixels, rows pitch bytes apart. The
    // container format variable is given to the encoder, which writes into it
    // the pixel format it stores. The option (name and value) may be absent;
    // one the encoder refuses is left out. A failure leaves no file behind and
    // any earlier file at the path as it was.
    void saveToFile(const std::wstring& path, const void* pixels, uint32_t width, uint32_t height, uint32_t pitch,
                    Platform::imaging::FormatId sourceFormat, Platform::imaging::FormatId& containerFormat,
                    const wchar_t* optionName, const Platform::imaging::Variant* optionValue);

    // The program's picture number id ("%AppInstall%/icons/<id>.png") as a
    // premultiplied bitmap for the target.
    std::unique_ptr<Platform::draw2d::Bitmap> loadFromResource(int32_t id, Platform::draw2d::RenderTarget* target);

    std::unique_ptr<Platform::imaging::Factory> factory;
};

}  // namespace Media
