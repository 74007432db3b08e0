#pragma once
#include "render/cache/MediaInput.h"

// The caches' door to media files: every read asks the input service for the
// open file of the kind it needs (opened once, kept in its open-file cache).
namespace Plugin {

class InputService;

class InputCacheSource : public Cache::MediaInput {
public:
    explicit InputCacheSource(InputService& service) : service_(service) {}
    bool getVideoTiming(const std::wstring& path, VideoTiming& timing) override;
    std::shared_ptr<Media::ImageBuffer> readVideo(const std::wstring& path, int32_t frame) override;
    int32_t getAudioSampleRate(const std::wstring& path) override;
    std::shared_ptr<Media::AudioBlockBuffer> readAudio(const std::wstring& path, int32_t block) override;

private:
    InputService& service_;
};

}  // namespace Plugin
