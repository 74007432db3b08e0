#include "platform/audio/SourceVoice.h"

#include <cmath>

#include "platform/audio/Engine.h"

namespace Platform::audio {

Result SourceVoice::start() {
    Platform::os::MutexLock lock(engine_.mutex_);
    started_ = true;
    return kOk;
}

Result SourceVoice::stop() {
    Platform::os::MutexLock lock(engine_.mutex_);
    started_ = false;
    return kOk;
}

Result SourceVoice::submitSourceBuffer(const Buffer& buffer) {
    Platform::os::MutexLock lock(engine_.mutex_);
    if (buffer.audioData == nullptr || buffer.audioBytes == 0 || buffer.audioBytes % format_.blockAlign != 0)
        return kInvalidArg;
    if (queue_.size() >= kMaxQueuedBuffers) return kInvalidCall;
    queue_.push_back(buffer);
    return kOk;
}

Result SourceVoice::flushSourceBuffers() {
    Platform::os::MutexLock lock(engine_.mutex_);
    queue_.clear();
    position_ = 0;
    return kOk;
}

void SourceVoice::getState(VoiceState& state, uint32_t flags) const {
    Platform::os::MutexLock lock(engine_.mutex_);
    state.buffersQueued = static_cast<uint32_t>(queue_.size());
    state.samplesPlayed = (flags & kVoiceNoSamplesPlayed) ? 0 : played_ + static_cast<uint64_t>(position_);
}

Result SourceVoice::setVolume(float volume) {
    if (!std::isfinite(volume) || std::fabs(volume) > 16777216.0f) return kInvalidArg;
    Platform::os::MutexLock lock(engine_.mutex_);
    volume_ = volume;
    return kOk;
}

void SourceVoice::getVolume(float& volume) const {
    Platform::os::MutexLock lock(engine_.mutex_);
    volume = volume_;
}

Result SourceVoice::setSourceSampleRate(uint32_t sampleRate) {
    if (sampleRate < kMinSampleRate || sampleRate > kMaxSampleRate) return kInvalidArg;
    Platform::os::MutexLock lock(engine_.mutex_);
    format_.samplesPerSec = sampleRate;
    format_.avgBytesPerSec = sampleRate * format_.blockAlign;
    return kOk;
}

void SourceVoice::getVoiceDetails(VoiceDetails& details) const {
    Platform::os::MutexLock lock(engine_.mutex_);
    details.inputChannels = format_.channels;
    details.inputSampleRate = format_.samplesPerSec;
}

void SourceVoice::destroyVoice() { engine_.destroySource(this); }

bool SourceVoice::frameAt(uint64_t index, float& left, float& right) const {
    for (const Buffer& buffer : queue_) {
        const uint64_t frames = buffer.audioBytes / format_.blockAlign;
        if (index < frames) {
            const float* frame = reinterpret_cast<const float*>(buffer.audioData) + index * format_.channels;
            left = frame[0];
            right = format_.channels == 2 ? frame[1] : frame[0];
            return true;
        }
        index -= frames;
    }
    return false;
}

void SourceVoice::mixInto(float* out, uint32_t frames, uint32_t deviceChannels, uint32_t deviceRate) {
    if (!started_) return;
    const double step = static_cast<double>(format_.samplesPerSec) / deviceRate;
    for (uint32_t j = 0; j < frames && !queue_.empty(); ++j) {
        const auto index = static_cast<uint64_t>(position_);
        const auto fraction = static_cast<float>(position_ - static_cast<double>(index));
        float left = 0, right = 0;
        frameAt(index, left, right);
        float nextLeft = 0, nextRight = 0;
        if (fraction != 0.0f && frameAt(index + 1, nextLeft, nextRight)) {
            left += (nextLeft - left) * fraction;
            right += (nextRight - right) * fraction;
        }
        left *= volume_;
        right *= volume_;
        if (deviceChannels == 1) {
            out[j] += 0.5f * (left + right);
        } else {
            out[j * deviceChannels] += left;
            out[j * deviceChannels + 1] += right;
        }
        position_ += step;
        // A buffer read to its end is no longer queued; its memory is the caller's again.
        while (!queue_.empty()) {
            const uint64_t length = queue_.front().audioBytes / format_.blockAlign;
            if (position_ < static_cast<double>(length)) break;
            position_ -= static_cast<double>(length);
            played_ += length;
            queue_.pop_front();
        }
    }
}

}  // namespace Platform::audio
