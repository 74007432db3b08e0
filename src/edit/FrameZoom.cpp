#include "edit/FrameZoom.h"

#include <algorithm>

namespace Edit {

FrameZoom::FrameZoom(int32_t v, Normalizer n) : value(n ? n(v) : v), normalizer(n) {}

int32_t FrameZoom::normalize(int32_t v) { return levelIndex(v) < 0 ? kDefault : v; }

int32_t FrameZoom::levelIndex(int32_t v) {
    const auto it = std::find(zoomLevels.begin(), zoomLevels.end(), v);
    return it == zoomLevels.end() ? -1 : static_cast<int32_t>(it - zoomLevels.begin());
}

FrameZoom FrameZoom::getStepZoom(int32_t steps) const {
    const int64_t last = static_cast<int64_t>(zoomLevels.size()) - 1;
    const int64_t at = std::clamp<int64_t>(static_cast<int64_t>(levelIndex(value)) + steps, 0, last);
    return FrameZoom(zoomLevels[static_cast<size_t>(at)], normalizer);
}

}  // namespace Edit
