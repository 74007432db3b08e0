#include "platform/window/DialogWindow.h"

#include <gtk/gtk.h>
#include <pango/pangocairo.h>

#include <algorithm>
#include <utility>

#include "platform/os/ThreadSafety.h"
#include "platform/window/GtkRuntime.h"
#include "platform/window/KeyMap.h"
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
    // List views.
    std::vector<DialogListColumn> columns;
    std::vector<DialogListLine> lines;
    int32_t top = 0;
    bool pressed = false;  // a button went down over the lines and is not up yet
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
        control->dialog->send(control->spec.id, kDialogSetFocus);
        return FALSE;
    }
    static gboolean focusOut(GtkWidget*, GdkEvent*, gpointer data) {
        auto* control = static_cast<DialogWindow::Control*>(data);
        control->dialog->send(control->spec.id, kDialogKillFocus);
        return FALSE;
    }
    static gboolean captureKey(GtkWidget*, GdkEventKey* event, gpointer data) {
        auto* control = static_cast<DialogWindow::Control*>(data);
        DialogWindow::Key key;
        key.virtualKey = KeyMap::virtualKeyFromKeyval(gdk_keyval_to_lower(event->keyval));
        if (key.virtualKey == 0) key.virtualKey = KeyMap::virtualKeyFromKeyval(event->keyval);
        key.ctrl = (event->state & GDK_CONTROL_MASK) != 0;
        key.shift = (event->state & GDK_SHIFT_MASK) != 0;
        key.alt = (event->state & GDK_MOD1_MASK) != 0;
        control->dialog->pressKey(control->spec.id, key);
        return TRUE;  // nothing is typed, no binding runs
    }
    static gboolean swallow(GtkWidget*, GdkEvent*, gpointer) { return TRUE; }
    // The cue of an empty field, greyed, also while it has the focus.
    static gboolean cueDraw(GtkWidget* widget, cairo_t* cr, gpointer data) {
        auto* control = static_cast<DialogWindow::Control*>(data);
        if (gtk_entry_get_text_length(GTK_ENTRY(widget)) != 0) return FALSE;
        PangoLayout* layout = gtk_widget_create_pango_layout(widget, control->spec.cue.c_str());
        int x = 0, y = 0;
        gtk_entry_get_layout_offsets(GTK_ENTRY(widget), &x, &y);
        int width = 0, height = 0;
        pango_layout_get_pixel_size(layout, &width, &height);
        GtkAllocation a;
        gtk_widget_get_allocation(widget, &a);
        cairo_set_source_rgb(cr, 0.55, 0.55, 0.55);
        cairo_move_to(cr, x + 2, (a.height - height) / 2.0);
        pango_cairo_show_layout(cr, layout);
        g_object_unref(layout);
        return FALSE;
    }
    static gboolean swallowRightButton(GtkWidget*, GdkEventButton* event, gpointer) { return event->button == 3; }

    // List views draw themselves: a header, then the lines from the first shown.
    static gboolean listDraw(GtkWidget* widget, cairo_t* cr, gpointer data) {
        auto* c = static_cast<DialogWindow::Control*>(data);
        DialogWindow& d = *c->dialog;
        const int32_t line = d.listLineHeight();
        const int width = gtk_widget_get_allocated_width(widget);
        const int height = gtk_widget_get_allocated_height(widget);
        cairo_set_source_rgb(cr, 1, 1, 1);
        cairo_paint(cr);
        PangoLayout* layout = pango_cairo_create_layout(cr);
        PangoFontDescription* font = pango_font_description_new();
        pango_font_description_set_family(font, d.fontFamily_.empty() ? "Sans" : d.fontFamily_.c_str());
        pango_font_description_set_absolute_size(font, (d.fontHeight_ > 0 ? d.fontHeight_ : 13) * double(PANGO_SCALE));
        pango_layout_set_font_description(layout, font);
        pango_layout_set_ellipsize(layout, PANGO_ELLIPSIZE_END);
        auto text = [&](const std::string& s, int32_t x, int32_t y, int32_t w) {
            pango_layout_set_text(layout, s.c_str(), -1);
            pango_layout_set_width(layout, std::max(1, w - 8) * PANGO_SCALE);
            int tw = 0, th = 0;
            pango_layout_get_pixel_size(layout, &tw, &th);
            cairo_move_to(cr, x + 4, y + (line - th) / 2);
            pango_cairo_show_layout(cr, layout);
        };
        // Header.
        cairo_set_source_rgb(cr, 0.93, 0.93, 0.93);
        cairo_rectangle(cr, 0, 0, width, line);
        cairo_fill(cr);
        int32_t x = 0;
        for (const auto& column : c->columns) {
            cairo_set_source_rgb(cr, 0, 0, 0);
            text(column.header, x, 0, column.width);
            cairo_set_source_rgb(cr, 0.7, 0.7, 0.7);
            cairo_rectangle(cr, x + column.width - 0.5, 0, 1, line);
            cairo_fill(cr);
            x += column.width;
        }
        const int32_t selected = c->selection;
        for (int32_t n = c->top, y = line; n < int32_t(c->lines.size()) && y < height; ++n, y += line) {
            const DialogListLine& l = c->lines[size_t(n)];
            if (n == selected) {
                cairo_set_source_rgb(cr, 0.80, 0.88, 1.0);
                cairo_rectangle(cr, 0, y, x, line);
                cairo_fill(cr);
            }
            int32_t cx = 0;
            for (size_t col = 0; col < c->columns.size(); ++col) {
                int32_t left = cx;
                if (col == 0 && c->spec.checkBoxes) {
                    const int32_t box = line - 8;
                    cairo_set_source_rgb(cr, 0.3, 0.3, 0.3);
                    cairo_rectangle(cr, cx + 4.5, y + 4.5, box - 1, box - 1);
                    cairo_set_line_width(cr, 1);
                    cairo_stroke(cr);
                    if (l.checked) {
                        cairo_move_to(cr, cx + 4 + box * 0.2, y + 4 + box * 0.5);
                        cairo_line_to(cr, cx + 4 + box * 0.45, y + 4 + box * 0.75);
                        cairo_line_to(cr, cx + 4 + box * 0.8, y + 4 + box * 0.25);
                        cairo_set_line_width(cr, 2);
                        cairo_stroke(cr);
                    }
                    left += line;
                }
                cairo_set_source_rgb(cr, 0, 0, 0);
                if (col < l.cells.size()) text(l.cells[col], left, y, c->columns[col].width - (left - cx));
                cx += c->columns[col].width;
            }
            // Grid lines.
            cairo_set_source_rgb(cr, 0.85, 0.85, 0.85);
            cairo_rectangle(cr, 0, y + line - 1, x, 1);
            cairo_fill(cr);
        }
        cairo_set_source_rgb(cr, 0.85, 0.85, 0.85);
        for (int32_t cx = 0; const auto& column : c->columns) {
            cx += column.width;
            cairo_rectangle(cr, cx - 0.5, line, 1, height - line);
            cairo_fill(cr);
        }
        cairo_set_source_rgb(cr, 0.5, 0.5, 0.5);
        cairo_set_line_width(cr, 1);
        cairo_rectangle(cr, 0.5, 0.5, width - 1, height - 1);
        cairo_stroke(cr);
        pango_font_description_free(font);
        g_object_unref(layout);
        return TRUE;
    }
    static DialogListEvent hit(const DialogWindow::Control& c, int32_t lineHeight, double px, double py) {
        DialogListEvent e;
        const int32_t height = c.spec.height;
        if (py < lineHeight) {
            e.outside = -1;
            if (py >= 0) e.column = columnAt(c, px);
            return e;
        }
        if (py >= height) e.outside = 1;
        const int32_t line = c.top + int32_t((py - lineHeight) / lineHeight);
        if (e.outside == 0 && line >= 0 && line < int32_t(c.lines.size())) {
            e.column = columnAt(c, px);
            if (e.column >= 0) {
                e.line = line;
                e.onCheck = c.spec.checkBoxes && e.column == 0 && px < lineHeight;
            }
        }
        return e;
    }
    static int32_t columnAt(const DialogWindow::Control& c, double px) {
        int32_t x = 0;
        for (size_t i = 0; i < c.columns.size(); ++i) {
            if (px >= x && px < x + c.columns[i].width) return int32_t(i);
            x += c.columns[i].width;
        }
        return -1;
    }
    static gboolean listButton(GtkWidget*, GdkEventButton* event, gpointer data) {
        auto* c = static_cast<DialogWindow::Control*>(data);
        if (event->type != GDK_BUTTON_PRESS && event->type != GDK_BUTTON_RELEASE) return TRUE;
        const bool down = event->type == GDK_BUTTON_PRESS;
        DialogListEvent e = hit(*c, c->dialog->listLineHeight(), event->x, event->y);
        if (down && event->y >= 0 && event->y < c->dialog->listLineHeight()) {
            if (event->button == 1 && e.column >= 0) {
                e.kind = DialogListEvent::HeaderClick;
                c->dialog->listMouse(c->spec.id, e);
            }
            return TRUE;
        }
        if (event->button == 1)
            e.kind = down ? DialogListEvent::LeftDown : DialogListEvent::LeftUp;
        else if (event->button == 3)
            e.kind = down ? DialogListEvent::RightDown : DialogListEvent::RightUp;
        else
            return TRUE;
        c->pressed = down;
        c->dialog->listMouse(c->spec.id, e);
        return TRUE;
    }
    static gboolean listMotion(GtkWidget*, GdkEventMotion* event, gpointer data) {
        auto* c = static_cast<DialogWindow::Control*>(data);
        DialogListEvent e = hit(*c, c->dialog->listLineHeight(), event->x, event->y);
        if (!c->pressed && e.outside != 0) return TRUE;
        e.kind = DialogListEvent::Move;
        c->dialog->listMouse(c->spec.id, e);
        return TRUE;
    }
    static gboolean listScroll(GtkWidget*, GdkEventScroll* event, gpointer data) {
        auto* c = static_cast<DialogWindow::Control*>(data);
        if (event->direction == GDK_SCROLL_UP)
            c->dialog->scrollList(c->spec.id, -3);
        else if (event->direction == GDK_SCROLL_DOWN)
            c->dialog->scrollList(c->spec.id, 3);
        else if (event->direction == GDK_SCROLL_SMOOTH)
            c->dialog->scrollList(c->spec.id, event->delta_y > 0 ? 3 : event->delta_y < 0 ? -3 : 0);
        return TRUE;
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
        auto* dialog = static_cast<DialogWindow*>(data);
        // A key-capturing field takes Escape as a key.
        if (const auto* c = dialog->find(dialog->focused_);
            c != nullptr && c->spec.keyCapture && c->entry != nullptr && gtk_widget_has_focus(c->entry))
            return FALSE;
        dialog->send(kDialogIdCancel, kDialogClicked);
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
        for (const auto& c : dialog.controls_)
            if (c->spec.hidden && c->widget != nullptr) gtk_widget_hide(c->widget);
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
    case DialogControlKind::ListView:
        widget = gtk_drawing_area_new();
        gtk_widget_add_events(widget, GDK_BUTTON_PRESS_MASK | GDK_BUTTON_RELEASE_MASK | GDK_POINTER_MOTION_MASK |
                                          GDK_SCROLL_MASK | GDK_SMOOTH_SCROLL_MASK);
        g_signal_connect(widget, "draw", G_CALLBACK(DialogSignals::listDraw), c);
        g_signal_connect(widget, "button-press-event", G_CALLBACK(DialogSignals::listButton), c);
        g_signal_connect(widget, "button-release-event", G_CALLBACK(DialogSignals::listButton), c);
        g_signal_connect(widget, "motion-notify-event", G_CALLBACK(DialogSignals::listMotion), c);
        g_signal_connect(widget, "scroll-event", G_CALLBACK(DialogSignals::listScroll), c);
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
        g_signal_connect(c->entry, "focus-out-event", G_CALLBACK(DialogSignals::focusOut), c);
        if (spec.keyCapture) {
            g_signal_connect(c->entry, "key-press-event", G_CALLBACK(DialogSignals::captureKey), c);
            g_signal_connect(c->entry, "key-release-event", G_CALLBACK(DialogSignals::swallow), nullptr);
            g_signal_connect(c->entry, "button-press-event", G_CALLBACK(DialogSignals::swallowRightButton), nullptr);
        }
        if (!spec.cue.empty()) g_signal_connect_after(c->entry, "draw", G_CALLBACK(DialogSignals::cueDraw), c);
    } else if (spec.kind != DialogControlKind::Static && spec.kind != DialogControlKind::ListView) {
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
    if (!spec.hidden) gtk_widget_show(widget);
}

