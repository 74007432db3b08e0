#include "effects/MovieLoad.h"

#include "edit/EditService.h"
#include "effects/MediaPlayPosition.h"
#include "media/audio/AudioBuffer.h"
#include "media/gpu/ResourceBuffer.h"
#include "plugin/InputFile.h"
#include "plugin/InputService.h"

namespace Effect {
MovieLoad::MovieLoad() {
    role = kInput;
    media = kVideoAudio;
    placement = kVideoAudio;
    movie.bindFileItems(playPosition, playSpeed, file, loop, 1);
}

std::shared_ptr<Media::ResourceBuffer> MovieLoad::inputVideo(Render::RenderContext& context) {
    return movie.readVideo(context, kept_);
}

void MovieLoad::preInputVideo(Render::RenderContext& context) { movie.preloadVideo(context); }

std::shared_ptr<Media::AudioBuffer> MovieLoad::inputAudio(Render::AudioRenderContext& context) {
    return movie.readAudio(context);
}

void MovieLoad::preInputAudio(Render::AudioRenderContext& context) { movie.preloadAudio(context); }

std::wstring MovieLoad::getDisplayName() const {
    if (file.path.empty()) return EffectBase::getDisplayName();
    const size_t slash = file.path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? file.path : file.path.substr(slash + 1);
}

bool MovieLoad::isSupportedFile(const std::wstring& path) const {
    Plugin::InputService* input = Plugin::InputService::get();
    return input && input->getInputFile(path, 1) != nullptr;
}

bool MovieLoad::itemEvent(const ItemEvent& event) {
    const bool changed = movie.dispatch(event);
    if ((event.kind == ItemEvent::kItemChanged && event.item != &playSpeed) || event.kind == ItemEvent::kFileGiven)
        hasAudio.value = movie.probed && movie.hasAudio ? 1 : 0;
    return changed;
}

bool MovieLoad::hasLinkedAudio(int32_t purpose) const {
    return purpose == 0 && !file.path.empty() && hasAudio.value != 0;
}

}  // namespace Effect
