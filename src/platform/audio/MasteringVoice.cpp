#include "platform/audio/MasteringVoice.h"

#include "platform/audio/Engine.h"

namespace Platform::audio {

void MasteringVoice::getVoiceDetails(VoiceDetails& details) const {
    details.inputChannels = channels_;
    details.inputSampleRate = sampleRate_;
}

void MasteringVoice::destroyVoice() { engine_.destroyMaster(); }

}  // namespace Platform::audio