void DialogWindow::moveControl(int32_t id, const Rect& client) {
    Control* c = find(id);
    if (c == nullptr) return;
    c->spec.x = client.left;
    c->spec.y = client.top;
    c->spec.width = client.right - client.left;
    c->spec.height = client.bottom - client.top;
    if (c->widget != nullptr && gtk_ != nullptr) {
        gtk_widget_set_size_request(c->widget, std::max(c->spec.width, 1), std::max(c->spec.height, 1));
        gtk_fixed_move(GTK_FIXED(gtk_->fixed), c->widget, c->spec.x, c->spec.y);
    }
}

void DialogWindow::showControl(int32_t id, bool visible) {
    Control* c = find(id);
    if (c == nullptr) return;
    c->spec.hidden = !visible;
    if (c->widget == nullptr || gtk_ == nullptr) return;
    gtk_widget_set_visible(c->widget, visible);
    if (!visible) return;
    // A hidden widget kept no new size or place: give them again now it shows.
    gtk_widget_set_size_request(c->widget, std::max(c->spec.width, 1), std::max(c->spec.height, 1));
    gtk_fixed_move(GTK_FIXED(gtk_->fixed), c->widget, c->spec.x, c->spec.y);
    gtk_widget_queue_resize(c->widget);
}

namespace {
void redraw(GtkWidget* widget) {
    if (widget != nullptr) gtk_widget_queue_draw(widget);
}
}  // namespace

