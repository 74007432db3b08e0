#include "plugin/InputCacheSource.h"

#include "media/audio/AudioBlockBuffer.h"
#include "media/image/ImageBuffer.h"
#include "plugin/InputFile.h"
#include "plugin/InputService.h"

namespace Plugin {

bool InputCacheSource::getVideoTiming(const std::wstring& path, VideoTiming& timing) {
    const auto file = service_.getInputFile(path, InputFile::kVideo);
    if (!file) return false;
    timing.frameCount = file->info.frameCount;
    timing.rate = file->info.rate;
    timing.scale = file->info.scale;
    return true;
}

std::shared_ptr<Media::ImageBuffer> InputCacheSource::readVideo(const std::wstring& path, int32_t frame) {
    const auto file = service_.getInputFile(path, InputFile::kVideo);
    return file ? file->readVideo(frame) : nullptr;
}

int32_t InputCacheSource::getAudioSampleRate(const std::wstring& path) {
    const auto file = service_.getInputFile(path, InputFile::kAudio);
    return file ? file->info.sampleRate : 0;
}

std::shared_ptr<Media::AudioBlockBuffer> InputCacheSource::readAudio(const std::wstring& path, int32_t block) {
    const auto file = service_.getInputFile(path, InputFile::kAudio);
    return file ? file->readAudio(block) : nullptr;
}

}  // namespace Plugin
