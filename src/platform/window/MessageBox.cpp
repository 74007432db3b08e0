#include "platform/window/MessageBox.h"

#include <gtk/gtk.h>

#include <cstdio>

#include "platform/os/ThreadSafety.h"
#include "platform/window/GtkRuntime.h"
#include "platform/window/MessageQueue.h"
#include "platform/window/ModalDialog.h"
#include "platform/window/WindowData.h"

namespace Platform::window {
namespace {
os::Mutex g_hookMutex;
MessageBoxHook g_hook GUARDED_BY(g_hookMutex);

int defaultAnswer(uint32_t style) {
    switch (style & 0xF) {
    case kMbYesNo:
    case kMbYesNoCancel: return kIdYes;
    default: return kIdOk;
    }
}

// The answer of closing the box without a button (Escape, the close box).
int closedAnswer(uint32_t style) {
    switch (style & 0xF) {
    case kMbOk: return kIdOk;
    case kMbYesNo: return kIdNo;
    default: return kIdCancel;
    }
}

GtkMessageType messageType(uint32_t style) {
    switch (style & 0xF0) {
    case kMbIconError: return GTK_MESSAGE_ERROR;
    case kMbIconQuestion: return GTK_MESSAGE_QUESTION;
    case kMbIconWarning: return GTK_MESSAGE_WARNING;
    case kMbIconInformation: return GTK_MESSAGE_INFO;
    default: return GTK_MESSAGE_OTHER;
    }
}

int shown(WindowHandle owner, const std::string& text, const std::string& title, uint32_t style) {
    GtkWindow* parent = nullptr;
    if (WindowData::isLive(owner) && owner->toplevel != nullptr && (style & kMbTaskModal) == 0)
        parent = GTK_WINDOW(owner->toplevel);
    GtkWidget* dialog =
        gtk_message_dialog_new(parent, GTK_DIALOG_MODAL, messageType(style), GTK_BUTTONS_NONE, "%s", text.c_str());
    struct Destroy {
        GtkWidget* w;
        ~Destroy() { gtk_widget_destroy(w); }
    } destroy{dialog};
    gtk_window_set_title(GTK_WINDOW(dialog), title.c_str());
    switch (style & 0xF) {
    case kMbOkCancel: gtk_dialog_add_buttons(GTK_DIALOG(dialog), "_OK", kIdOk, "_Cancel", kIdCancel, nullptr); break;
    case kMbYesNo: gtk_dialog_add_buttons(GTK_DIALOG(dialog), "_Yes", kIdYes, "_No", kIdNo, nullptr); break;
    case kMbYesNoCancel:
        gtk_dialog_add_buttons(GTK_DIALOG(dialog), "_Yes", kIdYes, "_No", kIdNo, "_Cancel", kIdCancel, nullptr);
        break;
    default: gtk_dialog_add_buttons(GTK_DIALOG(dialog), "_OK", kIdOk, nullptr); break;
    }
    gtk_dialog_set_default_response(GTK_DIALOG(dialog),
                                    (style & 0xF) == kMbYesNo || (style & 0xF) == kMbYesNoCancel ? kIdYes : kIdOk);
    // The box's own loop: the thread's messages keep flowing under it.
    const ModalEnd end = runModal(dialog);
    if (end.quit) postQuitMessage(end.quitCode);
    if (!end.answered) return closedAnswer(style);
    return end.response > 0 ? end.response : closedAnswer(style);
}
}  // namespace

MessageBoxHook setMessageBoxHook(MessageBoxHook hook) {
    os::MutexLock lock(g_hookMutex);
    std::swap(g_hook, hook);
    return hook;
}

MessageBoxHook messageBoxHook() {
    os::MutexLock lock(g_hookMutex);
    return g_hook;
}

int messageBox(WindowHandle owner, const std::string& text, const std::string& title, uint32_t style) {
    MessageBoxHook hook;
    {
        os::MutexLock lock(g_hookMutex);
        hook = g_hook;
    }
    if (hook) return hook(MessageBoxRequest{owner, text, title, style});
    if (gtk::ensure()) return shown(owner, text, title, style);
    // No display (or not the UI thread): the question goes to standard error
    // with its default answer, so a headless run never blocks.
    std::fprintf(stderr, "[%s]\n%s\n", title.c_str(), text.c_str());
    return defaultAnswer(style);
}

}  // namespace Platform::window