void DialogWindow::setListColumns(int32_t id, const std::vector<DialogListColumn>& columns) {
    Control* c = find(id);
    if (c == nullptr) return;
    c->columns = columns;
    redraw(c->widget);
}

void DialogWindow::setListLines(int32_t id, const std::vector<DialogListLine>& lines) {
    Control* c = find(id);
    if (c == nullptr) return;
    c->lines = lines;
    if (c->selection >= int32_t(lines.size())) c->selection = -1;
    scrollList(id, 0);
    redraw(c->widget);
}

void DialogWindow::setListLine(int32_t id, int32_t line, const DialogListLine& value) {
    Control* c = find(id);
    if (c == nullptr || line < 0 || line >= int32_t(c->lines.size())) return;
    c->lines[size_t(line)] = value;
    redraw(c->widget);
}

std::vector<DialogListLine> DialogWindow::listLines(int32_t id) const {
    const Control* c = find(id);
    return c != nullptr ? c->lines : std::vector<DialogListLine>{};
}

void DialogWindow::setListSelection(int32_t id, int32_t line) {
    Control* c = find(id);
    if (c == nullptr) return;
    if (line < -1 || line >= int32_t(c->lines.size())) line = -1;
    if (c->selection == line) return;
    c->selection = line;
    redraw(c->widget);
}

