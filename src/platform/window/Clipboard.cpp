#include "platform/window/Clipboard.h"

#include <gtk/gtk.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <map>
#include <memory>
#include <string>

#include "platform/os/TextConvert.h"
#include "platform/window/GtkRuntime.h"

namespace Platform::window {
namespace {

using Blocks = std::map<uint32_t, std::vector<uint8_t>>;

enum TargetInfo : guint { kInfoText = 1, kInfoBmp = 2, kInfoPng = 3 };

// What this process offers; GTK owns it once published and frees it when
// another owner takes the clipboard.
struct Published {
    Blocks blocks;
};

struct State {
    bool open = false;
    bool emptied = false;
    Blocks pending;
    Published* published = nullptr;  // our current offer, null when another program owns it
    Published headless;              // the clipboard without a display
};
State& state() {
    static State s;
    return s;
}

GtkClipboard* desktopClipboard() {
    return gtk_clipboard_get_for_display(gdk_display_get_default(), GDK_SELECTION_CLIPBOARD);
}

uint32_t readLe32(const uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24); }
int32_t readLe32s(const uint8_t* p) { return static_cast<int32_t>(readLe32(p)); }
uint16_t readLe16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
void putLe32(std::vector<uint8_t>& v, size_t at, uint32_t x) {
    for (int i = 0; i < 4; ++i) v[at + i] = static_cast<uint8_t>(x >> (8 * i));
}

std::string textOf(const std::vector<uint8_t>& block) {
    std::wstring wide;
    const size_t units = block.size() / sizeof(wchar_t);
    const auto* p = reinterpret_cast<const wchar_t*>(block.data());
    for (size_t i = 0; i < units && p[i] != 0; ++i) wide.push_back(p[i]);
    return Platform::os::wideToUtf8(wide);
}

std::vector<uint8_t> blockOfText(const char* utf8) {
    std::wstring wide = Platform::os::utf8ToWide(std::string_view(utf8));
    std::vector<uint8_t> block((wide.size() + 1) * sizeof(wchar_t), 0);
    std::memcpy(block.data(), wide.data(), wide.size() * sizeof(wchar_t));
    return block;
}

// A bitmap file: the 14-byte file header in front of the block.
std::vector<uint8_t> bmpFileOf(const std::vector<uint8_t>& dib) {
    std::vector<uint8_t> file(14 + dib.size());
    file[0] = 'B';
    file[1] = 'M';
    putLe32(file, 2, static_cast<uint32_t>(file.size()));
    const uint32_t headerSize = dib.size() >= 4 ? readLe32(dib.data()) : 40;
    putLe32(file, 10, 14 + headerSize);
    std::memcpy(file.data() + 14, dib.data(), dib.size());
    return file;
}

// The block as an ARGB surface (24-bit blocks are opaque); null when malformed.
cairo_surface_t* surfaceOfDib(const std::vector<uint8_t>& dib) {
    if (dib.size() < 40) return nullptr;
    const uint32_t headerSize = readLe32(dib.data());
    const int32_t width = readLe32s(dib.data() + 4);
    const int32_t rawHeight = readLe32s(dib.data() + 8);
    const uint16_t bits = readLe16(dib.data() + 14);
    // The lowest height has no positive counterpart.
    if (headerSize < 40 || width <= 0 || rawHeight == 0 || rawHeight == INT32_MIN || (bits != 24 && bits != 32))
        return nullptr;
    const int32_t height = rawHeight < 0 ? -rawHeight : rawHeight;
    const size_t rowSize = ((static_cast<size_t>(width) * bits / 8) + 3) & ~size_t{3};
    if (dib.size() < headerSize || (dib.size() - headerSize) / rowSize < static_cast<size_t>(height)) return nullptr;
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    // Sizes cairo cannot hold give a surface in error without pixels.
    if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(s);
        return nullptr;
    }
    cairo_surface_flush(s);
    uint8_t* out = cairo_image_surface_get_data(s);
    const int stride = cairo_image_surface_get_stride(s);
    for (int32_t y = 0; y < height; ++y) {
        const int32_t srcRow = rawHeight > 0 ? height - 1 - y : y;
        const uint8_t* in = dib.data() + headerSize + rowSize * srcRow;
        auto* px = reinterpret_cast<uint32_t*>(out + y * stride);
        for (int32_t x = 0; x < width; ++x) {
            const uint8_t* p = in + x * (bits / 8);
            const uint32_t a = bits == 32 ? p[3] : 255;
            // Cairo keeps premultiplied colour.
            auto pm = [a](uint8_t c) { return static_cast<uint32_t>((c * a + 127) / 255); };
            px[x] = (a << 24) | (pm(p[2]) << 16) | (pm(p[1]) << 8) | pm(p[0]);
        }
    }
    cairo_surface_mark_dirty(s);
    return s;
}

