#pragma once
#include <functional>

typedef struct _GtkWidget GtkWidget;

// The loop of a GTK dialog shown modally (layer-internal): the boxes and the
// file dialogs answer through it while the thread's messages keep flowing.
namespace Platform::window {

// How the dialog's loop ended.
struct ModalEnd {
    bool answered = false;  // the dialog gave a response
    int response = 0;
    bool quit = false;  // a quit message ended the loop first, with its code
    int quitCode = 0;
};

// Shows and presents the dialog, calls `shown`, then dispatches the thread's
// messages until the dialog answers or the loop ends. The dialog stays for
// the caller to read and destroy; its response is no longer listened to.
ModalEnd runModal(GtkWidget* dialog, const std::function<void()>& shown = {});

}  // namespace Platform::window
