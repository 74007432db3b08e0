#include "filters/AudioFadeFilter.h"

#include <algorithm>

#include "effect/ModelQueries.h"
#include "filters/AudioFilterContext.h"
#include "media/audio/AudioBuffer.h"

namespace Effect {

AudioFadeFilter::AudioFadeFilter() {
    role = kFilter;
    media = kAudio;
    placement = kAudio;
    menuGroup = L"音声効果";
}

AudioFadeFilter::Gains AudioFadeFilter::fadeGains(double fi, double fo, double t, double r, double d) {
    Gains g;
    if (fi > 0 && fi > t) {
        g.first = std::clamp(t / fi, 0.0, 1.0);
        g.last = std::clamp((t + d) / fi, 0.0, 1.0);
    }
    if (fo > 0 && fo > r) {
        g.first = std::min(g.first, std::clamp(r / fo, 0.0, 1.0));
        g.last = std::min(g.last, std::clamp((r - d) / fo, 0.0, 1.0));
    }
    return g;
}

std::shared_ptr<Media::AudioBuffer> AudioFadeFilter::filterAudio(Render::AudioRenderContext& context,
                                                                 std::shared_ptr<Media::AudioBuffer> audio) {
    if (!audio || audio->samples <= 0 || !context.scene || !context.object) return audio;
    const ModelQueries& model = modelQueries();
    const int32_t rate = model.sceneRate(*context.scene);
    if (rate <= 0) return audio;
    Render::RenderContext items = itemContextOf(context);
    const double fi = static_cast<float>(fadeIn.getValue(items));
    const double fo = static_cast<float>(fadeOut.getValue(items));
    const double d = static_cast<double>(model.sceneScale(*context.scene)) / rate;
    const double start = model.objectStart(*context.object);
    const double t = (context.preciseFrame - start) * d;
    const double r = (model.objectEnd(*context.object) - start) * d - t;
    const Gains g = fadeGains(fi, fo, t, r, d);
    if (g.first == 1 && g.last == 1) return audio;

    const int32_t n = audio->samples;
    const float step = static_cast<float>((g.last - g.first) / n);
    // Eight gains at a time, each group eight steps on from the one before.
    float gain[8];
    for (int k = 0; k < 8; ++k) gain[k] = static_cast<float>(g.first) + static_cast<float>(k) * step;
    const float groupStep = 8 * step;
    float* left = audio->getChannel(0);
    float* right = audio->getChannel(1);
    // A mono block's one plane serves both sides: it takes the gain once.
    const bool twoPlanes = right != left;
    const int32_t groups = (n + 7) / 8;
    for (int32_t group = 0; group < groups; ++group) {
        float* l = left + group * 8;
        float* rr = right + group * 8;
        for (int k = 0; k < 8; ++k) {
            l[k] *= gain[k];
            if (twoPlanes) rr[k] *= gain[k];
            gain[k] += groupStep;
        }
    }
    return audio;
}

}  // namespace Effect
