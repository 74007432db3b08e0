#pragma once
#include <cstdint>
#include <memory>
#include <string>

namespace Media {
class ImageBuffer;
class AudioBlockBuffer;
}  // namespace Media

// How the caches reach media files: the input service installs it at start-up.
// Every call opens the file (or finds it open) for the kind of media it needs;
// a file that does not open answers false, 0 or empty and never throws.
namespace Cache {

class MediaInput {
public:
    struct VideoTiming {
        int32_t frameCount = 0;
        uint32_t rate = 0;
        uint32_t scale = 0;
    };

    virtual ~MediaInput() = default;
    virtual bool getVideoTiming(const std::wstring& path, VideoTiming& timing) = 0;
    virtual std::shared_ptr<Media::ImageBuffer> readVideo(const std::wstring& path, int32_t frame) = 0;
    // Samples per second of the file's audio, 0 when it has none.
    virtual int32_t getAudioSampleRate(const std::wstring& path) = 0;
    virtual std::shared_ptr<Media::AudioBlockBuffer> readAudio(const std::wstring& path, int32_t block) = 0;
};

}  // namespace Cache
