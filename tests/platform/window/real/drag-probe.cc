// Two ends of a drag between programs, driven with xdotool by drag-drop.sh.
//   drag-probe target   a window of the window layer with a drop target that
//                       prints what it is told and takes files; ends after a
//                       drop or a leave.
//   drag-probe files    a GTK window at (500, 0) whose button drags two files.
//   drag-probe text     the same button dragging only text.
//   drag-probe files PATH...  the button drags those files instead.
#include <gtk/gtk.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/window/DragDrop.h"
#include "platform/window/MessageQueue.h"
#include "platform/window/TopLevel.h"

namespace {
namespace W = Platform::window;

class Printer : public W::DropTarget {
public:
    Platform::Result dragEnter(const W::DragData& data, uint32_t, W::Point p, uint32_t& effect) override {
        std::printf("enter %s %zu at %d,%d\n", data.hasFiles ? "files" : "other", data.files.size(), p.x, p.y);
        effect = data.hasFiles ? W::kDropEffectCopy : W::kDropEffectNone;
        std::fflush(stdout);
        return data.hasFiles ? Platform::kOk : W::kDragDropCancel;
    }
    Platform::Result dragOver(uint32_t, W::Point, uint32_t& effect) override {
        if (!overSeen_) std::printf("over\n");
        overSeen_ = true;
        effect = W::kDropEffectCopy;
        std::fflush(stdout);
        return Platform::kOk;
    }
    Platform::Result dragLeave() override {
        std::printf("leave\n");
        std::fflush(stdout);
        W::postQuitMessage(0);
        return Platform::kOk;
    }
    Platform::Result drop(const W::DragData& data, uint32_t, W::Point p, uint32_t& effect) override {
        std::printf("drop at %d,%d:", p.x, p.y);
        for (const std::string& file : data.files) std::printf(" [%s]", file.c_str());
        std::printf("\n");
        std::fflush(stdout);
        effect = W::kDropEffectCopy;
        W::postQuitMessage(0);
        return Platform::kOk;
    }

private:
    bool overSeen_ = false;
};

int target() {
    W::WindowDesc desc;
    desc.title = "drop-target";
    desc.x = 0;
    desc.y = 0;
    desc.width = 400;
    desc.height = 300;
    desc.procedure = W::defWindowProc;
    W::WindowHandle window = W::createWindow(desc);
    if (window == nullptr || !W::hasDisplay()) return 3;
    if (Platform::failed(W::registerDragDrop(window, std::make_shared<Printer>()))) return 4;
    W::showWindow(window, W::kSwShow);
    std::printf("ready\n");
    std::fflush(stdout);
    W::Message message;
    while (W::getMessage(message, nullptr, 0, 0) > 0) W::dispatchMessage(message);
    (void)W::revokeDragDrop(window);
    W::destroyWindow(window);
    return 0;
}

bool g_files = true;
std::vector<std::string> g_paths;

void onDataGet(GtkWidget*, GdkDragContext*, GtkSelectionData* data, guint, guint, gpointer) {
    if (g_files && !g_paths.empty()) {
        std::vector<gchar*> uris;
        for (const std::string& path : g_paths) uris.push_back(g_filename_to_uri(path.c_str(), nullptr, nullptr));
        uris.push_back(nullptr);
        gtk_selection_data_set_uris(data, uris.data());
        for (gchar* uri : uris) g_free(uri);
    } else if (g_files) {
        const gchar* uris[] = {"file:///tmp/drag%20one.png", "file:///tmp/two.wav", nullptr};
        gtk_selection_data_set_uris(data, const_cast<gchar**>(uris));
    } else {
        gtk_selection_data_set_text(data, "just text", -1);
    }
}

void onDragEnd(GtkWidget*, GdkDragContext*, gpointer) { gtk_main_quit(); }

int source(bool files) {
    g_files = files;
    GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_title(GTK_WINDOW(window), "drag-source");
    gtk_window_move(GTK_WINDOW(window), 500, 0);
    gtk_window_set_default_size(GTK_WINDOW(window), 200, 100);
    GtkWidget* button = gtk_button_new_with_label("drag me");
    gtk_container_add(GTK_CONTAINER(window), button);
    GtkTargetEntry entry{const_cast<gchar*>(files ? "text/uri-list" : "text/plain"), 0, 0};
    gtk_drag_source_set(button, GDK_BUTTON1_MASK, &entry, 1, GDK_ACTION_COPY);
    g_signal_connect(button, "drag-data-get", G_CALLBACK(onDataGet), nullptr);
    g_signal_connect(button, "drag-end", G_CALLBACK(onDragEnd), nullptr);
    g_signal_connect(window, "destroy", G_CALLBACK(gtk_main_quit), nullptr);
    gtk_widget_show_all(window);
    std::printf("ready\n");
    std::fflush(stdout);
    gtk_main();
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    if (std::strcmp(argv[1], "target") == 0) return target();
    gtk_init(&argc, &argv);
    for (int i = 2; i < argc; ++i) g_paths.emplace_back(argv[i]);
    return source(std::strcmp(argv[1], "files") == 0);
}
