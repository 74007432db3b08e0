#include "render/SectionPosition.h"

#include <algorithm>

#include "effect/ModelAccess.h"

namespace Render {

SectionPosition SectionPosition::locate(int32_t start, int32_t end, const std::vector<int32_t>& b, int32_t frame,
                                        double preciseFrame) {
    SectionPosition p;
    const int32_t n = static_cast<int32_t>(b.size());
    p.index = static_cast<int32_t>(std::upper_bound(b.begin(), b.end(), frame - start) - b.begin());
    p.count = n + 1;
    const int32_t sectionStart = p.index == 0 ? start : start + b[p.index - 1];
    p.offset = preciseFrame - sectionStart;
    int32_t length;
    if (n == 0)
        length = end - start;
    else if (p.index == 0)
        length = b[0];
    else if (p.index < n)
        length = b[p.index] - b[p.index - 1];
    else
        length = end - (start + b[n - 1]);
    p.length = std::max(length, 1);
    p.progress = (preciseFrame - start) / static_cast<double>(std::max(end - start, 1));
    return p;
}

SectionPosition SectionPosition::locate(const Edit::Object& object, int32_t frame, double preciseFrame) {
    return locate(Effect::Access::objectStart(object), Effect::Access::objectEnd(object),
                  Effect::Access::objectMidpoints(object), frame, preciseFrame);
}

}  // namespace Render
