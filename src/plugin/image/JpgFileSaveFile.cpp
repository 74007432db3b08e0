#include "plugin/image/JpgFileSaveFile.h"

#include "media/image/ImageBuffer.h"
#include "media/image/ImageService.h"
#include "media/image/PixelFormat.h"

namespace Plugin {

JpgFileSaveFile::JpgFileSaveFile(std::wstring path, const ExportScene& scene, ExportSource* source,
                                 int32_t quality)
    : OutputFile(std::move(path), false, scene, source), quality(quality) {}

bool JpgFileSaveFile::save() {
    namespace I = Platform::imaging;
    const auto image = getVideo(scene.cursorFrame, Media::PixelFormat::kB8G8R8X8Unorm, false);
    if (!image) return false;
    I::FormatId container = I::FormatId::ContainerJpeg;
    I::Variant value;
    value.type = I::Variant::Type::Float;
    value.floatValue = static_cast<float>(quality) / 100.0f;
    Media::ImageService::get()->saveToFile(outputPath, image->data(), image->width, image->height, image->pitch,
                                           I::FormatId::Bgr32, container, L"ImageQuality", &value);
    return true;
}

}  // namespace Plugin
