#include "platform/window/InputMethod.h"
#include "platform/window/MessageQueue.h"

#include <gtk/gtk.h>

#include <algorithm>
#include <deque>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <utility>

#include "platform/window/ThreadQueue.h"
#include "platform/window/WindowData.h"

namespace Platform::window {
namespace {

struct ImeData {
    WindowHandle window = nullptr;
    GtkIMContext* context = nullptr;  // none without a display
    bool associated = true;
    bool focusIn = false;
    bool composing = false;
    // While a key is offered: what the input method committed for it.
    bool inFilter = false;
    std::string filterCommit;
    // Committed texts waiting for their composition messages, by serial.
    std::deque<std::pair<uintptr_t, std::u16string>> results;
    uintptr_t nextSerial = 1;
    std::u16string current;
    std::u16string preedit;
    Point caret;
    Rect area;
    std::string fontFamily;
    int32_t fontHeight = 0;
};

std::unordered_map<WindowHandle, std::unique_ptr<ImeData>>& table() {
    static std::unordered_map<WindowHandle, std::unique_ptr<ImeData>> map;
    return map;
}

// Messages of every thread are dispatched through the layer; only windows
// with widgets (made on the UI thread) have an input method.
std::mutex& tableLock() {
    static std::mutex lock;
    return lock;
}

ImeData* find(WindowHandle w) {
    std::lock_guard lock(tableLock());
    const auto it = table().find(w);
    return it != table().end() ? it->second.get() : nullptr;
}

std::u16string toUtf16(const char* text) {
    std::u16string out;
    if (text == nullptr) return out;
    glong count = 0;
    gunichar2* units = g_utf8_to_utf16(text, -1, nullptr, &count, nullptr);
    if (units != nullptr) out.assign(reinterpret_cast<const char16_t*>(units), size_t(count));
    g_free(units);
    return out;
}

void post(ImeData& d, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    if (!WindowData::isLive(d.window) || d.window->queue == nullptr) return;
    d.window->queue->pushInput(timedMessage(d.window, message, wParam, lParam));
}

void startComposition(ImeData& d) {
    if (d.composing) return;
    d.composing = true;
    post(d, kWmImeStartComposition, 0, 0);
}

void endComposition(ImeData& d) {
    if (!d.composing) return;
    d.composing = false;
    d.preedit.clear();
    post(d, kWmImeEndComposition, 0, 0);
}

void queueResult(ImeData& d, const std::u16string& text) {
    if (text.empty()) return;
    const bool standalone = !d.composing;
    startComposition(d);
    const uintptr_t serial = d.nextSerial++;
    d.results.emplace_back(serial, text);
    post(d, kWmImeComposition, serial, kGcsResultStr);
    if (standalone) endComposition(d);
}

void onCommit(GtkIMContext*, const gchar* text, gpointer data) {
    auto& d = *static_cast<ImeData*>(data);
    if (d.inFilter && !d.composing) {
        // Maybe the key's plain character: the key decides once it is filtered.
        d.filterCommit += text != nullptr ? text : "";
        return;
    }
    queueResult(d, toUtf16(text));
}

void onPreeditStart(GtkIMContext*, gpointer data) { startComposition(*static_cast<ImeData*>(data)); }

void onPreeditChanged(GtkIMContext* context, gpointer data) {
    auto& d = *static_cast<ImeData*>(data);
    gchar* text = nullptr;
    gtk_im_context_get_preedit_string(context, &text, nullptr, nullptr);
    d.preedit = toUtf16(text);
    g_free(text);
    if (d.preedit.empty() && !d.composing) return;
    startComposition(d);
    post(d, kWmImeComposition, 0, kGcsCompStr);
}

void onPreeditEnd(GtkIMContext*, gpointer data) { endComposition(*static_cast<ImeData*>(data)); }

gboolean onRetrieveSurrounding(GtkIMContext*, gpointer) { return FALSE; }

void applyCursorLocation(ImeData& d) {
    if (d.context == nullptr) return;
    GdkRectangle r{d.caret.x, d.caret.y, 1, std::max(d.fontHeight < 0 ? -d.fontHeight : d.fontHeight, 1)};
    gtk_im_context_set_cursor_location(d.context, &r);
}

}  // namespace

void InputMethod::create(WindowHandle w) {
    if (w->area == nullptr || w->popup) return;
    setDispatchObserver(&InputMethod::dispatching);
    auto data = std::make_unique<ImeData>();
    data->window = w;
    {
        data->context = gtk_im_multicontext_new();
        // The input method shows the text being composed itself, where the caret is.
        gtk_im_context_set_use_preedit(data->context, FALSE);
        g_signal_connect(data->context, "commit", G_CALLBACK(onCommit), data.get());
        g_signal_connect(data->context, "preedit-start", G_CALLBACK(onPreeditStart), data.get());
        g_signal_connect(data->context, "preedit-changed", G_CALLBACK(onPreeditChanged), data.get());
        g_signal_connect(data->context, "preedit-end", G_CALLBACK(onPreeditEnd), data.get());
        g_signal_connect(data->context, "retrieve-surrounding", G_CALLBACK(onRetrieveSurrounding), data.get());
    }
    std::lock_guard lock(tableLock());
    table()[w] = std::move(data);
}

void InputMethod::destroy(WindowHandle w) {
    std::unique_ptr<ImeData> gone;
    {
        std::lock_guard lock(tableLock());
        const auto it = table().find(w);
        if (it == table().end()) return;
        gone = std::move(it->second);
        table().erase(it);
    }
    if (gone->context != nullptr) {
        g_signal_handlers_disconnect_by_data(gone->context, gone.get());
        gtk_im_context_set_client_window(gone->context, nullptr);
        g_object_unref(gone->context);
    }
}

void InputMethod::realized(WindowHandle w) {
    ImeData* d = find(w);
    if (d == nullptr || d->context == nullptr || w->area == nullptr) return;
    gtk_im_context_set_client_window(d->context, gtk_widget_get_window(w->area));
}

void InputMethod::focusChanged(WindowHandle w, bool in) {
    ImeData* d = find(w);
    if (d == nullptr) return;
    d->focusIn = in;
    if (d->context == nullptr || !d->associated) return;
    if (in)
        gtk_im_context_focus_in(d->context);
    else
        gtk_im_context_focus_out(d->context);
}

bool InputMethod::filterKey(WindowHandle w, GdkEventKey* event, char32_t& character) {
    character = 0;
    ImeData* d = find(w);
    if (d == nullptr || d->context == nullptr || !d->associated) return false;
    d->inFilter = true;
    d->filterCommit.clear();
    const bool taken = gtk_im_context_filter_keypress(d->context, event) != FALSE;
    d->inFilter = false;
    const std::string committed = std::exchange(d->filterCommit, std::string());
    if (!taken) return false;
    // One character for a press outside a composition is the key's own character.
    if (event->type == GDK_KEY_PRESS && !d->composing && g_utf8_strlen(committed.c_str(), -1) == 1) {
        character = g_utf8_get_char(committed.c_str());
        return false;
    }
    queueResult(*d, toUtf16(committed.c_str()));
    return true;
}

void InputMethod::dispatching(const Message& message) {
    if (message.window == nullptr) return;
    ImeData* d = find(message.window);
    if (d == nullptr) return;
    d->current.clear();
    if (message.message != kWmImeComposition || (message.lParam & kGcsResultStr) == 0) return;
    while (!d->results.empty() && d->results.front().first < message.wParam) d->results.pop_front();
    if (!d->results.empty() && d->results.front().first == message.wParam) {
        d->current = std::move(d->results.front().second);
        d->results.pop_front();
    }
}

bool associateInputContext(WindowHandle w, bool on) {
    if (!WindowData::isLive(w)) return false;
    ImeData* d = find(w);
    if (d == nullptr) return false;
    if (d->associated == on) return true;
    d->associated = on;
    if (d->context == nullptr) return true;
    if (on) {
        if (d->focusIn) gtk_im_context_focus_in(d->context);
        applyCursorLocation(*d);
    } else {
        // What was being composed is dropped, as when the context is taken away.
        gtk_im_context_reset(d->context);
        gtk_im_context_focus_out(d->context);
        endComposition(*d);
    }
    return true;
}

bool isInputContextAssociated(WindowHandle w) {
    const ImeData* d = find(w);
    return d != nullptr && d->associated;
}

std::u16string compositionResult(WindowHandle w) {
    const ImeData* d = find(w);
    return d != nullptr ? d->current : std::u16string();
}

std::u16string compositionText(WindowHandle w) {
    const ImeData* d = find(w);
    return d != nullptr ? d->preedit : std::u16string();
}

bool setCompositionWindow(WindowHandle w, const Point& caret, const Rect& area) {
    ImeData* d = find(w);
    if (d == nullptr) return false;
    d->caret = caret;
    d->area = area;
    applyCursorLocation(*d);
    return true;
}

bool setCompositionFont(WindowHandle w, const std::string& family, int32_t height) {
    ImeData* d = find(w);
    if (d == nullptr) return false;
    d->fontFamily = family;
    d->fontHeight = height;
    applyCursorLocation(*d);
    return true;
}

bool getCompositionWindow(WindowHandle w, Point& caret, Rect& area) {
    const ImeData* d = find(w);
    if (d == nullptr) return false;
    caret = d->caret;
    area = d->area;
    return true;
}

bool getCompositionFont(WindowHandle w, std::string& family, int32_t& height) {
    const ImeData* d = find(w);
    if (d == nullptr) return false;
    family = d->fontFamily;
    height = d->fontHeight;
    return true;
}

void* inputContextOf(WindowHandle w) {
    const ImeData* d = find(w);
    return d != nullptr ? d->context : nullptr;
}

}  // namespace Platform::window
