#include "platform/window/DialogWindow.h"

#include <gtk/gtk.h>
#include <pango/pangocairo.h>

#include <algorithm>
#include <utility>

#include "platform/os/ThreadSafety.h"
#include "platform/window/GtkRuntime.h"
#include "platform/window/MessageBox.h"
#include "platform/window/MessageQueue.h"
#include "platform/window/WindowData.h"

namespace Platform::window {

namespace {
os::Mutex g_hookMutex;
DialogWindow::Hook g_hook GUARDED_BY(g_hookMutex);

// The quoted family for a style sheet: quotes and back slashes dropped.
std::string cssFamily(const std::string& family) {
    std::string out;
    for (char c : family)
        if (c != '"' && c != '\\' && c != ';' && c != '}' && c != '{') out += c;
    return out;
}
}  // namespace

struct DialogWindow::Control {
    DialogControlSpec spec;
    std::vector<std::string> choices;
    int32_t selection = -1;
    GtkWidget* widget = nullptr;
    GtkWidget* entry = nullptr;  // the typed field of an edit or an edit combo
    gulong changed = 0;          // the field's or the drop list's change handler
    DialogWindow* dialog = nullptr;
};

struct DialogWindow::Gtk {
    GtkWidget* window = nullptr;
    GtkWidget* fixed = nullptr;
    GtkCssProvider* css = nullptr;
    ~Gtk() {
        if (window != nullptr) gtk_widget_destroy(window);
        if (css != nullptr) g_object_unref(css);
    }
    void style(GtkWidget* widget) const {
        if (css != nullptr)
            gtk_style_context_add_provider(gtk_widget_get_style_context(widget), GTK_STYLE_PROVIDER(css),
                                           GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
    }
};

// The GTK signals of the dialog's widgets.
struct DialogSignals {
    static void fieldChanged(GtkEditable* editable, gpointer data) {
        auto* control = static_cast<DialogWindow::Control*>(data);
        control->spec.text = gtk_entry_get_text(GTK_ENTRY(editable));
        control->dialog->send(control->spec.id, kDialogEditUpdate);
    }
    static void dropChanged(GtkComboBox* combo, gpointer data) {
        auto* control = static_cast<DialogWindow::Control*>(data);
        control->selection = gtk_combo_box_get_active(combo);
        control->dialog->send(control->spec.id, kDialogSelectionChange);
    }
    static void activated(GtkEntry*, gpointer data) {
        static_cast<DialogWindow::Control*>(data)->dialog->send(kDialogIdOk, kDialogClicked);
    }
    static void clicked(GtkButton*, gpointer data) {
        auto* control = static_cast<DialogWindow::Control*>(data);
        control->dialog->send(control->spec.id, kDialogClicked);
    }
    static gboolean focusIn(GtkWidget*, GdkEvent*, gpointer data) {
        auto* control = static_cast<DialogWindow::Control*>(data);
        control->dialog->focused_ = control->spec.id;
        return FALSE;
    }
    static void digitsOnly(GtkEditable* editable, const gchar* text, gint length, gint*, gpointer) {
        const size_t n = length < 0 ? std::char_traits<char>::length(text) : static_cast<size_t>(length);
        for (size_t i = 0; i < n; ++i)
            if (text[i] < '0' || text[i] > '9') {
                g_signal_stop_emission_by_name(editable, "insert-text");
                gtk_widget_error_bell(GTK_WIDGET(editable));
                return;
            }
    }
    static gboolean keyPress(GtkWidget*, GdkEventKey* event, gpointer data) {
        if (event->keyval != GDK_KEY_Escape) return FALSE;
        static_cast<DialogWindow*>(data)->send(kDialogIdCancel, kDialogClicked);
        return TRUE;
    }
    static gboolean deleted(GtkWidget*, GdkEvent*, gpointer data) {
        static_cast<DialogWindow*>(data)->send(kDialogIdCancel, kDialogClicked);
        return TRUE;  // the dialog goes when the handler ends it
    }
};

DialogWindow::DialogWindow(WindowHandle owner, std::string caption, DialogHandler& handler)
    : owner_(owner), caption_(std::move(caption)), handler_(handler) {}

DialogWindow::~DialogWindow() {
    // The widgets go before the controls their signals point to.
    gtk_.reset();
}

DialogWindow::Hook DialogWindow::setHook(Hook hook) {
    os::MutexLock lock(g_hookMutex);
    std::swap(g_hook, hook);
    return hook;
}

bool DialogWindow::shown() const { return gtk_ != nullptr; }

int DialogWindow::run(WindowHandle owner, const std::string& caption, DialogHandler& handler) {
    Hook hook;
    {
        os::MutexLock lock(g_hookMutex);
        hook = g_hook;
    }
    if (!WindowData::isLive(owner)) owner = nullptr;
    DialogWindow dialog(owner, caption, handler);
    if (!hook) {
        if (MessageBoxHook boxes = messageBoxHook())
            hook = [boxes](DialogWindow& shown) {
                const int answer =
                    boxes(MessageBoxRequest{shown.owner(), shown.caption(), shown.caption(), kMbOkCancel});
                if (answer != kIdOk) return;
                for (const auto& c : shown.controls_)
                    if (c->spec.kind == DialogControlKind::Button && c->spec.defaultButton) {
                        shown.press(c->spec.id);
                        return;
                    }
                shown.press(kDialogIdOk);
            };
    }
    if (hook) {
        try {
            handler.initDialog(dialog);
        } catch (...) {
            dialog.failure_ = std::current_exception();
            dialog.ended_ = true;
        }
        if (!dialog.ended_) hook(dialog);
        if (!dialog.ended_) dialog.send(kDialogIdCancel, kDialogClicked);
        if (!dialog.ended_) dialog.end(0);
        if (dialog.failure_) std::rethrow_exception(dialog.failure_);
        return dialog.endCode_;
    }
    if (!gtk::ensure()) return 0;

    dialog.gtk_ = std::make_unique<Gtk>();
    Gtk& g = *dialog.gtk_;
    g.window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_title(GTK_WINDOW(g.window), caption.c_str());
    gtk_window_set_type_hint(GTK_WINDOW(g.window), GDK_WINDOW_TYPE_HINT_DIALOG);
    gtk_window_set_resizable(GTK_WINDOW(g.window), FALSE);
    gtk_window_set_modal(GTK_WINDOW(g.window), TRUE);
    gtk_window_set_skip_taskbar_hint(GTK_WINDOW(g.window), TRUE);
    if (owner != nullptr && owner->toplevel != nullptr) {
        gtk_window_set_transient_for(GTK_WINDOW(g.window), GTK_WINDOW(owner->toplevel));
        gtk_window_set_destroy_with_parent(GTK_WINDOW(g.window), TRUE);
    }
    g.fixed = gtk_fixed_new();
    gtk_container_add(GTK_CONTAINER(g.window), g.fixed);
    g_signal_connect(g.window, "key-press-event", G_CALLBACK(DialogSignals::keyPress), &dialog);
    g_signal_connect(g.window, "delete-event", G_CALLBACK(DialogSignals::deleted), &dialog);

    try {
        handler.initDialog(dialog);
    } catch (...) {
        dialog.failure_ = std::current_exception();
        dialog.ended_ = true;
    }
    if (!dialog.ended_) {
        gtk_widget_show_all(g.window);
        gtk_window_move(GTK_WINDOW(g.window), dialog.position_.x, dialog.position_.y);
        gtk_window_present(GTK_WINDOW(g.window));
        if (const Control* first = dialog.find(dialog.focused_); first != nullptr && first->widget != nullptr)
            gtk_widget_grab_focus(first->entry != nullptr ? first->entry : first->widget);
    }
    while (!dialog.ended_) {
        Message msg;
        const int r = getMessage(msg, nullptr, 0, 0);
        if (r <= 0) {
            if (r == 0) postQuitMessage(static_cast<int>(msg.wParam));
            dialog.ended_ = true;
            dialog.endCode_ = 0;
            break;
        }
        translateMessage(msg);
        dispatchMessage(msg);
    }
    dialog.gtk_.reset();
    if (owner != nullptr && owner->toplevel != nullptr) gtk_window_present(GTK_WINDOW(owner->toplevel));
    if (dialog.failure_) std::rethrow_exception(dialog.failure_);
    return dialog.endCode_;
}

void DialogWindow::send(int32_t id, int32_t code) {
    if (ended_ && failure_) return;
    try {
        handler_.command(*this, id, code);
    } catch (...) {
        if (!failure_) failure_ = std::current_exception();
        end(-1);
    }
}

void DialogWindow::end(int32_t code) {
    if (ended_) return;
    ended_ = true;
    endCode_ = code;
    if (gtk_ != nullptr) {
        gtk_widget_hide(gtk_->window);
        (void)postMessage(nullptr, kWmNull, 0, 0);  // wakes the loop
    }
}

void DialogWindow::setFont(const std::string& family, int32_t pixelHeight) {
    fontFamily_ = family;
    fontHeight_ = pixelHeight;
    if (gtk_ == nullptr) return;
    std::string sheet = "* { ";
    if (!family.empty()) sheet += "font-family: \"" + cssFamily(family) + "\"; ";
    if (pixelHeight > 0) sheet += "font-size: " + std::to_string(pixelHeight) + "px; ";
    // The controls take the heights the dialog gives them.
    sheet +=
        "} entry, button, combobox button, combobox entry { min-height: 0; padding-top: 0; padding-bottom: 0; }"
        " button { padding-left: 4px; padding-right: 4px; }";
    if (gtk_->css == nullptr) gtk_->css = gtk_css_provider_new();
    (void)gtk_css_provider_load_from_data(gtk_->css, sheet.c_str(), -1, nullptr);
    gtk_->style(gtk_->window);
}

Point DialogWindow::measureText(const std::string& text) const {
    PangoFontMap* map = pango_cairo_font_map_get_default();
    PangoContext* context = pango_font_map_create_context(map);
    PangoLayout* layout = pango_layout_new(context);
    PangoFontDescription* font = pango_font_description_new();
    pango_font_description_set_family(font, fontFamily_.empty() ? "Sans" : fontFamily_.c_str());
    pango_font_description_set_absolute_size(font, (fontHeight_ > 0 ? fontHeight_ : 13) * double(PANGO_SCALE));
    pango_layout_set_font_description(layout, font);
    pango_layout_set_text(layout, text.c_str(), -1);
    int width = 0, height = 0;
    pango_layout_get_pixel_size(layout, &width, &height);
    pango_font_description_free(font);
    g_object_unref(layout);
    g_object_unref(context);
    return {width, height};
}

void DialogWindow::setClientSize(int32_t width, int32_t height) {
    clientWidth_ = width;
    clientHeight_ = height;
    if (gtk_ != nullptr) {
        gtk_widget_set_size_request(gtk_->fixed, width, height);
        gtk_window_resize(GTK_WINDOW(gtk_->window), std::max(width, 1), std::max(height, 1));
    }
}

void DialogWindow::moveTo(Point screen) {
    position_ = screen;
    if (gtk_ != nullptr) gtk_window_move(GTK_WINDOW(gtk_->window), screen.x, screen.y);
}

void DialogWindow::createControl(const DialogControlSpec& spec) {
    auto control = std::make_unique<Control>();
    control->spec = spec;
    control->dialog = this;
    if (focused_ == 0 && spec.kind != DialogControlKind::Static) focused_ = spec.id;
    Control* c = control.get();
    controls_.push_back(std::move(control));
    if (gtk_ == nullptr) return;

    GtkWidget* widget = nullptr;
    switch (spec.kind) {
    case DialogControlKind::Static: {
        widget = gtk_label_new(spec.text.c_str());
        gtk_label_set_xalign(GTK_LABEL(widget), 0.0f);
        gtk_label_set_yalign(GTK_LABEL(widget), spec.centreVertically ? 0.5f : 0.0f);
        gtk_label_set_ellipsize(GTK_LABEL(widget), PANGO_ELLIPSIZE_END);
        break;
    }
    case DialogControlKind::Edit:
        widget = gtk_entry_new();
        c->entry = widget;
        break;
    case DialogControlKind::EditCombo:
        widget = gtk_combo_box_text_new_with_entry();
        c->entry = gtk_bin_get_child(GTK_BIN(widget));
        break;
    case DialogControlKind::DropList:
        widget = gtk_combo_box_text_new();
        c->changed = g_signal_connect(widget, "changed", G_CALLBACK(DialogSignals::dropChanged), c);
        break;
    case DialogControlKind::Button:
        widget = gtk_button_new_with_label(spec.text.c_str());
        g_signal_connect(widget, "clicked", G_CALLBACK(DialogSignals::clicked), c);
        break;
    }
    c->widget = widget;
    gtk_->style(widget);
    if (c->entry != nullptr) {
        gtk_->style(c->entry);
        gtk_entry_set_text(GTK_ENTRY(c->entry), spec.text.c_str());
        gtk_entry_set_width_chars(GTK_ENTRY(c->entry), 1);
        if (spec.digitsOnly) {
            g_signal_connect(c->entry, "insert-text", G_CALLBACK(DialogSignals::digitsOnly), nullptr);
            gtk_entry_set_input_purpose(GTK_ENTRY(c->entry), GTK_INPUT_PURPOSE_DIGITS);
        }
        if (spec.noInputMethod) g_object_set(c->entry, "im-module", "gtk-im-context-simple", nullptr);
        c->changed = g_signal_connect(c->entry, "changed", G_CALLBACK(DialogSignals::fieldChanged), c);
        g_signal_connect(c->entry, "activate", G_CALLBACK(DialogSignals::activated), c);
        g_signal_connect(c->entry, "focus-in-event", G_CALLBACK(DialogSignals::focusIn), c);
    } else if (spec.kind != DialogControlKind::Static) {
        g_signal_connect(widget, "focus-in-event", G_CALLBACK(DialogSignals::focusIn), c);
    }
    if (spec.kind == DialogControlKind::EditCombo) {
        // The drop-down button stays a small square beside the field.
        GList* children = gtk_container_get_children(GTK_CONTAINER(widget));
        for (GList* l = children; l != nullptr; l = l->next) gtk_->style(GTK_WIDGET(l->data));
        g_list_free(children);
    }
    gtk_widget_set_size_request(widget, std::max(spec.width, 1), std::max(spec.height, 1));
    gtk_fixed_put(GTK_FIXED(gtk_->fixed), widget, spec.x, spec.y);
    gtk_widget_show(widget);
}

DialogWindow::Control* DialogWindow::find(int32_t id) {
    for (auto& c : controls_)
        if (c->spec.id == id) return c.get();
    return nullptr;
}

const DialogWindow::Control* DialogWindow::find(int32_t id) const {
    for (const auto& c : controls_)
        if (c->spec.id == id) return c.get();
    return nullptr;
}

bool DialogWindow::hasControl(int32_t id) const { return find(id) != nullptr; }

std::vector<int32_t> DialogWindow::controlIds() const {
    std::vector<int32_t> ids;
    for (const auto& c : controls_) ids.push_back(c->spec.id);
    return ids;
}

const DialogControlSpec* DialogWindow::control(int32_t id) const {
    const Control* c = find(id);
    return c != nullptr ? &c->spec : nullptr;
}

Rect DialogWindow::controlScreenRect(int32_t id) const {
    const Control* c = find(id);
    if (c == nullptr) return {};
    Point origin = position_;
    if (gtk_ != nullptr && c->widget != nullptr) {
        GdkWindow* window = gtk_widget_get_window(gtk_->window);
        int x = 0, y = 0, wx = 0, wy = 0;
        if (window != nullptr) gdk_window_get_origin(window, &x, &y);
        if (gtk_widget_translate_coordinates(c->widget, gtk_->window, 0, 0, &wx, &wy)) {
            GtkAllocation a;
            gtk_widget_get_allocation(c->widget, &a);
            return {x + wx, y + wy, x + wx + a.width, y + wy + a.height};
        }
        origin = {x, y};
    }
    return {origin.x + c->spec.x, origin.y + c->spec.y, origin.x + c->spec.x + c->spec.width,
            origin.y + c->spec.y + c->spec.height};
}

std::string DialogWindow::text(int32_t id) const {
    const Control* c = find(id);
    if (c == nullptr) return {};
    if (c->spec.kind == DialogControlKind::DropList)
        return c->selection >= 0 && c->selection < int32_t(c->choices.size()) ? c->choices[c->selection] : "";
    return c->spec.text;
}

void DialogWindow::setText(int32_t id, const std::string& text) {
    Control* c = find(id);
    if (c == nullptr) return;
    switch (c->spec.kind) {
    case DialogControlKind::Static:
        c->spec.text = text;
        if (c->widget != nullptr) gtk_label_set_text(GTK_LABEL(c->widget), text.c_str());
        return;
    case DialogControlKind::Button:
        c->spec.text = text;
        if (c->widget != nullptr) gtk_button_set_label(GTK_BUTTON(c->widget), text.c_str());
        return;
    case DialogControlKind::DropList: {
        const auto at = std::find(c->choices.begin(), c->choices.end(), text);
        setSelection(id, at == c->choices.end() ? -1 : int32_t(at - c->choices.begin()));
        return;
    }
    case DialogControlKind::Edit:
    case DialogControlKind::EditCombo:
        c->spec.text = text;
        if (c->entry != nullptr) {
            // One update for the whole change, as a typed text sends.
            g_signal_handler_block(c->entry, c->changed);
            gtk_entry_set_text(GTK_ENTRY(c->entry), text.c_str());
            g_signal_handler_unblock(c->entry, c->changed);
        }
        send(id, kDialogEditUpdate);
        return;
    }
}

std::vector<std::string> DialogWindow::choices(int32_t id) const {
    const Control* c = find(id);
    return c != nullptr ? c->choices : std::vector<std::string>{};
}

void DialogWindow::clearChoices(int32_t id) {
    Control* c = find(id);
    if (c == nullptr) return;
    c->choices.clear();
    if (c->widget != nullptr && (c->spec.kind == DialogControlKind::DropList ||
                                 c->spec.kind == DialogControlKind::EditCombo)) {
        if (c->spec.kind == DialogControlKind::DropList) g_signal_handler_block(c->widget, c->changed);
        gtk_combo_box_text_remove_all(GTK_COMBO_BOX_TEXT(c->widget));
        if (c->spec.kind == DialogControlKind::DropList) g_signal_handler_unblock(c->widget, c->changed);
    }
    if (c->spec.kind == DialogControlKind::DropList) c->selection = -1;
}

void DialogWindow::addChoice(int32_t id, const std::string& text) {
    Control* c = find(id);
    if (c == nullptr) return;
    c->choices.push_back(text);
    if (c->widget != nullptr && (c->spec.kind == DialogControlKind::DropList ||
                                 c->spec.kind == DialogControlKind::EditCombo))
        gtk_combo_box_text_append_text(GTK_COMBO_BOX_TEXT(c->widget), text.c_str());
}

int32_t DialogWindow::selection(int32_t id) const {
    const Control* c = find(id);
    return c != nullptr ? c->selection : -1;
}

void DialogWindow::setSelection(int32_t id, int32_t index) {
    Control* c = find(id);
    if (c == nullptr || c->spec.kind != DialogControlKind::DropList) return;
    if (index < -1 || index >= int32_t(c->choices.size())) index = -1;
    c->selection = index;
    if (c->widget != nullptr) {
        g_signal_handler_block(c->widget, c->changed);
        gtk_combo_box_set_active(GTK_COMBO_BOX(c->widget), index);
        g_signal_handler_unblock(c->widget, c->changed);
    }
}

void DialogWindow::focus(int32_t id) {
    Control* c = find(id);
    if (c == nullptr) return;
    focused_ = id;
    if (c->widget != nullptr) gtk_widget_grab_focus(c->entry != nullptr ? c->entry : c->widget);
}

void DialogWindow::choose(int32_t id, int32_t index) {
    Control* c = find(id);
    if (c == nullptr) return;
    if (c->spec.kind == DialogControlKind::EditCombo) {
        if (index >= 0 && index < int32_t(c->choices.size())) setText(id, c->choices[index]);
        return;
    }
    setSelection(id, index);
    send(id, kDialogSelectionChange);
}

void DialogWindow::press(int32_t id) {
    if (id != kDialogIdOk && id != kDialogIdCancel) focus(id);
    send(id, kDialogClicked);
}

}  // namespace Platform::window
