#pragma once
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "core/AlignedBuffer.h"
#include "core/File.h"
#include "media/audio/RawAudioBuffer.h"
#include "media/image/BitmapInfoHeader.h"
#include "platform/codecs/AudioCodec.h"
#include "plugin/InputFile.h"

namespace Media {
class AudioDecompressor;
class VideoDecompressor;
}  // namespace Media

// An open AVI file, OpenDML files beyond 4 GB included: one in-memory index
// per stream built from idx1, from the OpenDML indexes or by walking the movi
// list, then frames (raw, or through a video decompressor) and one-second
// audio blocks (raw PCM or float, or decoded to 16-bit PCM). Every size the
// file states is checked against the chunk or file that holds it: a file that
// would make the reader go past its data is refused with a log line.
namespace Plugin {

class AviFileInput : public InputFile {
public:
    struct VideoIndexEntry {
        int64_t position = 0;  // of the frame's data
        uint32_t size = 0;
        uint8_t notKey = 0;
    };
    struct AudioIndexEntry {
        int64_t streamOffset = 0;  // the sizes of all earlier chunks
        int64_t position = 0;
        uint32_t size = 0;
    };
    enum class IndexKind { kNone, kIdx1, kOpenDml, kMoviScan };

    class FileParse;

    AviFileInput();
    ~AviFileInput() override;

    bool open(const std::wstring& path);
    std::shared_ptr<Media::ImageBuffer> readVideo(int32_t frame) override;
    std::shared_ptr<Media::AudioBlockBuffer> readAudio(int32_t block) override;

    // Equal up to the case of letters; "DIB " (also with a leading zero byte) counts as 0.
    static bool compareFourcc(uint32_t a, uint32_t b);

    const std::vector<VideoIndexEntry>& videoIndex() const { return videoIndex_; }
    const std::vector<AudioIndexEntry>& audioIndex() const { return audioIndex_; }
    IndexKind indexKind() const { return indexKind_; }
    // Frames read from the file by the last readVideo (decoding goes back to a key frame).
    int32_t lastDecodeCount() const { return lastDecodeCount_; }

private:
    bool setupVideoDecoder();
    bool setupAudio();

    System::File videoFile_;
    System::File audioFile_;
    int64_t fileSize_ = 0;
    std::vector<VideoIndexEntry> videoIndex_;
    std::vector<AudioIndexEntry> audioIndex_;
    IndexKind indexKind_ = IndexKind::kNone;
    std::vector<uint32_t> videoFormatBuffer_;  // the strf bytes, 4-byte aligned for the header
    uint32_t videoFormatSize_ = 0;             // of them in the file
    Media::BitmapInfoHeader outputHeader_{};
    std::unique_ptr<Media::VideoDecompressor> videoDecoder_;
    Platform::codecs::WaveFormat audioSource_;
    bool audioFormatRead_ = false;
    std::unique_ptr<Media::AudioDecompressor> audioDecoder_;
    uint16_t videoId_ = 0;  // the first two characters of the stream's chunk ids
    uint16_t audioId_ = 0;
    uint32_t videoHandler_ = 0;
    bool topDown_ = false;  // raw rows stored from the top
    bool refused_ = false;
    uint32_t audioBlockAlign_ = 0;
    int64_t derivedSampleCount_ = 0;
    uint32_t audioRate_ = 0;
    uint32_t audioScale_ = 0;
    int32_t lastFrame_ = -256;
    uint32_t currentAudioEntry_ = 0;
    int32_t lastBlock_ = -256;
    int32_t lastDecodeCount_ = 0;
    // Used when no cache service lends its scratch buffers.
    std::mutex videoMutex_;
    System::AlignedBuffer videoBuffer_;
    std::mutex audioMutex_;
    Media::RawAudioBuffer audioBlock_;
    std::vector<uint8_t> audioSourceBytes_;
};

}  // namespace Plugin
