#include "platform/draw2d/StrokeStyle.h"

namespace Platform::draw2d {

Result StrokeStyle::create(const StrokeStyleDesc& desc, const float* dashes, uint32_t count,
                           std::unique_ptr<StrokeStyle>& out) {
    out.reset();
    if (!(desc.miterLimit >= 1)) return kInvalidArg;
    std::vector<float> pattern;
    switch (desc.dashStyle) {
    case DashStyle::Solid: break;
    case DashStyle::Dash: pattern = {2, 2}; break;
    case DashStyle::Dot: pattern = {0, 2}; break;
    case DashStyle::DashDot: pattern = {2, 2, 0, 2}; break;
    case DashStyle::DashDotDot: pattern = {2, 2, 0, 2, 0, 2}; break;
    case DashStyle::Custom:
        if (dashes == nullptr || count == 0) return kInvalidArg;
        pattern.assign(dashes, dashes + count);
        break;
    default: return kInvalidArg;
    }
    if (desc.dashStyle != DashStyle::Custom && (dashes != nullptr || count != 0)) return kInvalidArg;
    float total = 0;
    for (float d : pattern) {
        if (!(d >= 0)) return kInvalidArg;
        total += d;
    }
    // A pattern that is all gaps of length 0 would never advance.
    if (!pattern.empty() && !(total > 0)) return kInvalidArg;
    out = std::make_unique<StrokeStyle>(desc, std::move(pattern));
    return kOk;
}

}  // namespace Platform::draw2d
