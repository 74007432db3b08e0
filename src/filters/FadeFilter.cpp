#include "filters/FadeFilter.h"

#include <algorithm>

#include "filters/ObjectTime.h"

namespace Effect {

FadeFilter::FadeFilter() {
    role = kFilter;
    media = kVideo;
    placement = kVideo;
    menuGroup = L"切り替え効果";
}

double FadeFilter::factor(double in, double out, double elapsed, double remaining) {
    double f = 1;
    if (in > 0 && in > elapsed) f = std::clamp(elapsed / in, 0.0, 1.0);
    if (out > 0 && remaining < out) f = std::min(f, std::clamp(remaining / out, 0.0, 1.0));
    return f;
}

std::shared_ptr<Media::ResourceBuffer> FadeFilter::filterVideo(Render::RenderContext& context,
                                                               std::shared_ptr<Media::ResourceBuffer> image) {
    const ObjectTime t = ObjectTime::of(context);
    const double f = factor(fadeIn.getValue(context), fadeOut.getValue(context), t.elapsed, t.remaining);
    context.view.opacity = static_cast<float>(context.view.opacity * f);
    return image;
}

}  // namespace Effect
