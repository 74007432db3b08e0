#include "plugin/ImageFileReader.h"

#include "core/Exception.h"
#include "media/image/ImageBuffer.h"
#include "media/image/ImageService.h"

namespace Plugin {
namespace {

using namespace std::string_literals;

std::shared_ptr<Media::ImageBuffer> decode(const std::wstring& path) {
    Media::ImageService* images = Media::ImageService::get();
    if (images == nullptr) throw System::messageException("Plugin::ImageFileReader", "no image service.");
    return images->loadFromFile(path);
}

}  // namespace

ImageFileReader::ImageFileReader() {
    name = L"WIC image file reader";
    filter = L"PngFile (*.png)\0*.png\0JpegFile (*.jpg)\0*.jpg\0BmpFile (*.bmp)\0*.bmp\0GifFile (*.gif)\0*.gif\0\0"s;
    flags = kVideo | kImage;
}

std::shared_ptr<InputFile> ImageFileReader::open(const std::wstring& path) {
    const auto image = decode(path);
    if (!image) return nullptr;
    auto file = std::make_shared<InputImageFile>(path);
    file->info.flags = InputFile::kVideo;
    file->info.frameCount = 1;
    file->info.rate = 1;
    file->info.scale = 1;
    file->info.videoFormat = image->format;
    file->info.width = static_cast<int32_t>(image->width);
    file->info.height = static_cast<int32_t>(image->height);
    return file;
}

std::shared_ptr<Media::ImageBuffer> ImageFileReader::InputImageFile::readVideo(int32_t) { return decode(path_); }

}  // namespace Plugin
