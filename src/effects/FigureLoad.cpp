#include "effects/FigureLoad.h"

namespace Effect {

FigureLoad::FigureLoad() {
    name = L"図形";
    role = kInput;
    media = kVideo;
    placement = kVideo;
    figure.notify = 1;
}

std::shared_ptr<EffectBase> FigureLoad::createInstance() const { return std::make_shared<FigureLoad>(); }

}  // namespace Effect
