#include "effects/WaveImageInput.h"

#include "effects/MediaPlayPosition.h"
#include "effects/ShaderResource.h"

namespace Effect {

WaveImageInput::WaveImageInput() {
    name = L"音声波形表示";
    role = kInput;
    media = kVideo;
    placement = kVideo;
    playSpeed.notify = 1;
    preparePlayPosition(playPosition);
    file.notify = 1;
    file.placeholder = L"現在のシーンの音声";
    file.clearOnCancel = 1;
    preset.layout.width = 0.333f;
    spectrum.layout.width = 0.333f;
    mirror.layout.width = 0.334f;
    resolutionX.placeholder = L"---";
    resolutionY.placeholder = L"---";
    spaceX.placeholder = L"---";
    spaceY.placeholder = L"---";
    menuGroup = L"カスタムオブジェクト";
}

std::shared_ptr<EffectBase> WaveImageInput::createInstance() const { return std::make_shared<WaveImageInput>(); }

void WaveImageInput::createCommonResource() { resource = ShaderResource::create(3, 48); }

void WaveImageInput::shareResource(const EffectBase& prototype) {
    resource = dynamic_cast<const WaveImageInput&>(prototype).resource;
}

}  // namespace Effect
