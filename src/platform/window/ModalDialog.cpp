#include "platform/window/ModalDialog.h"

#include <gtk/gtk.h>

#include "platform/window/MessageQueue.h"

namespace Platform::window {

namespace {

void onResponse(GtkDialog*, gint response, gpointer data) {
    auto* end = static_cast<ModalEnd*>(data);
    end->response = response;
    end->answered = true;
    postMessage(nullptr, kWmNull, 0, 0);  // wakes the dialog's loop
}

}  // namespace

ModalEnd runModal(GtkWidget* dialog, const std::function<void()>& shown) {
    ModalEnd end;
    const gulong handler = g_signal_connect(dialog, "response", G_CALLBACK(onResponse), &end);
    gtk_widget_show_all(dialog);
    gtk_window_present(GTK_WINDOW(dialog));
    if (shown) shown();
    while (!end.answered) {
        Message msg;
        const int r = getMessage(msg, nullptr, 0, 0);
        if (r <= 0) {
            end.quit = r == 0;
            end.quitCode = static_cast<int>(msg.wParam);
            break;
        }
        translateMessage(msg);
        dispatchMessage(msg);
    }
    g_signal_handler_disconnect(dialog, handler);
    return end;
}

}  // namespace Platform::window
