#pragma once
#include <cstdint>
#include <memory>

namespace Media {
class ImageBuffer;
class AudioBlockBuffer;
}  // namespace Media

// An open media file of an input plug-in: frames as CPU images by number, and
// sound in one-second planar float blocks (block n holds the samples
// n × sampleRate to (n + 1) × sampleRate − 1, zero past the end).
namespace Plugin {

class InputPlugin;

class InputFile {
public:
    static constexpr int32_t kVideo = 1;
    static constexpr int32_t kAudio = 2;

    struct Info {
        int32_t flags = 0;  // 1 video, 2 audio
        int32_t frameCount = 0;
        int32_t videoFormat = 0;  // format code of the images readVideo returns
        int32_t width = 0;
        int32_t height = 0;
        uint32_t rate = 0;
        uint32_t scale = 0;
        int64_t audioSampleCount = 0;
        int32_t audioFormatTag = 0;  // 1 PCM, 3 float
        int32_t bitsPerSample = 0;
        int32_t channels = 0;
        int32_t sampleRate = 0;
    };

    InputFile() = default;
    virtual ~InputFile() = default;
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    // Empty when the frame cannot be read. The base throws "not implement.".
    virtual std::shared_ptr<Media::ImageBuffer> readVideo(int32_t frame);
    virtual std::shared_ptr<Media::AudioBlockBuffer> readAudio(int32_t block);

    InputPlugin* plugin = nullptr;  // set by the input service after the open
    Info info;
};

}  // namespace Plugin
