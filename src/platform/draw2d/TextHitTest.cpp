#include "platform/draw2d/TextHitTest.h"

#include <glib.h>
#include <pango/pangocairo.h>

#include <algorithm>
#include <cstring>
#include <mutex>

#include "platform/draw2d/Lock.h"

namespace Platform::draw2d {

namespace {

float pixels(int pangoUnits) { return float(pangoUnits) / PANGO_SCALE; }

PangoLayout* pangoOf(const TextLayout& layout) { return static_cast<PangoLayout*>(layout.layout()); }

// Byte index of a character position, clamped to the end of the text.
int byteIndex(const char* text, uint32_t position) {
    const glong count = g_utf8_strlen(text, -1);
    const glong clamped = std::min<glong>(glong(position), count);
    return int(g_utf8_offset_to_pointer(text, clamped) - text);
}

uint32_t charPosition(const char* text, int index) { return uint32_t(g_utf8_pointer_to_offset(text, text + index)); }

// The logical box of the line holding the byte index, in layout coordinates.
void lineBox(PangoLayout* layout, int index, int& top, int& height) {
    int lineNumber = 0;
    pango_layout_index_to_line_x(layout, index, FALSE, &lineNumber, nullptr);
    PangoLayoutIter* it = pango_layout_get_iter(layout);
    for (int i = 0; i < lineNumber && pango_layout_iter_next_line(it); ++i) {
    }
    PangoRectangle logical;
    pango_layout_iter_get_line_extents(it, nullptr, &logical);
    pango_layout_iter_free(it);
    top = logical.y;
    height = logical.height;
}

}  // namespace

Result hitTestPoint(const TextLayout& layout, float x, float y, bool& trailing, bool& inside, HitTestMetrics& out) {
    std::lock_guard lock(layerLock());
    PangoLayout* p = pangoOf(layout);
    if (p == nullptr) return kInvalidArg;
    const char* text = pango_layout_get_text(p);
    int index = 0, trail = 0;
    inside = pango_layout_xy_to_index(p, int(x * PANGO_SCALE), int(y * PANGO_SCALE), &index, &trail) != FALSE;
    trailing = trail > 0;
    out = HitTestMetrics();
    out.textPosition = charPosition(text, index);
    PangoRectangle box;
    pango_layout_index_to_pos(p, index, &box);
    const int length = int(std::strlen(text));
    if (index < length && text[index] != '\n') {
        // The cluster: up to the next cursor position.
        int next = index, nextTrail = 0;
        pango_layout_move_cursor_visually(p, TRUE, index, 0, 1, &next, &nextTrail);
        const char* end = text + std::min(std::max(next, index + 1), length);
        out.length = uint32_t(g_utf8_pointer_to_offset(text + index, end));
        if (out.length == 0) out.length = 1;
        out.isText = true;
    }
    out.left = pixels(std::min(box.x, box.x + box.width));
    out.top = pixels(box.y);
    out.width = pixels(std::abs(box.width));
    out.height = pixels(box.height);
    return kOk;
}

Result hitTestTextPosition(const TextLayout& layout, uint32_t position, bool trailing, float& x, float& y,
                           HitTestMetrics& out) {
    std::lock_guard lock(layerLock());
    PangoLayout* p = pangoOf(layout);
    if (p == nullptr) return kInvalidArg;
    const char* text = pango_layout_get_text(p);
    const int index = byteIndex(text, position);
    PangoRectangle box;
    pango_layout_index_to_pos(p, index, &box);
    int top = 0, height = 0;
    lineBox(p, index, top, height);
    out = HitTestMetrics();
    out.textPosition = charPosition(text, index);
    const int length = int(std::strlen(text));
    const bool atCharacter = index < length && text[index] != '\n';
    out.length = atCharacter ? 1 : 0;
    out.isText = atCharacter;
    out.left = pixels(std::min(box.x, box.x + box.width));
    out.width = atCharacter ? pixels(std::abs(box.width)) : 0;
    out.top = pixels(top);
    out.height = pixels(height);
    x = trailing && atCharacter ? out.left + out.width : out.left;
    y = out.top;
    return kOk;
}

Result hitTestTextRange(const TextLayout& layout, uint32_t position, uint32_t length, std::vector<HitTestMetrics>& out) {
    std::lock_guard lock(layerLock());
    out.clear();
    PangoLayout* p = pangoOf(layout);
    if (p == nullptr) return kInvalidArg;
    const char* text = pango_layout_get_text(p);
    const int begin = byteIndex(text, position);
    const int end = byteIndex(text, position + length);
    if (end <= begin) return kOk;
    PangoLayoutIter* it = pango_layout_get_iter(p);
    do {
        PangoLayoutLine* line = pango_layout_iter_get_line_readonly(it);
        const int lineStart = line->start_index;
        const int lineEnd = line->start_index + line->length;
        // A range that takes the line break marks the end of the line as well.
        const bool takesBreak = end > lineEnd && begin <= lineEnd && lineEnd < int(std::strlen(text));
        const int from = std::max(begin, lineStart);
        const int to = std::min(end, lineEnd);
        PangoRectangle logical;
        pango_layout_iter_get_line_extents(it, nullptr, &logical);
        if (from < to) {
            int* ranges = nullptr;
            int count = 0;
            pango_layout_line_get_x_ranges(line, from, to, &ranges, &count);
            for (int i = 0; i < count; ++i) {
                HitTestMetrics m;
                m.textPosition = charPosition(text, from);
                m.length = uint32_t(g_utf8_pointer_to_offset(text + from, text + to));
                m.left = pixels(logical.x + ranges[2 * i]);
                m.width = pixels(ranges[2 * i + 1] - ranges[2 * i]);
                m.top = pixels(logical.y);
                m.height = pixels(logical.height);
                m.isText = true;
                out.push_back(m);
            }
            g_free(ranges);
        }
        if (takesBreak) {
            // The break itself: a narrow box at the line's end, as wide as a space would be.
            HitTestMetrics m;
            m.textPosition = charPosition(text, lineEnd);
            m.length = 1;
            m.left = pixels(logical.x + logical.width);
            m.width = pixels(logical.height) / 4;
            m.top = pixels(logical.y);
            m.height = pixels(logical.height);
            out.push_back(m);
        }
    } while (pango_layout_iter_next_line(it));
    pango_layout_iter_free(it);
    return kOk;
}

uint32_t maxBidiReorderingDepth(const TextLayout& layout) {
    std::lock_guard lock(layerLock());
    PangoLayout* p = pangoOf(layout);
    if (p == nullptr) return 0;
    uint32_t deepest = 0;
    for (GSList* l = pango_layout_get_lines_readonly(p); l != nullptr; l = l->next) {
        auto* line = static_cast<PangoLayoutLine*>(l->data);
        for (GSList* r = line->runs; r != nullptr; r = r->next) {
            auto* run = static_cast<PangoLayoutRun*>(r->data);
            deepest = std::max(deepest, uint32_t(run->item->analysis.level));
        }
    }
    return deepest + 1;
}

}  // namespace Platform::draw2d
