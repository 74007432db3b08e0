#include "effects/AudioOutput.h"

namespace Effect {

AudioOutput::AudioOutput() {
    name = L"音声再生";
    role = kOutput;
    media = kAudio;
    placement = kAudio;
}

std::shared_ptr<EffectBase> AudioOutput::createInstance() const { return std::make_shared<AudioOutput>(); }

}  // namespace Effect
