#include "platform/window/ToolTip.h"

#include <pango/pangocairo.h>

#include <algorithm>
#include <cerrno>
#include <unordered_map>

#include "platform/window/TopLevel.h"

namespace Platform::window {
namespace {

constexpr int32_t kPadding = 4;  // inside the border
constexpr const char* kFont = "Sans 9";

struct TipState {
    std::string text;
    int32_t maxWidth = -1;  // pixels; negative: no limit
    Point position;
};

// Tips of the UI thread only.
std::unordered_map<WindowHandle, TipState>& tips() {
    static std::unordered_map<WindowHandle, TipState> table;
    return table;
}

TipState* stateOf(WindowHandle tip) {
    if (!isWindow(tip)) return nullptr;
    const auto found = tips().find(tip);
    return found == tips().end() ? nullptr : &found->second;
}

PangoLayout* layoutFor(cairo_t* cr, const TipState& state) {
    PangoLayout* layout = pango_cairo_create_layout(cr);
    PangoFontDescription* font = pango_font_description_from_string(kFont);
    pango_layout_set_font_description(layout, font);
    pango_font_description_free(font);
    if (state.maxWidth > 0) {
        pango_layout_set_width(layout, std::max(state.maxWidth - 2 * kPadding - 2, 1) * PANGO_SCALE);
        pango_layout_set_wrap(layout, PANGO_WRAP_WORD_CHAR);
    }
    pango_layout_set_text(layout, state.text.c_str(), -1);
    return layout;
}

// The window's size for its text: the text, the padding and a one-pixel border.
void fitToText(WindowHandle tip, const TipState& state) {
    cairo_surface_t* scratch = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1);
    cairo_t* cr = cairo_create(scratch);
    PangoLayout* layout = layoutFor(cr, state);
    int width = 0, height = 0;
    pango_layout_get_pixel_size(layout, &width, &height);
    g_object_unref(layout);
    cairo_destroy(cr);
    cairo_surface_destroy(scratch);
    moveWindow(tip, state.position.x, state.position.y, width + 2 * kPadding + 2, height + 2 * kPadding + 2);
}

void paint(WindowHandle tip, const TipState& state) {
    cairo_surface_t* surface = windowSurface(tip);
    if (surface == nullptr) return;
    Rect client;
    getClientRect(tip, client);
    cairo_t* cr = cairo_create(surface);
    cairo_set_source_rgb(cr, 0.3, 0.3, 0.3);
    cairo_paint(cr);
    cairo_set_source_rgb(cr, 1.0, 1.0, 0.88);
    cairo_rectangle(cr, 1, 1, client.right - 2, client.bottom - 2);
    cairo_fill(cr);
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_move_to(cr, kPadding + 1, kPadding + 1);
    PangoLayout* layout = layoutFor(cr, state);
    pango_cairo_show_layout(cr, layout);
    g_object_unref(layout);
    cairo_destroy(cr);
    presentWindow(tip);
}

intptr_t tipProc(WindowHandle tip, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    switch (message) {
    case kWmPaint:
        if (const TipState* state = stateOf(tip)) paint(tip, *state);
        validateRect(tip);
        return 0;
    case kWmSize: invalidateRect(tip); return 0;
    case kWmDestroy: tips().erase(tip); return 0;
    default: return defWindowProc(tip, message, wParam, lParam);
    }
}

}  // namespace

WindowHandle createToolTipWindow(WindowHandle owner) {
    WindowDesc desc;
    desc.popup = true;
    desc.owner = owner;
    desc.width = 1;
    desc.height = 1;
    desc.procedure = tipProc;
    WindowHandle tip = createWindow(desc);
    if (tip != nullptr) tips()[tip] = TipState{};
    return tip;
}

bool setToolTipText(WindowHandle tip, const std::string& text) {
    TipState* state = stateOf(tip);
    if (state == nullptr) return false;
    state->text = text;
    fitToText(tip, *state);
    if (isWindowVisible(tip)) paint(tip, *state);
    return true;
}

std::string getToolTipText(WindowHandle tip) {
    const TipState* state = stateOf(tip);
    return state == nullptr ? std::string() : state->text;
}

bool setToolTipMaxWidth(WindowHandle tip, int32_t width) {
    TipState* state = stateOf(tip);
    if (state == nullptr) return false;
    state->maxWidth = width;
    fitToText(tip, *state);
    return true;
}

bool trackToolTipPosition(WindowHandle tip, Point point) {
    TipState* state = stateOf(tip);
    if (state == nullptr) return false;
    state->position = point;
    Rect client;
    getClientRect(tip, client);
    return moveWindow(tip, point.x, point.y, client.right, client.bottom);
}

bool trackToolTipActivate(WindowHandle tip, bool activate) {
    TipState* state = stateOf(tip);
    if (state == nullptr) return false;
    showWindow(tip, activate ? kSwShow : kSwHide);
    if (activate) paint(tip, *state);
    return true;
}

}  // namespace Platform::window