void DialogWindow::setListCursor(int32_t id, ListCursor cursor) {
    Control* c = find(id);
    if (c == nullptr || c->widget == nullptr) return;
    GdkWindow* window = gtk_widget_get_window(c->widget);
    if (window == nullptr) return;
    // Made once and kept for the life of the process.
    static GdkCursor* click = gdk_cursor_new_from_name(gdk_display_get_default(), "pointer");
    static GdkCursor* drag = gdk_cursor_new_from_name(gdk_display_get_default(), "grabbing");
    gdk_window_set_cursor(window, cursor == ListCursor::Click ? click : cursor == ListCursor::Drag ? drag : nullptr);
}

int32_t DialogWindow::listSelection(int32_t id) const { return selection(id); }

int32_t DialogWindow::listLineHeight() const {
    const int32_t measured = measureText("!#@/").y;
    return (measured > 0 ? measured : 13) + 6;
}

void DialogWindow::scrollList(int32_t id, int32_t lines) {
    Control* c = find(id);
    if (c == nullptr) return;
    const int32_t shown = std::max(1, c->spec.height / listLineHeight() - 1);
    const int32_t last = std::max(0, int32_t(c->lines.size()) - shown);
    const int32_t top = std::clamp(c->top + lines, 0, last);
    if (top == c->top) return;
    c->top = top;
    redraw(c->widget);
}

int32_t DialogWindow::listTop(int32_t id) const {
    const Control* c = find(id);
    return c != nullptr ? c->top : 0;
}

Rect DialogWindow::listCellRect(int32_t id, int32_t line, int32_t column) const {
    const Control* c = find(id);
    if (c == nullptr || line < 0 || line >= int32_t(c->lines.size()) || column < 0 ||
        column >= int32_t(c->columns.size()))
        return {};
    const int32_t h = listLineHeight();
    const int32_t y = c->spec.y + h * (1 + line - c->top);
    if (line < c->top || y + h > c->spec.y + c->spec.height) return {};
    int32_t x = c->spec.x;
    for (int32_t i = 0; i < column; ++i) x += c->columns[size_t(i)].width;
    int32_t width = c->columns[size_t(column)].width;
    if (column == 0 && c->spec.checkBoxes) {
        x += h;
        width -= h;
    }
    return {x, y, x + width, y + h};
}

void DialogWindow::listMouse(int32_t id, const DialogListEvent& event) {
    if (find(id) == nullptr) return;
    lastListEvent_ = event;
    send(id, kDialogListMouse);
}

void DialogWindow::pressKey(int32_t id, const Key& key) {
    const Control* c = find(id);
    if (c == nullptr || !c->spec.keyCapture) return;
    lastKey_ = key;
    send(id, kDialogKeyDown);
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
    case DialogControlKind::ListView:
        c->spec.text = text;
        return;
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
    if (c->widget != nullptr) {
        gtk_widget_grab_focus(c->entry != nullptr ? c->entry : c->widget);
        focused_ = id;
        return;
    }
    // Without widgets the focus moves here, with the notices a window would give.
    const int32_t before = focused_;
    if (before == id) return;
    focused_ = id;
    auto isField = [](const Control& f) {
        return f.spec.kind == DialogControlKind::Edit || f.spec.kind == DialogControlKind::EditCombo;
    };
    if (const Control* old = find(before); old != nullptr && isField(*old)) send(before, kDialogKillFocus);
    if (isField(*c) && focused_ == id) send(id, kDialogSetFocus);
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
