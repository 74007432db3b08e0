#include "effect/SectionPosition.h"

#include <algorithm>

#include "effect/ModelQueries.h"

namespace Render {

SectionPosition SectionPosition::locate(int32_t start, int32_t end, const std::vector<int32_t>& b, int32_t frame,
                                        double preciseFrame) {
    SectionPosition p;
    const int32_t n = static_cast<int32_t>(b.size());
    p.index = static_cast<int32_t>(std::upper_bound(b.begin(), b.end(), frame - start) - b.begin());
    p.count = n + 1;
    const int32_t sectionStart = p.index == 0 ? start : start + b[p.index - 1];
    p.offset = preciseFrame - sectionStart;
    p.length = std::max(sectionLength(start, end, b, p.index), 1);
    p.progress = (preciseFrame - start) / static_cast<double>(std::max(end - start, 1));
    return p;
}

int32_t SectionPosition::sectionLength(int32_t start, int32_t end, const std::vector<int32_t>& b, int32_t index) {
    const int32_t n = static_cast<int32_t>(b.size());
    if (n == 0) return end - start;
    if (index <= 0) return b[0];
    if (index < n) return b[index] - b[index - 1];
    return end - (start + b[n - 1]);
}

SectionPosition SectionPosition::locate(const Edit::Object& object, int32_t frame, double preciseFrame) {
    return locate(Effect::modelQueries().objectStart(object), Effect::modelQueries().objectEnd(object),
                  Effect::modelQueries().objectMidpoints(object), frame, preciseFrame);
}

}  // namespace Render
