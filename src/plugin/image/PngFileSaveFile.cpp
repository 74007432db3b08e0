#include "plugin/image/PngFileSaveFile.h"

#include "media/image/ImageBuffer.h"
#include "media/image/ImageService.h"
#include "media/image/PixelFormat.h"

namespace Plugin {

PngFileSaveFile::PngFileSaveFile(std::wstring path, const ExportScene& scene, ExportSource* source,
                                 bool transparent)
    : OutputFile(std::move(path), false, scene, source), transparent(transparent) {}

bool PngFileSaveFile::save() {
    namespace I = Platform::imaging;
    const auto image = getVideo(scene.cursorFrame, transparent ? Media::PixelFormat::kB8G8R8A8Unorm : Media::PixelFormat::kB8G8R8X8Unorm, false);
    if (!image) return false;
    I::FormatId container = I::FormatId::ContainerPng;
    Media::ImageService::get()->saveToFile(outputPath, image->data(), image->width, image->height, image->pitch,
                                           transparent ? I::FormatId::Pbgra32 : I::FormatId::Bgr32, container,
                                           nullptr, nullptr);
    return true;
}

}  // namespace Plugin
