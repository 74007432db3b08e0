#pragma once
#include <cstdint>
#include <memory>

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
    static inline Blur blur = nullptr;
    // The image blurred along the rays from its centre over strength percent
    // of the distance, keeping its size.
    using RadialBlur = Image (*)(Image image, float strength);
    static inline RadialBlur radialBlur = nullptr;
};

}  // namespace Effect
