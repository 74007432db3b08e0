#pragma once
#include <cstdint>
#include <memory>
#include <string>

namespace Platform::mediareader {
class SourceReader;
struct Sample;
}  // namespace Platform::mediareader

// Decodes one stream of a media file: the first video stream as YUY2 or BGRX
// frames by index, or the first audio stream as one-second planar float
// blocks. Sequential requests read on; backward requests and jumps seek.
namespace Media {

class ImageBuffer;
class AudioBlockBuffer;

class MediaSourceReader {
public:
    struct VideoInfo {
        int32_t frameCount = 0;
        int32_t pixelFormat = 0;
        uint32_t width = 0;
        uint32_t height = 0;
        uint32_t pitch = 0;
        uint32_t frameRateNumerator = 0;
        uint32_t frameRateDenominator = 0;
        int32_t bytesPerPixel = 0;
    };
    struct AudioInfo {
        int64_t totalSampleFrames = 0;
        int32_t formatTag = 0;
        uint32_t bitsPerSample = 0;
        uint32_t channels = 0;
        uint32_t sampleRate = 0;
        uint32_t blockAlign = 0;
    };

    MediaSourceReader();
    ~MediaSourceReader();
    MediaSourceReader(const MediaSourceReader&) = delete;
    MediaSourceReader& operator=(const MediaSourceReader&) = delete;

    bool open(const std::wstring& path);
    bool selectVideoStream();
    bool selectAudioStream();
    std::shared_ptr<ImageBuffer> readVideo(int32_t frame);
    std::shared_ptr<AudioBlockBuffer> readAudio(int32_t second);

    std::wstring path;
    bool hasVideo = false;
    bool hasAudio = false;
    VideoInfo videoInfo;
    AudioInfo audioInfo;
    std::unique_ptr<Platform::mediareader::SourceReader> reader;
    int64_t duration = 0;
    uint32_t stream = 0;
    std::shared_ptr<Platform::mediareader::Sample> currentSample;
    int64_t sampleTime = 0;
    int64_t sampleDuration = 0;
    int64_t lastRequest = 0;
    int64_t sampleStart = 0;
    int32_t sampleFrames = 0;
    bool videoEnded = false;  // the last video read met the end of the stream

private:
    void setVideoDecode();
    void enableVideoProcessing();
    void setAudioDecode();
    void getVideoInfo();
    void getAudioInfo();
    bool needsSeek(int64_t t) const;
    void seekVideoPosition(int64_t t);
    void seekAudioPosition(int64_t t);
    void getVideoSample(int64_t t);
    int64_t frameTicks() const;  // one frame at the stream's rate, in 100 ns
    void getAudioSample(int64_t p);
};

}  // namespace Media
