#pragma once
#include <cstdint>
#include <vector>

#include "platform/draw2d/Text.h"

// Hit testing of a laid-out text: the character under a point, the box of a
// character position (the caret's place) and the boxes a range of text covers
// line by line. Positions count characters (Unicode code points) of the
// layout's text, as the program's wide strings do.
namespace Platform::draw2d {

struct HitTestMetrics {
    uint32_t textPosition = 0;  // first character of the hit cluster
    uint32_t length = 0;        // characters in it (0 at the end of a line)
    float left = 0;
    float top = 0;
    float width = 0;
    float height = 0;
    uint32_t bidiLevel = 0;
    bool isText = false;
};

// The cluster nearest the point (layout coordinates). `trailing`: the point
// lies on the cluster's trailing half; `inside`: the point is inside the text.
Result hitTestPoint(const TextLayout& layout, float x, float y, bool& trailing, bool& inside, HitTestMetrics& out);
// The place of the caret before the character at `position` (after it when
// `trailing`): x, y of its top and the character's box with the line's height.
// A position at or past the end gives the end of the last line.
Result hitTestTextPosition(const TextLayout& layout, uint32_t position, bool trailing, float& x, float& y,
                           HitTestMetrics& out);
// One box per line part the characters [position, position + length) cover.
Result hitTestTextRange(const TextLayout& layout, uint32_t position, uint32_t length, std::vector<HitTestMetrics>& out);
// The deepest nesting of reading directions in the layout (1 for left-to-right text).
uint32_t maxBidiReorderingDepth(const TextLayout& layout);

}  // namespace Platform::draw2d
