#include "effects/AudioLoad.h"

#include "edit/EditService.h"
#include "effects/MediaPlayPosition.h"
#include "media/audio/AudioBuffer.h"
#include "media/gpu/ResourceBuffer.h"
#include "plugin/InputFile.h"
#include "plugin/InputService.h"

namespace Effect {
AudioLoad::AudioLoad() {
    role = kInput;
    media = kAudio;
    placement = kAudio;
    movie.bindFileItems(playPosition, playSpeed, file, loop, 2);
}

std::shared_ptr<Media::AudioBuffer> AudioLoad::inputAudio(Render::AudioRenderContext& context) {
    return movie.readAudio(context);
}

void AudioLoad::preInputAudio(Render::AudioRenderContext& context) { movie.preloadAudio(context); }

std::wstring AudioLoad::getDisplayName() const {
    if (file.path.empty()) return EffectBase::getDisplayName();
    const size_t slash = file.path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? file.path : file.path.substr(slash + 1);
}

bool AudioLoad::isSupportedFile(const std::wstring& path) const {
    Plugin::InputService* input = Plugin::InputService::get();
    return input && input->getInputFile(path, 2) != nullptr;
}

bool AudioLoad::itemEvent(const ItemEvent& event) { return movie.dispatch(event); }

}  // namespace Effect