std::vector<uint8_t> dibOfSurface(cairo_surface_t* s) {
    const int width = cairo_image_surface_get_width(s), height = cairo_image_surface_get_height(s);
    const int stride = cairo_image_surface_get_stride(s);
    const size_t rowSize = static_cast<size_t>(width) * 4;
    std::vector<uint8_t> dib(40 + rowSize * height, 0);
    putLe32(dib, 0, 40);
    putLe32(dib, 4, static_cast<uint32_t>(width));
    putLe32(dib, 8, static_cast<uint32_t>(height));
    dib[12] = 1;
    dib[14] = 32;
    putLe32(dib, 20, static_cast<uint32_t>(rowSize * height));
    cairo_surface_flush(s);
    const uint8_t* data = cairo_image_surface_get_data(s);
    for (int y = 0; y < height; ++y) {
        const auto* px = reinterpret_cast<const uint32_t*>(data + (height - 1 - y) * stride);
        uint8_t* out = dib.data() + 40 + rowSize * y;
        for (int x = 0; x < width; ++x) {
            const uint32_t v = px[x], a = v >> 24;
            auto un = [a](uint32_t c) { return static_cast<uint8_t>(a == 0 ? 0 : (c * 255 + a / 2) / a); };
            out[x * 4 + 0] = un(v & 0xFF);
            out[x * 4 + 1] = un((v >> 8) & 0xFF);
            out[x * 4 + 2] = un((v >> 16) & 0xFF);
            out[x * 4 + 3] = static_cast<uint8_t>(a);
        }
    }
    return dib;
}

cairo_status_t appendPng(void* closure, const unsigned char* data, unsigned int length) {
    auto* out = static_cast<std::vector<uint8_t>*>(closure);
    out->insert(out->end(), data, data + length);
    return CAIRO_STATUS_SUCCESS;
}

struct PngReader {
    const std::vector<uint8_t>* in;
    size_t at = 0;
};
cairo_status_t readPng(void* closure, unsigned char* data, unsigned int length) {
    auto* r = static_cast<PngReader*>(closure);
    if (r->at + length > r->in->size()) return CAIRO_STATUS_READ_ERROR;
    std::memcpy(data, r->in->data() + r->at, length);
    r->at += length;
    return CAIRO_STATUS_SUCCESS;
}

void provide(GtkClipboard*, GtkSelectionData* selection, guint info, gpointer data) {
    const auto* published = static_cast<Published*>(data);
    if (info == kInfoText) {
        const auto it = published->blocks.find(kCfUnicodeText);
        if (it == published->blocks.end()) return;
        const std::string text = textOf(it->second);
        gtk_selection_data_set_text(selection, text.c_str(), static_cast<gint>(text.size()));
        return;
    }
    const auto it = published->blocks.find(kCfDib);
    if (it == published->blocks.end()) return;
    std::vector<uint8_t> bytes;
    if (info == kInfoBmp) {
        bytes = bmpFileOf(it->second);
    } else {
        cairo_surface_t* s = surfaceOfDib(it->second);
        if (s == nullptr) return;
        cairo_surface_write_to_png_stream(s, appendPng, &bytes);
        cairo_surface_destroy(s);
    }
    gtk_selection_data_set(selection, gtk_selection_data_get_target(selection), 8, bytes.data(),
                           static_cast<gint>(bytes.size()));
}

void release(GtkClipboard*, gpointer data) {
    auto* published = static_cast<Published*>(data);
    if (state().published == published) state().published = nullptr;
    delete published;
}

void publish(Blocks blocks) {
    State& s = state();
    if (!gtk::ensure()) {
        s.headless.blocks = std::move(blocks);
        return;
    }
    GtkTargetList* list = gtk_target_list_new(nullptr, 0);
    if (blocks.count(kCfUnicodeText) != 0) gtk_target_list_add_text_targets(list, kInfoText);
    if (blocks.count(kCfDib) != 0) {
        gtk_target_list_add(list, gdk_atom_intern_static_string("image/bmp"), 0, kInfoBmp);
        gtk_target_list_add(list, gdk_atom_intern_static_string("image/png"), 0, kInfoPng);
    }
    gint count = 0;
    GtkTargetEntry* targets = gtk_target_table_new_from_list(list, &count);
    auto* published = new Published{std::move(blocks)};
    if (count == 0) {
        gtk_clipboard_clear(desktopClipboard());
        delete published;
    } else if (gtk_clipboard_set_with_data(desktopClipboard(), targets, static_cast<guint>(count), provide, release,
                                           published)) {
        s.published = published;
        gtk_clipboard_set_can_store(desktopClipboard(), nullptr, 0);
    } else {
        delete published;
    }
    gtk_target_table_free(targets, count);
    gtk_target_list_unref(list);
}

