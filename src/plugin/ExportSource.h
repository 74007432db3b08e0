#pragma once
#include <cstdint>
#include <memory>

namespace Media {
class FrameReadBack;
class ImageBuffer;
class RawAudioBuffer;
}  // namespace Media

// Where an export job takes its material from: the rendered frame and the
// frame's sound, by scene frame number. The output service installs one that
// reads through its export caches. Empty means the render failed.
namespace Plugin {

class ExportSource {
public:
    virtual ~ExportSource() = default;
    // A CPU copy of the frame in the DXGI format.
    virtual std::shared_ptr<Media::ImageBuffer> renderVideo(int32_t frame, int32_t format, bool copy) = 0;
    // Whether renderBgr24Bits gives frames: a writer of 24-bit bitmaps then
    // writes the rows where they were read back instead of packing them itself.
    virtual bool packsBgr24Bits() const { return false; }
    // The frame as the bits of a 24-bit bitmap (bottom-up rows of blue, green,
    // red bytes, each padded to a multiple of 4 bytes): the bytes renderVideo's
    // B8G8R8X8 frame packs into. Empty means the render failed.
    virtual std::shared_ptr<Media::FrameReadBack> renderBgr24Bits(int32_t frame) {
        (void)frame;
        return nullptr;
    }
    // The frame's samples, 2 channels: 16-bit PCM for sample format 1, else 32-bit float.
    virtual std::shared_ptr<Media::RawAudioBuffer> renderAudio(int32_t frame, int32_t sampleFormat) = 0;
    // How many frames the video or audio side keeps ahead (at least 1).
    virtual void setBufferSize(bool video, int32_t frames) { (void)video, (void)frames; }
};

// The scene as an export sees it when the job is made.
struct ExportScene {
    int32_t width = 1920;
    int32_t height = 1080;
    uint32_t rate = 30;
    uint32_t scale = 1;
    int32_t audioRate = 48000;
    int32_t lastFrame = 0;
    int32_t cursorFrame = 0;
    int32_t selectionStart = -1;  // both ends >= 0: export only the selection
    int32_t selectionEnd = -1;
};

}  // namespace Plugin
