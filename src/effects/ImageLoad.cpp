#include "effects/ImageLoad.h"

namespace Effect {

ImageLoad::ImageLoad() {
    name = L"画像ファイル";
    role = kInput;
    media = kVideo;
    placement = kVideo;
    file.notify = 1;
    sequence.notify = 1;
}

std::shared_ptr<EffectBase> ImageLoad::createInstance() const { return std::make_shared<ImageLoad>(); }

}  // namespace Effect