const Blocks* ownBlocks() {
    State& s = state();
    if (s.open && s.emptied) return &s.pending;
    if (!gtk::ensure()) return &s.headless.blocks;
    return s.published != nullptr ? &s.published->blocks : nullptr;
}

bool checkOpen() {
    if (!state().open) {
        errno = EPERM;
        return false;
    }
    return true;
}

}  // namespace

bool openClipboard(WindowHandle /*owner*/) {
    State& s = state();
    if (!gtk::ensure() && gtk::available()) {
        errno = EPERM;  // another thread runs GTK
        return false;
    }
    if (s.open) {
        errno = EBUSY;
        return false;
    }
    s.open = true;
    s.emptied = false;
    s.pending.clear();
    return true;
}

bool closeClipboard() {
    State& s = state();
    if (!checkOpen()) return false;
    if (s.emptied) publish(std::move(s.pending));
    s.pending.clear();
    s.open = false;
    s.emptied = false;
    return true;
}

bool emptyClipboard() {
    if (!checkOpen()) return false;
    state().emptied = true;
    state().pending.clear();
    return true;
}

bool setClipboardData(uint32_t format, std::vector<uint8_t> block) {
    if (!checkOpen()) return false;
    if (format != kCfDib && format != kCfUnicodeText) {
        errno = EINVAL;
        return false;
    }
    State& s = state();
    if (!s.emptied) {
        // Adding to what another owner put there: start from our own offer.
        if (const Blocks* own = ownBlocks()) s.pending = *own;
        s.emptied = true;
    }
    s.pending[format] = std::move(block);
    return true;
}

bool getClipboardData(uint32_t format, std::vector<uint8_t>& block) {
    if (!checkOpen()) return false;
    if (const Blocks* own = ownBlocks()) {
        const auto it = own->find(format);
        if (it == own->end()) {
            errno = ENOENT;
            return false;
        }
        block = it->second;
        return true;
    }
    GtkClipboard* clipboard = desktopClipboard();
    if (format == kCfUnicodeText) {
        gchar* text = gtk_clipboard_wait_for_text(clipboard);
        if (text == nullptr) {
            errno = ENOENT;
            return false;
        }
        block = blockOfText(text);
        g_free(text);
        return true;
    }
    if (format == kCfDib) {
        if (GtkSelectionData* d =
                gtk_clipboard_wait_for_contents(clipboard, gdk_atom_intern_static_string("image/bmp"))) {
            const gint length = gtk_selection_data_get_length(d);
            const guchar* bytes = gtk_selection_data_get_data(d);
            const bool ok = length > 14 && bytes != nullptr && bytes[0] == 'B' && bytes[1] == 'M';
            if (ok) block.assign(bytes + 14, bytes + length);
            gtk_selection_data_free(d);
            if (ok) return true;
        }
        if (GtkSelectionData* d =
                gtk_clipboard_wait_for_contents(clipboard, gdk_atom_intern_static_string("image/png"))) {
            const gint length = gtk_selection_data_get_length(d);
            const guchar* bytes = gtk_selection_data_get_data(d);
            std::vector<uint8_t> png(bytes, bytes + std::max(length, 0));
            gtk_selection_data_free(d);
            PngReader reader{&png};
            cairo_surface_t* s = cairo_image_surface_create_from_png_stream(readPng, &reader);
            const bool ok = cairo_surface_status(s) == CAIRO_STATUS_SUCCESS;
            if (ok) block = dibOfSurface(s);
            cairo_surface_destroy(s);
            if (ok) return true;
        }
    }
    errno = ENOENT;
    return false;
}

bool isClipboardFormatAvailable(uint32_t format) {
    if (const Blocks* own = ownBlocks()) return own->count(format) != 0;
    GtkClipboard* clipboard = desktopClipboard();
    if (format == kCfUnicodeText) return gtk_clipboard_wait_is_text_available(clipboard) != FALSE;
    if (format == kCfDib)
        return gtk_clipboard_wait_is_target_available(clipboard, gdk_atom_intern_static_string("image/bmp")) ||
               gtk_clipboard_wait_is_target_available(clipboard, gdk_atom_intern_static_string("image/png"));
    return false;
}

}  // namespace Platform::window
