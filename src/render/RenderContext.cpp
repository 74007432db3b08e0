#include "render/RenderContext.h"

#include <cmath>

#include "core/Exception.h"
#include "effect/EffectBase.h"
#include "effect/ModelAccess.h"

namespace Render {

Effect::OutputView RenderContext::getOutputView() {
    if (object) {
        const auto& effects = Effect::Access::objectEffects(*object);
        if (!effects.empty() && effects.front() && effects.front()->role == Effect::EffectBase::kControl)
            return effects.front()->getOutputView(*this);
    }
    const std::shared_ptr<Edit::Object> first = chain && !chain->empty() ? chain->front() : object;
    if (!first)
        throw System::messageException("Render::RenderContext::getOutputView", "not found effect.");
    const auto& effects = Effect::Access::objectEffects(*first);
    if (effects.size() < 2 || !effects[1])
        throw System::messageException("Render::RenderContext::getOutputView", "not found effect.");
    if (first == object)
        return effects[1]->getOutputView(*this);
    const std::shared_ptr<Edit::Object> previous = object;
    const SectionPosition previousSection = section;
    resetObject(first);
    struct Restore {
        RenderContext& c;
        const std::shared_ptr<Edit::Object>& o;
        const SectionPosition& s;
        ~Restore() {
            c.object = o;
            c.section = s;
        }
    } restore{*this, previous, previousSection};
    return effects[1]->getOutputView(*this);
}

AudioRange RenderContext::getAudioRange() const {
    AudioRange r;
    if (!scene)
        return r;
    const double a = Effect::Access::sceneAudioRate(*scene);
    const double rate = Effect::Access::sceneRate(*scene);
    const double scale = Effect::Access::sceneScale(*scene);
    const double f = frame;
    r.rate = static_cast<int32_t>(a);
    r.first = std::llround(a * f * scale / rate);
    r.count = static_cast<int32_t>(std::llround(a * (f + 1) * scale / rate) - r.first);
    const int32_t start = object ? Effect::Access::objectStart(*object) : 0;
    r.offset = r.first - std::llround(a * start * scale / rate);
    return r;
}

}  // namespace Render
