#include "platform/draw2d/Text.h"

#include <glib.h>
#include <pango/pangocairo.h>

#include <cmath>
#include <mutex>

#include "platform/draw2d/Internal.h"
#include "platform/draw2d/Lock.h"

namespace Platform::draw2d {

namespace {

// One Pango context for all layouts, used under the layer's lock: grey
// anti-aliasing, no hinting, fractional positions, so measures do not depend
// on the pixel grid.
PangoContext* sharedContext() {
    static PangoContext* context = [] {
        PangoFontMap* map = pango_cairo_font_map_new();
        PangoContext* c = pango_font_map_create_context(map);
        g_object_unref(map);
        cairo_font_options_t* options = cairo_font_options_create();
        cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
        cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
        cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
        pango_cairo_context_set_font_options(c, options);
        cairo_font_options_destroy(options);
        pango_cairo_context_set_resolution(c, 96);
        pango_context_set_round_glyph_positions(c, FALSE);
        return c;
    }();
    return context;
}

bool isTrailingBlank(gunichar c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == 0x3000 || c == 0x2028 || c == 0x2029;
}

float pixels(int pangoUnits) { return float(pangoUnits) / PANGO_SCALE; }

}  // namespace

void showLayout(cairo_t* cr, const TextLayout& layout) {
    pango_cairo_show_layout(cr, static_cast<PangoLayout*>(layout.layout()));
}

Result TextFormat::create(std::string_view family, int32_t weight, FontStyle style, int32_t stretch, float size,
                          std::string_view locale, std::unique_ptr<TextFormat>& out) {
    out.reset();
    if (family.empty() || !(size > 0) || !std::isfinite(size) || weight < 1 || weight > 999 || stretch < 1 ||
        stretch > 9)
        return kInvalidArg;
    std::unique_ptr<TextFormat> f(new TextFormat());
    f->family_ = family;
    f->size_ = size;
    f->weight_ = weight;
    f->style_ = style;
    f->stretch_ = stretch;
    f->locale_ = locale;
    std::lock_guard lock(layerLock());
    PangoFontDescription* d = pango_font_description_new();
    pango_font_description_set_family(d, f->family_.c_str());
    pango_font_description_set_absolute_size(d, double(size) * PANGO_SCALE);
    pango_font_description_set_weight(d, PangoWeight(weight));
    pango_font_description_set_style(d, style == FontStyle::Italic    ? PANGO_STYLE_ITALIC
                                        : style == FontStyle::Oblique ? PANGO_STYLE_OBLIQUE
                                                                      : PANGO_STYLE_NORMAL);
    pango_font_description_set_stretch(d, PangoStretch(stretch - 1));
    f->description_ = d;
    out = std::move(f);
    return kOk;
}

TextFormat::~TextFormat() {
    std::lock_guard lock(layerLock());
    if (description_ != nullptr) pango_font_description_free(static_cast<PangoFontDescription*>(description_));
}

std::unique_ptr<TrimmingSign> TextFormat::createEllipsisTrimmingSign() const {
    return std::make_unique<TrimmingSign>(family_);
}

Result TextLayout::create(std::string_view text, const TextFormat& format, float maxWidth, float maxHeight,
                          std::unique_ptr<TextLayout>& out) {
    out.reset();
    if (!(maxWidth >= 0) || !(maxHeight >= 0)) return kInvalidArg;
    std::unique_ptr<TextLayout> t(new TextLayout());
    t->maxWidth_ = maxWidth;
    t->maxHeight_ = maxHeight;
    t->wrapping_ = format.wordWrapping();
    std::lock_guard lock(layerLock());
    PangoLayout* layout = pango_layout_new(sharedContext());
    pango_layout_set_font_description(layout, static_cast<const PangoFontDescription*>(format.description()));
    gchar* valid = g_utf8_make_valid(text.data(), gssize(text.size()));
    pango_layout_set_text(layout, valid, -1);
    g_free(valid);
    if (!format.localeName().empty()) {
        PangoAttrList* attributes = pango_attr_list_new();
        pango_attr_list_insert(attributes,
                               pango_attr_language_new(pango_language_from_string(format.localeName().c_str())));
        pango_layout_set_attributes(layout, attributes);
        pango_attr_list_unref(attributes);
    }
    t->layout_ = layout;
    t->applyWidth();
    out = std::move(t);
    return kOk;
}

TextLayout::~TextLayout() {
    std::lock_guard lock(layerLock());
    if (layout_ != nullptr) g_object_unref(static_cast<PangoLayout*>(layout_));
}

void TextLayout::applyWidth() {
    PangoLayout* layout = static_cast<PangoLayout*>(layout_);
    const int width = int(std::min(double(maxWidth_) * PANGO_SCALE, double(G_MAXINT / 2)));
    if (ellipsis_) {
        pango_layout_set_width(layout, width);
        pango_layout_set_ellipsize(layout, PANGO_ELLIPSIZE_END);
    } else if (wrapping_ == WordWrapping::Wrap) {
        pango_layout_set_ellipsize(layout, PANGO_ELLIPSIZE_NONE);
        pango_layout_set_width(layout, width);
        pango_layout_set_wrap(layout, PANGO_WRAP_WORD_CHAR);
    } else {
        pango_layout_set_ellipsize(layout, PANGO_ELLIPSIZE_NONE);
        pango_layout_set_width(layout, -1);
    }
}

Result TextLayout::setMaxWidth(float width) {
    if (!(width >= 0)) return kInvalidArg;
    std::lock_guard lock(layerLock());
    maxWidth_ = width;
    applyWidth();
    return kOk;
}

Result TextLayout::setTrimming(TrimmingGranularity granularity, const TrimmingSign* sign) {
    if (granularity != TrimmingGranularity::None && granularity != TrimmingGranularity::Character &&
        granularity != TrimmingGranularity::Word)
        return kInvalidArg;
    std::lock_guard lock(layerLock());
    trimming_ = granularity;
    ellipsis_ = granularity != TrimmingGranularity::None && sign != nullptr;
    applyWidth();
    return kOk;
}

Result TextLayout::metrics(TextMetrics& out) const {
    std::lock_guard lock(layerLock());
    PangoLayout* layout = static_cast<PangoLayout*>(layout_);
    PangoRectangle logical;
    pango_layout_get_extents(layout, nullptr, &logical);
    out = TextMetrics();
    out.left = pixels(logical.x);
    out.top = pixels(logical.y);
    out.widthIncludingTrailingWhitespace = pixels(logical.width);
    out.height = pixels(logical.height);
    out.layoutWidth = maxWidth_;
    out.layoutHeight = maxHeight_;
    out.lineCount = uint32_t(pango_layout_get_line_count(layout));
    const char* text = pango_layout_get_text(layout);
    const bool ellipsized = pango_layout_is_ellipsized(layout);
    float width = 0;
    for (int i = 0; i < pango_layout_get_line_count(layout); ++i) {
        PangoLayoutLine* line = pango_layout_get_line_readonly(layout, i);
        PangoRectangle lineLogical;
        pango_layout_line_get_extents(line, nullptr, &lineLogical);
        int lineWidth = lineLogical.width;
        if (!ellipsized) {
            // Step back over the blanks that end the line.
            const char* start = text + line->start_index;
            const char* end = start + line->length;
            const char* cut = end;
            while (cut > start) {
                const char* prev = g_utf8_find_prev_char(start, cut);
                if (prev == nullptr) prev = start;
                if (!isTrailingBlank(g_utf8_get_char(prev))) break;
                cut = prev;
            }
            if (cut == start) {
                lineWidth = 0;
            } else if (cut != end) {
                int x = 0;
                pango_layout_line_index_to_x(line, int(cut - text), FALSE, &x);
                lineWidth = std::max(0, x);
            }
        }
        width = std::max(width, pixels(lineWidth));
    }
    out.width = width;
    return kOk;
}

}  // namespace Platform::draw2d
