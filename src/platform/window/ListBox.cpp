#include "platform/window/ListBox.h"

#include <pango/pangocairo.h>

#include <algorithm>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/window/KeyMap.h"
#include "platform/window/MessageQueue.h"
#include "platform/window/TopLevel.h"

namespace Platform::window {
namespace {

constexpr const char* kFont = "Sans 9";
constexpr int32_t kBorder = 1;
constexpr int32_t kScrollBarWidth = 12;

struct ListState {
    std::vector<std::string> entries;
    int32_t selected = -1;
    int32_t top = 0;
    int32_t itemHeight = 16;
};

// Lists of the UI thread only.
std::unordered_map<WindowHandle, ListState>& lists() {
    static std::unordered_map<WindowHandle, ListState> table;
    return table;
}

ListState* stateOf(WindowHandle list) {
    if (!isWindow(list)) return nullptr;
    const auto found = lists().find(list);
    return found == lists().end() ? nullptr : &found->second;
}

PangoLayout* layoutIn(cairo_t* cr) {
    PangoLayout* layout = pango_cairo_create_layout(cr);
    PangoFontDescription* font = pango_font_description_from_string(kFont);
    pango_layout_set_font_description(layout, font);
    pango_font_description_free(font);
    return layout;
}

int32_t measuredItemHeight() {
    cairo_surface_t* scratch = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1);
    cairo_t* cr = cairo_create(scratch);
    PangoLayout* layout = layoutIn(cr);
    pango_layout_set_text(layout, "Ag", -1);
    int width = 0, height = 0;
    pango_layout_get_pixel_size(layout, &width, &height);
    g_object_unref(layout);
    cairo_destroy(cr);
    cairo_surface_destroy(scratch);
    return std::max(height + 2, 8);
}

int32_t visibleRows(WindowHandle list, const ListState& state) {
    Rect client;
    getClientRect(list, client);
    return std::max((client.bottom - 2 * kBorder) / state.itemHeight, 1);
}

void clampTop(WindowHandle list, ListState& state) {
    const int32_t count = static_cast<int32_t>(state.entries.size());
    state.top = std::clamp(state.top, 0, std::max(count - visibleRows(list, state), 0));
}

void paint(WindowHandle list, const ListState& state) {
    cairo_surface_t* surface = windowSurface(list);
    if (surface == nullptr) return;
    Rect client;
    getClientRect(list, client);
    const int32_t count = static_cast<int32_t>(state.entries.size());
    const int32_t rows = visibleRows(list, state);
    const bool scrolls = count > rows;
    const int32_t textRight = client.right - kBorder - (scrolls ? kScrollBarWidth : 0);
    cairo_t* cr = cairo_create(surface);
    cairo_set_source_rgb(cr, 0.4, 0.4, 0.4);
    cairo_paint(cr);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_rectangle(cr, kBorder, kBorder, client.right - 2 * kBorder, client.bottom - 2 * kBorder);
    cairo_fill(cr);
    PangoLayout* layout = layoutIn(cr);
    for (int32_t row = 0; row <= rows && state.top + row < count; ++row) {
        const int32_t index = state.top + row;
        const int32_t y = kBorder + row * state.itemHeight;
        if (index == state.selected) {
            cairo_set_source_rgb(cr, 0.0, 0.47, 0.84);
            cairo_rectangle(cr, kBorder, y, textRight - kBorder, state.itemHeight);
            cairo_fill(cr);
            cairo_set_source_rgb(cr, 1, 1, 1);
        } else {
            cairo_set_source_rgb(cr, 0, 0, 0);
        }
        pango_layout_set_text(layout, state.entries[size_t(index)].c_str(), -1);
        cairo_move_to(cr, kBorder + 2, y + 1);
        pango_cairo_show_layout(cr, layout);
    }
    g_object_unref(layout);
    if (scrolls) {
        const double trackTop = kBorder, trackHeight = client.bottom - 2 * kBorder;
        cairo_set_source_rgb(cr, 0.9, 0.9, 0.9);
        cairo_rectangle(cr, textRight, trackTop, kScrollBarWidth, trackHeight);
        cairo_fill(cr);
        cairo_set_source_rgb(cr, 0.6, 0.6, 0.6);
        cairo_rectangle(cr, textRight + 2, trackTop + trackHeight * state.top / count, kScrollBarWidth - 4,
                        std::max(trackHeight * rows / count, 4.0));
        cairo_fill(cr);
    }
    cairo_destroy(cr);
    presentWindow(list);
}

void changed(WindowHandle list, ListState& state) {
    clampTop(list, state);
    if (isWindowVisible(list)) paint(list, state);
}

intptr_t itemFromPoint(WindowHandle list, const ListState& state, int32_t x, int32_t y) {
    Rect client;
    getClientRect(list, client);
    const int32_t count = static_cast<int32_t>(state.entries.size());
    const bool outside = x < 0 || y < 0 || x >= client.right || y >= client.bottom;
    int32_t index = state.top + std::max(y - kBorder, 0) / state.itemHeight;
    bool past = index >= count;
    index = std::clamp(index, 0, std::max(count - 1, 0));
    return static_cast<intptr_t>(static_cast<uint32_t>(index) | ((outside || past) ? 0x10000u : 0u));
}

void ensureVisible(WindowHandle list, ListState& state) {
    if (state.selected < 0) return;
    const int32_t rows = visibleRows(list, state);
    if (state.selected < state.top) state.top = state.selected;
    if (state.selected >= state.top + rows) state.top = state.selected - rows + 1;
}

intptr_t listProc(WindowHandle list, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    ListState* state = stateOf(list);
    if (state == nullptr) return defWindowProc(list, message, wParam, lParam);
    const int32_t count = static_cast<int32_t>(state->entries.size());
    switch (message) {
    case kLbAddString:
        state->entries.emplace_back(lParam != 0 ? reinterpret_cast<const char*>(lParam) : "");
        changed(list, *state);
        return count;
    case kLbResetContent:
        state->entries.clear();
        state->selected = -1;
        state->top = 0;
        changed(list, *state);
        return 0;
    case kLbSetCurSel: {
        const auto index = static_cast<int32_t>(static_cast<intptr_t>(wParam));
        if (index < 0 || index >= count) {
            state->selected = -1;
            changed(list, *state);
            return index == -1 ? 0 : kLbErr;
        }
        state->selected = index;
        ensureVisible(list, *state);
        changed(list, *state);
        return index;
    }
    case kLbGetCurSel: return state->selected < 0 ? kLbErr : state->selected;
    case kLbGetCount: return count;
    case kLbGetTopIndex: return state->top;
    case kLbSetTopIndex:
        state->top = static_cast<int32_t>(static_cast<intptr_t>(wParam));
        changed(list, *state);
        return 0;
    case kLbGetItemHeight: return state->itemHeight;
    case kLbItemFromPoint: return itemFromPoint(list, *state, lowWordSigned(lParam), highWordSigned(lParam));
    case kWmMouseMove:
    case kWmLButtonDown: {
        const intptr_t hit = itemFromPoint(list, *state, lowWordSigned(lParam), highWordSigned(lParam));
        if (count > 0 && (hit & 0x10000) == 0) {
            state->selected = static_cast<int32_t>(hit & 0xFFFF);
            changed(list, *state);
        }
        return 0;
    }
    case kWmMouseWheel: {
        const auto delta = static_cast<int16_t>((wParam >> 16) & 0xFFFF);
        state->top += delta > 0 ? -3 : 3;
        changed(list, *state);
        return 0;
    }
    case kWmKeyDown:
        if (count == 0) return 0;
        if (wParam == kVkUp || wParam == kVkDown) {
            state->selected = std::clamp(state->selected + (wParam == kVkUp ? -1 : 1), 0, count - 1);
            ensureVisible(list, *state);
            changed(list, *state);
        }
        return 0;
    case kWmSize: clampTop(list, *state); return 0;
    case kWmPaint:
        paint(list, *state);
        validateRect(list);
        return 0;
    case kWmDestroy: lists().erase(list); return 0;
    default: return defWindowProc(list, message, wParam, lParam);
    }
}

}  // namespace

WindowHandle createListBox(WindowHandle owner) {
    WindowDesc desc;
    desc.popup = true;
    desc.owner = owner;
    desc.width = 1;
    desc.height = 1;
    desc.procedure = listProc;
    WindowHandle list = createWindow(desc);
    if (list != nullptr) lists()[list] = ListState{{}, -1, 0, measuredItemHeight()};
    return list;
}

}  // namespace Platform::window
