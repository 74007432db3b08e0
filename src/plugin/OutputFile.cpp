#include "plugin/OutputFile.h"

#include <algorithm>
#include <cmath>

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

std::shared_ptr<Media::RawAudioBuffer> OutputFile::getAudioBlock(int32_t frame, int32_t sampleFormat) {
    if (!source_) return nullptr;
    return source_->renderAudio(std::clamp(frame, 0, std::max(lastFrame, 0)), sampleFormat);
}

}  // namespace Plugin
