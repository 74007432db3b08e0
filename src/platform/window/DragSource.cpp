#include "platform/window/DragSource.h"

#include <gtk/gtk.h>

#include <utility>

#include "platform/window/WindowData.h"

namespace Platform::window {

namespace {

constexpr const char* kFilesKey = "velmo-drag-files";
constexpr const char* kConnectedKey = "velmo-drag-source";

std::vector<std::string>* filesOf(GtkWidget* widget) {
    return static_cast<std::vector<std::string>*>(g_object_get_data(G_OBJECT(widget), kFilesKey));
}

void deleteFiles(gpointer files) { delete static_cast<std::vector<std::string>*>(files); }

void onDataGet(GtkWidget* widget, GdkDragContext*, GtkSelectionData* selection, guint, guint, gpointer) {
    const std::vector<std::string>* files = filesOf(widget);
    if (files == nullptr) return;
    std::vector<gchar*> uris;
    for (const std::string& file : *files)
        if (gchar* uri = g_filename_to_uri(file.c_str(), nullptr, nullptr)) uris.push_back(uri);
    uris.push_back(nullptr);
    gtk_selection_data_set_uris(selection, uris.data());
    for (gchar* uri : uris) g_free(uri);
}

FileDragHook& dragHook() {
    static FileDragHook hook;
    return hook;
}

void onDragEnd(GtkWidget* widget, GdkDragContext*, gpointer) {
    g_object_set_data(G_OBJECT(widget), kFilesKey, nullptr);
}

}  // namespace

FileDragHook setFileDragHook(FileDragHook hook) {
    FileDragHook previous = std::move(dragHook());
    dragHook() = std::move(hook);
    return previous;
}

Result beginFileDrag(WindowHandle window, const std::vector<std::string>& files) {
    if (files.empty()) return kInvalidArg;
    if (dragHook()) {
        const FileDragHook hook = dragHook();
        hook(window, files);
        return kOk;
    }
    if (!WindowData::isLive(window) || window->destroying || window->area == nullptr || files.empty())
        return kInvalidArg;
    GtkWidget* area = window->area;
    if (g_object_get_data(G_OBJECT(area), kConnectedKey) == nullptr) {
        g_signal_connect(area, "drag-data-get", G_CALLBACK(onDataGet), nullptr);
        g_signal_connect(area, "drag-end", G_CALLBACK(onDragEnd), nullptr);
        g_object_set_data(G_OBJECT(area), kConnectedKey, GINT_TO_POINTER(1));
    }
    g_object_set_data_full(G_OBJECT(area), kFilesKey, new std::vector<std::string>(files), deleteFiles);
    GtkTargetList* targets = gtk_target_list_new(nullptr, 0);
    gtk_target_list_add_uri_targets(targets, 0);
    GdkDragContext* context =
        gtk_drag_begin_with_coordinates(area, targets, GDK_ACTION_COPY, 1, nullptr, -1, -1);
    gtk_target_list_unref(targets);
    if (context == nullptr) {
        g_object_set_data(G_OBJECT(area), kFilesKey, nullptr);
        return kFail;
    }
    return kOk;
}

const std::vector<std::string>* fileDragInProgress(WindowHandle window) {
    if (!WindowData::isLive(window) || window->area == nullptr) return nullptr;
    return filesOf(window->area);
}

}  // namespace Platform::window
