#pragma once
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "plugin/ExportSource.h"

// One export: the output path, the frame range and its sample range, the
// progress the UI thread shows, the abort flag the writer polls between
// frames, and the requests through which the writer takes rendered frames
// and their sound. save() runs on the export worker.
namespace Plugin {

class OutputFile {
public:
    OutputFile(std::wstring path, bool notify, const ExportScene& scene, ExportSource* source);
    virtual ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // True when the file was written; failures throw.
    virtual bool save() = 0;

    // The frame (clamped into the scene) in the format, or empty when it could not be rendered.
    std::shared_ptr<Media::ImageBuffer> getVideo(int32_t frame, int32_t format, bool copy);
    // Whether the source packs 24-bit bitmap rows itself (getBgr24Bits), and
    // the frame (clamped into the scene) as those rows, or empty.
    bool sourcePacksBgr24Bits() const;
    std::shared_ptr<Media::FrameReadBack> getBgr24Bits(int32_t frame);
    // The samples of that one frame, or empty.
    std::shared_ptr<Media::RawAudioBuffer> getAudioBlock(int32_t frame, int32_t sampleFormat);
    // Fills out with count samples from the scene sample start, assembled
    // from the per-frame blocks; a frame whose block is missing adds silence.
    // Past the last frame out holds fewer samples than asked.
    void getAudio(Media::RawAudioBuffer& out, int64_t start, uint32_t count, int32_t sampleFormat);
    // The frames kept ahead; below 2 counts as 1.
    void setVideoBufferSize(int32_t frames);
    void setAudioBufferSize(int32_t frames);
    // The first scene sample of the frame: llround(audio rate × frame × scale ÷ rate).
    int64_t frameFirstSample(int64_t frame) const;

    const std::wstring outputPath;
    const bool notify;
    const ExportScene scene;
    int32_t startFrame = 0;
    int32_t frameCount = 0;
    int64_t audioStart = 0;
    int64_t audioCount = 0;
    int32_t lastFrame = 0;
    std::atomic<bool> abort{false};
    std::atomic<int32_t> framesDone{0};
    std::atomic<int32_t> framesTotal{0};
    uint64_t startTick = 0;
    int32_t videoLimit = 1;
    int32_t audioLimit = 1;

private:
    ExportSource* source_;
};

}  // namespace Plugin
