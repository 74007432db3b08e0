#include "plugin/OutputFile.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "media/audio/RawAudioBuffer.h"
#include "media/image/ImageBuffer.h"

namespace Plugin {

OutputFile::OutputFile(std::wstring path, bool notify, const ExportScene& scene, ExportSource* source)
    : outputPath(std::move(path)), notify(notify), scene(scene), lastFrame(scene.lastFrame), source_(source) {
    if (scene.selectionStart >= 0 && scene.selectionEnd >= 0) {
        startFrame = std::min(scene.selectionStart, lastFrame);
        frameCount = std::max(0, std::min(scene.selectionEnd, lastFrame) - startFrame + 1);
    } else {
        startFrame = 0;
        frameCount = lastFrame + 1;
    }
    audioStart = frameFirstSample(startFrame);
    audioCount = frameFirstSample(frameCount);
}

OutputFile::~OutputFile() = default;

int64_t OutputFile::frameFirstSample(int64_t frame) const {
    if (scene.rate == 0) return 0;
    return std::llround(static_cast<double>(scene.audioRate) * static_cast<double>(frame) * scene.scale / scene.rate);
}

std::shared_ptr<Media::ImageBuffer> OutputFile::getVideo(int32_t frame, int32_t format, bool copy) {
    if (!source_) return nullptr;
    return source_->renderVideo(std::clamp(frame, 0, std::max(lastFrame, 0)), format, copy);
}

bool OutputFile::sourcePacksBgr24Bits() const { return source_ && source_->packsBgr24Bits(); }

std::shared_ptr<Media::FrameReadBack> OutputFile::getBgr24Bits(int32_t frame) {
    if (!source_) return nullptr;
    return source_->renderBgr24Bits(std::clamp(frame, 0, std::max(lastFrame, 0)));
}

std::shared_ptr<Media::RawAudioBuffer> OutputFile::getAudioBlock(int32_t frame, int32_t sampleFormat) {
    if (!source_) return nullptr;
    return source_->renderAudio(std::clamp(frame, 0, std::max(lastFrame, 0)), sampleFormat);
}

void OutputFile::getAudio(Media::RawAudioBuffer& out, int64_t start, uint32_t count, int32_t sampleFormat) {
    const bool pcm = sampleFormat == Media::RawAudioBuffer::kFormatPcm;
    out.formatTag = pcm ? Media::RawAudioBuffer::kFormatPcm : Media::RawAudioBuffer::kFormatIeeeFloat;
    out.channels = 2;
    out.bitsPerSample = pcm ? 16 : 32;
    out.blockAlign = pcm ? 4 : 8;
    const uint32_t bytes = count * static_cast<uint32_t>(out.blockAlign);
    out.data.allocMemory((bytes + 31u) & ~31u);
    uint8_t* const target = out.data.data();
    if (scene.rate == 0 || scene.scale == 0 || scene.audioRate <= 0 || start < 0) {
        out.sampleCount = 0;
        out.data.allocMemory(0);
        return;
    }

    int64_t frame = start * scene.rate / (static_cast<int64_t>(scene.scale) * scene.audioRate);
    uint32_t placed = 0;
    while (placed < count && frame <= lastFrame) {
        const int64_t first = frameFirstSample(frame);
        const int64_t next = frameFirstSample(frame + 1);
        const int64_t offset = static_cast<int64_t>(placed) + start - first;
        const int64_t blockCount = next - first;
        if (offset >= 0 && offset < blockCount) {
            const uint32_t take =
                static_cast<uint32_t>(std::min<int64_t>(static_cast<int64_t>(count - placed), blockCount - offset));
            uint8_t* const to = target + static_cast<size_t>(placed) * out.blockAlign;
            const auto block = getAudioBlock(static_cast<int32_t>(frame), sampleFormat);
            // A block that is missing or short of the frame's span leaves silence, so
            // the samples after it stay in place.
            uint32_t copied = 0;
            if (block && block->blockAlign == out.blockAlign && block->sampleCount > offset) {
                copied = static_cast<uint32_t>(std::min<int64_t>(take, block->sampleCount - offset));
                std::memcpy(to, block->data.data() + static_cast<size_t>(offset) * out.blockAlign,
                            static_cast<size_t>(copied) * out.blockAlign);
            }
            if (copied < take)
                std::memset(to + static_cast<size_t>(copied) * out.blockAlign, 0,
                            static_cast<size_t>(take - copied) * out.blockAlign);
            placed += take;
        }
        ++frame;
    }
    out.sampleCount = static_cast<int32_t>(placed);
    if (placed < count)
        out.data.allocMemory(placed * static_cast<uint32_t>(out.blockAlign));
    else
        out.data.allocMemory(bytes);
}

void OutputFile::setVideoBufferSize(int32_t frames) {
    videoLimit = std::max(frames, 1);
    if (source_) source_->setBufferSize(true, videoLimit);
}

void OutputFile::setAudioBufferSize(int32_t frames) {
    audioLimit = std::max(frames, 1);
    if (source_) source_->setBufferSize(false, audioLimit);
}

}  // namespace Plugin
