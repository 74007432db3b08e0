#pragma once
#include <cstdint>
#include <memory>
#include <utility>

namespace Media {
class ResourceBuffer;
}

namespace Effect {

// The blurs of the blur filters that built-in effects borrow (the partial
// filter's soft mask, the blurring scene changes). The owner of the filters
// installs them at start-up; unset, nothing is blurred.
struct BlurHooks {
    using Image = std::shared_ptr<Media::ResourceBuffer>;
    // The image blurred by size pixels; mode 0 grows it by the size on every
    // side, 2 keeps its size repeating the edge pixels outward.
    using Blur = Image (*)(Image image, int32_t size, float aspect, int32_t mode);
    // The image blurred along the rays from its centre over strength percent
    // of the distance, keeping its size.
    using RadialBlur = Image (*)(Image image, float strength);

    // Each returns the one installed before.
    static Blur setBlur(Blur hook) { return std::exchange(blurHook(), hook); }
    static RadialBlur setRadialBlur(RadialBlur hook) { return std::exchange(radialBlurHook(), hook); }

    // The blurred image; none while nothing is installed.
    static Image blur(Image image, int32_t size, float aspect, int32_t mode) {
        return blurHook() ? blurHook()(std::move(image), size, aspect, mode) : nullptr;
    }
    static Image radialBlur(Image image, float strength) {
        return radialBlurHook() ? radialBlurHook()(std::move(image), strength) : nullptr;
    }

private:
    static Blur& blurHook() {
        static Blur hook = nullptr;
        return hook;
    }
    static RadialBlur& radialBlurHook() {
        static RadialBlur hook = nullptr;
        return hook;
    }
};

}  // namespace Effect
