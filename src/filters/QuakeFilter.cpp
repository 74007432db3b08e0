#include "filters/QuakeFilter.h"

#include <cmath>
#include <numbers>

#include "filters/FilterBase.h"
#include "filters/ObjectTime.h"
#include "media/gpu/NoiseTexture.h"

namespace Effect {
namespace {

constexpr uint64_t K1 = 0x137bd137bd137bd1ull, K2 = 0x37bd137bd137bd13ull, K3 = 0x7bd137bd137bd137ull,
                   K4 = 0xbd137bd137bd137bull;

double unit(uint64_t& state) {
    return static_cast<double>(Resource::NoiseTexture::next(state) % 4294967297ull) * 0x1p-32;
}

}  // namespace

QuakeFilter::QuakeFilter() {
    role = kFilter;
    media = kVideo;
    placement = kVideo;
    menuGroup = L"アニメーション効果";
}

int64_t QuakeFilter::seed(int32_t start, int32_t end, int32_t piece, int32_t layer) {
    const uint32_t s =
        ((((static_cast<uint32_t>(end) << 4) ^ static_cast<uint32_t>(piece)) << 4) ^ static_cast<uint32_t>(start))
            << 8 ^
        static_cast<uint32_t>(layer);
    return static_cast<int32_t>(s);
}

void QuakeFilter::strengths(int64_t seed, int64_t cycle, uint64_t salt, double (&u)[3]) {
    const uint64_t s = static_cast<uint64_t>(seed) ^ salt, k = static_cast<uint64_t>(cycle);
    uint64_t h = s * 135829u + k * 97553u;
    h = (h ^ (h << 17) ^ K1) + s;
    h = (h ^ (h >> 19) ^ K2) + k;
    h = (h ^ (h << 41) ^ K3) + s;
    h = (h ^ (h >> 47) ^ K4) + k;
    for (double& v : u) v = unit(h);
}

void QuakeFilter::swing(double seconds, int32_t periodFrames, double frameSeconds, int64_t& cycle, double& e) {
    const double w = seconds / (periodFrames * frameSeconds);
    const double whole = std::floor(w);
    cycle = static_cast<int64_t>(whole);
    double phi = (w - whole) * std::numbers::pi;
    if (cycle % 2 != 0) phi += std::numbers::pi;
    e = periodFrames == 1 ? std::cos(phi) : std::sin(phi);
}

std::shared_ptr<Media::ResourceBuffer> QuakeFilter::filterVideo(Render::RenderContext& context,
                                                                std::shared_ptr<Media::ResourceBuffer> image) {
    const int32_t period = std::max(1, FilterValue::pixels(this->period.getValue(context)));
    const double amplitude[3] = {x.getValue(context), y.getValue(context), z.getValue(context)};
    double frameSeconds = 1.0 / 30;
    if (context.scene && context.scene->videoRate > 0 && context.scene->videoScale > 0)
        frameSeconds = static_cast<double>(context.scene->videoScale) / context.scene->videoRate;
    const double seconds = ObjectTime::of(context).elapsed;
    const int64_t base = context.object ? seed(context.object->start, context.object->end, context.index, context.layer)
                                        : seed(0, 0, context.index, context.layer);
    double offset[3] = {0, 0, 0};
    auto octave = [&](int32_t n, double weight, uint64_t salt) {
        int64_t cycle;
        double e;
        swing(seconds, n, frameSeconds, cycle, e);
        double u[3] = {1, 1, 1};
        if (randomStrength.value) strengths(base, cycle, salt, u);
        for (int i = 0; i < 3; ++i) offset[i] += u[i] * e * amplitude[i] * weight;
    };
    if (!complex.value) {
        octave(period, 1, 0);
    } else {
        double weight = 1;
        for (int32_t o = 0, n = period; n >= 1; ++o, n /= 2, weight /= 2) octave(n, weight, 3571u * uint64_t(o));
    }
    context.view.x += static_cast<float>(offset[0]);
    context.view.y += static_cast<float>(offset[1]);
    context.view.z += static_cast<float>(offset[2]);
    return image;
}

}  // namespace Effect
