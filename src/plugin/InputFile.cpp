#include "plugin/InputFile.h"

#include "core/Exception.h"

namespace Plugin {

std::shared_ptr<Media::ImageBuffer> InputFile::readVideo(int32_t) {
    throw System::notImplementException("Plugin::InputFile::readVideo");
}

std::shared_ptr<Media::AudioBlockBuffer> InputFile::readAudio(int32_t) {
    throw System::notImplementException("Plugin::InputFile::readAudio");
}

}  // namespace Plugin
