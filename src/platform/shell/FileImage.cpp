#include "platform/shell/FileImage.h"

#include <gtk/gtk.h>

#include <algorithm>

namespace Platform::shell {

namespace {

// From a GdkPixbuf (straight R, G, B[, A]) to premultiplied B, G, R, A.
Result fromPixbuf(GdkPixbuf* pixbuf, FileImage& out) {
    if (pixbuf == nullptr) return kFileNotFound;
    const int w = gdk_pixbuf_get_width(pixbuf), h = gdk_pixbuf_get_height(pixbuf);
    const int channels = gdk_pixbuf_get_n_channels(pixbuf), stride = gdk_pixbuf_get_rowstride(pixbuf);
    const bool alpha = gdk_pixbuf_get_has_alpha(pixbuf);
    const guchar* pixels = gdk_pixbuf_read_pixels(pixbuf);
    if (w <= 0 || h <= 0 || pixels == nullptr || channels < 3) return kFail;
    out.width = static_cast<uint32_t>(w);
    out.height = static_cast<uint32_t>(h);
    out.pixels.assign(size_t(w) * size_t(h) * 4, 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const guchar* s = pixels + size_t(y) * size_t(stride) + size_t(x) * size_t(channels);
            uint8_t* d = out.pixels.data() + (size_t(y) * size_t(w) + size_t(x)) * 4;
            const unsigned a = alpha ? s[3] : 255u;
            d[0] = static_cast<uint8_t>((s[2] * a + 127) / 255);
            d[1] = static_cast<uint8_t>((s[1] * a + 127) / 255);
            d[2] = static_cast<uint8_t>((s[0] * a + 127) / 255);
            d[3] = static_cast<uint8_t>(a);
        }
    return kOk;
}

}  // namespace

Result loadTypeIcon(const std::string& contentType, int32_t size, FileImage& out) {
    GdkScreen* screen = gdk_screen_get_default();
    if (screen == nullptr || size <= 0) return kFileNotFound;
    GtkIconTheme* theme = gtk_icon_theme_get_for_screen(screen);
    GIcon* icon = g_content_type_get_icon(contentType.empty() ? "application/octet-stream" : contentType.c_str());
    if (icon == nullptr) return kFileNotFound;
    GtkIconInfo* info =
        gtk_icon_theme_lookup_by_gicon(theme, icon, size, static_cast<GtkIconLookupFlags>(GTK_ICON_LOOKUP_FORCE_SIZE));
    g_object_unref(icon);
    if (info == nullptr) return kFileNotFound;
    GdkPixbuf* pixbuf = gtk_icon_info_load_icon(info, nullptr);
    g_object_unref(info);
    const Result result = fromPixbuf(pixbuf, out);
    if (pixbuf != nullptr) g_object_unref(pixbuf);
    return result;
}

Result loadThumbnail(const std::string& thumbnailPath, int32_t size, FileImage& out) {
    if (thumbnailPath.empty() || size <= 0) return kFileNotFound;
    GdkPixbuf* pixbuf = gdk_pixbuf_new_from_file_at_scale(thumbnailPath.c_str(), size, size, TRUE, nullptr);
    const Result result = fromPixbuf(pixbuf, out);
    if (pixbuf != nullptr) g_object_unref(pixbuf);
    return result;
}

}  // namespace Platform::shell
