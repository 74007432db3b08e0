#include "platform/window/FileDialog.h"

#include <gtk/gtk.h>

#include <cstdio>
#include <filesystem>

#include "platform/os/ThreadSafety.h"
#include "platform/window/GtkRuntime.h"
#include "platform/window/MessageBox.h"
#include "platform/window/MessageQueue.h"
#include "platform/window/ModalDialog.h"
#include "platform/window/WindowData.h"

namespace Platform::window {

struct FileDialogStripAccess {
    static std::map<uint16_t, void*>& widgets(FileDialogStrip& strip) { return strip.widgets_; }
    static const std::map<uint16_t, std::string>& texts(const FileDialogStrip& strip) { return strip.texts_; }
};

FileDialogStrip::~FileDialogStrip() = default;

void FileDialogStrip::setControlText(uint16_t id, const std::string& text) {
    texts_[id] = text;
    const auto found = widgets_.find(id);
    if (found == widgets_.end()) return;
    if (GTK_IS_LABEL(found->second))
        gtk_label_set_text(GTK_LABEL(found->second), text.c_str());
    else if (GTK_IS_BUTTON(found->second))
        gtk_button_set_label(GTK_BUTTON(found->second), text.c_str());
}

std::string FileDialogStrip::controlText(uint16_t id) const {
    const auto found = texts_.find(id);
    return found == texts_.end() ? std::string() : found->second;
}

namespace {
constexpr int kStripTextWidth = 500;
os::Mutex g_hookMutex;
FileDialogHook g_hook GUARDED_BY(g_hookMutex);

void onStripButton(GtkButton*, gpointer data) { static_cast<FileDialogStrip*>(data)->stripCommand(kStripButtonId); }

void onStripResized(GtkWidget*, GdkRectangle*, gpointer data) { static_cast<FileDialogStrip*>(data)->stripResized(); }

GtkWidget* buildStrip(FileDialogStrip& strip) {
    GtkWidget* box = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 8);
    const auto& texts = FileDialogStripAccess::texts(strip);
    const auto textOf = [&](uint16_t id, const char* fallback) {
        const auto found = texts.find(id);
        return found == texts.end() ? std::string(fallback) : found->second;
    };
    GtkWidget* label = gtk_label_new(textOf(kStripTextId, "").c_str());
    gtk_label_set_ellipsize(GTK_LABEL(label), PANGO_ELLIPSIZE_END);
    gtk_label_set_xalign(GTK_LABEL(label), 1.0f);
    // The text keeps its width (ending 8 pixels before the button), so the
    // button stays in its place whatever the text says.
    gtk_widget_set_size_request(label, kStripTextWidth, -1);
    GtkWidget* button = gtk_button_new_with_label(textOf(kStripButtonId, "Setting").c_str());
    gtk_box_pack_start(GTK_BOX(box), label, TRUE, TRUE, 0);
    gtk_box_pack_end(GTK_BOX(box), button, FALSE, FALSE, 0);
    auto& widgets = FileDialogStripAccess::widgets(strip);
    widgets[kStripTextId] = label;
    widgets[kStripButtonId] = button;
    g_signal_connect(button, "clicked", G_CALLBACK(onStripButton), &strip);
    g_signal_connect(box, "size-allocate", G_CALLBACK(onStripResized), &strip);
    gtk_widget_show_all(box);
    return box;
}

std::optional<std::string> shown(const FileDialogRequest& request) {
    GtkWindow* parent = nullptr;
    if (WindowData::isLive(request.owner) && request.owner->toplevel != nullptr)
        parent = GTK_WINDOW(request.owner->toplevel);
    const char* title = !request.title.empty() ? request.title.c_str() : request.save ? "Save As" : "Open";
    GtkWidget* dialog =
        gtk_file_chooser_dialog_new(title, parent,
                                    request.save ? GTK_FILE_CHOOSER_ACTION_SAVE : GTK_FILE_CHOOSER_ACTION_OPEN,
                                    "_Cancel", GTK_RESPONSE_CANCEL, request.save ? "_Save" : "_Open",
                                    GTK_RESPONSE_ACCEPT, nullptr);
    gtk_window_set_modal(GTK_WINDOW(dialog), TRUE);
    gtk_dialog_set_default_response(GTK_DIALOG(dialog), GTK_RESPONSE_ACCEPT);
    GtkFileChooser* chooser = GTK_FILE_CHOOSER(dialog);
    // The overwrite question is asked after the default extension is added.
    gtk_file_chooser_set_do_overwrite_confirmation(chooser, FALSE);
    int index = 0;
    for (const FileFilterEntry& entry : request.filters) {
        GtkFileFilter* filter = gtk_file_filter_new();
        gtk_file_filter_set_name(filter, entry.name.c_str());
        for (const std::string& pattern : entry.patterns) gtk_file_filter_add_pattern(filter, pattern.c_str());
        gtk_file_chooser_add_filter(chooser, filter);  // the chooser owns it
        if (++index == request.filterIndex) gtk_file_chooser_set_filter(chooser, filter);
    }
    const std::filesystem::path path(request.path);
    std::error_code ec;
    if (!request.path.empty()) {
        if (path.has_parent_path() && std::filesystem::is_directory(path.parent_path(), ec))
            gtk_file_chooser_set_current_folder(chooser, path.parent_path().c_str());
        if (request.save)
            gtk_file_chooser_set_current_name(chooser, path.filename().c_str());
        else if (std::filesystem::exists(path, ec))
            gtk_file_chooser_set_filename(chooser, path.c_str());
    }
    if (request.save && request.strip != nullptr)
        gtk_file_chooser_set_extra_widget(chooser, buildStrip(*request.strip));
    const ModalEnd end = runModal(dialog, [&] {
        if (request.save && request.strip != nullptr) request.strip->stripOpened();
    });
    std::optional<std::string> chosen;
    if (end.answered && end.response == GTK_RESPONSE_ACCEPT) {
        if (gchar* name = gtk_file_chooser_get_filename(chooser)) {
            chosen = name;
            g_free(name);
        }
    }
    if (request.save && request.strip != nullptr) {
        request.strip->stripClosed();
        FileDialogStripAccess::widgets(*request.strip).clear();
    }
    gtk_widget_destroy(dialog);
    if (end.quit) postQuitMessage(end.quitCode);  // the loop below ends as well
    return chosen;
}

std::optional<std::string> asked(const FileDialogRequest& request) {
    FileDialogHook hook;
    {
        os::MutexLock lock(g_hookMutex);
        hook = g_hook;
    }
    if (hook) return hook(request);
    if (gtk::ensure()) return shown(request);
    std::fprintf(stderr, "[%s]\n%s\n", request.save ? "Save As" : "Open", request.path.c_str());
    return std::nullopt;
}

// The name with the default extension added when its file name has none.
std::string withExtension(const std::string& name, const std::string& extension) {
    if (extension.empty()) return name;
    const std::filesystem::path path(name);
    if (path.filename().has_extension()) return name;
    return name + "." + extension;
}
}  // namespace

FileDialogHook setFileDialogHook(FileDialogHook hook) {
    os::MutexLock lock(g_hookMutex);
    std::swap(g_hook, hook);
    return hook;
}

std::optional<std::string> fileDialog(const FileDialogRequest& request) {
    FileDialogRequest current = request;
    for (;;) {
        std::optional<std::string> chosen = asked(current);
        if (!chosen || chosen->empty()) return std::nullopt;
        std::string name = withExtension(*chosen, current.defaultExtension);
        std::error_code ec;
        if (!current.save || !current.overwritePrompt || !std::filesystem::exists(name, ec)) return name;
        const std::string question =
            std::filesystem::path(name).filename().string() + " already exists.\nDo you want to replace it?";
        const std::string title = current.title.empty() ? "Save As" : current.title;
        if (messageBox(current.owner, question, title, kMbYesNo | kMbIconWarning) == kIdYes) return name;
        current.path = name;  // asked again with the refused name
    }
}

}  // namespace Platform::window
