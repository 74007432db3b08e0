#include "effect/RenderContext.h"

#include <cmath>

#include "core/Exception.h"
#include "effect/EffectBase.h"
#include "effect/ModelQueries.h"

namespace Render {

Effect::OutputView RenderContext::getOutputView() {
    if (object) {
        const auto& effects = Effect::modelQueries().objectEffects(*object);
        if (!effects.empty() && effects.front() && effects.front()->role == Effect::EffectBase::kControl)
            return effects.front()->getOutputView(*this);
    }
    const std::shared_ptr<Edit::Object> first = chain && !chain->empty() ? chain->front() : object;
    if (!first) throw System::messageException("Render::RenderContext::getOutputView", "not found effect.");
    const auto& effects = Effect::modelQueries().objectEffects(*first);
    if (effects.size() < 2 || !effects[1])
        throw System::messageException("Render::RenderContext::getOutputView", "not found effect.");
    if (first == object) return effects[1]->getOutputView(*this);
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
    if (!scene) return r;
    const double a = Effect::modelQueries().sceneAudioRate(*scene);
    const double rate = Effect::modelQueries().sceneRate(*scene);
    const double scale = Effect::modelQueries().sceneScale(*scene);
    // The first sample of a frame.
    const auto sampleAt = [&](double f) { return std::llround(a * f * scale / rate); };
    r.rate = static_cast<int32_t>(a);
    r.first = sampleAt(frame);
    r.count = static_cast<int32_t>(sampleAt(frame + 1.0) - r.first);
    r.offset = r.first - sampleAt(object ? Effect::modelQueries().objectStart(*object) : 0);
    return r;
}

}  // namespace Render
