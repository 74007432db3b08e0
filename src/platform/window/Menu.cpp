#include "platform/window/Menu.h"

#include <memory>
#include <mutex>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include <gtk/gtk.h>

#include "platform/window/GtkRuntime.h"
#include "platform/window/MessageQueue.h"
#include "platform/window/TopLevel.h"
#include "platform/window/WindowData.h"

namespace Platform::window {

struct MenuItem {
    std::string text;
    uint32_t id = 0;
    bool separator = false;
    bool enabled = true;
    bool checked = false;
    bool radio = false;
    MenuHandle sub = nullptr;
};

struct MenuData {
    bool bar = false;
    std::vector<MenuItem> items;
};

namespace {

constexpr uint32_t kWmInitMenuPopup = 0x0117;

// Menus are made and used on the UI thread; the lock only guards the tables.
std::mutex& tableLock() {
    static std::mutex lock;
    return lock;
}
std::unordered_set<MenuHandle>& liveMenus() {
    static std::unordered_set<MenuHandle> menus;
    return menus;
}
std::unordered_map<WindowHandle, MenuHandle>& windowMenus() {
    static std::unordered_map<WindowHandle, MenuHandle> menus;
    return menus;
}
MenuAnswerHook& answerHook() {
    static MenuAnswerHook hook;
    return hook;
}

bool live(MenuHandle menu) {
    std::lock_guard guard(tableLock());
    return menu && liveMenus().count(menu) != 0;
}

MenuHandle make(bool bar) {
    auto* menu = new MenuData;
    menu->bar = bar;
    std::lock_guard guard(tableLock());
    liveMenus().insert(menu);
    return menu;
}

void destroyTree(MenuHandle menu) {
    for (auto& item : menu->items)
        if (item.sub) destroyTree(item.sub);
    {
        std::lock_guard guard(tableLock());
        liveMenus().erase(menu);
    }
    delete menu;
}

MenuItem* findById(MenuHandle menu, uint32_t id) {
    for (auto& item : menu->items) {
        if (item.sub) {
            if (auto* found = findById(item.sub, id)) return found;
        } else if (!item.separator && item.id == id) {
            return &item;
        }
    }
    return nullptr;
}

MenuItem* itemById(MenuHandle menu, uint32_t id) { return live(menu) ? findById(menu, id) : nullptr; }

MenuItem* itemAt(MenuHandle menu, int32_t position) {
    if (!live(menu) || position < 0 || position >= static_cast<int32_t>(menu->items.size())) return nullptr;
    return &menu->items[static_cast<size_t>(position)];
}

// The on-screen bar of a window: a GtkMenuBar above the drawing area whose
// popups are filled from the menu data each time they open.
struct ScreenBar {
    GtkWidget* bar = nullptr;
};

std::unordered_map<WindowHandle, ScreenBar>& screenBars() {
    static std::unordered_map<WindowHandle, ScreenBar> bars;
    return bars;
}

// "&x" marks a mnemonic; "&&" is a plain "&"; GTK's own "_" is doubled.
std::string mnemonicText(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&' && i + 1 < text.size()) {
            out += text[i + 1] == '&' ? "&" : "_";
            if (text[i + 1] == '&') ++i;
        } else if (text[i] == '_') {
            out += "__";
        } else {
            out += text[i];
        }
    }
    return out;
}

struct ItemTarget {
    WindowHandle window;
    uint32_t id;
};

void onItemActivate(GtkMenuItem*, gpointer data) {
    auto* target = static_cast<ItemTarget*>(data);
    if (target->window != nullptr && WindowData::isLive(target->window))
        postMessage(target->window, kWmCommand, target->id & 0xFFFF, 0);
}

void freeTarget(gpointer data, GClosure*) { delete static_cast<ItemTarget*>(data); }

void fillGtkMenu(GtkWidget* gtkMenu, MenuHandle menu, WindowHandle window);

GtkWidget* makeItem(const MenuItem& item, WindowHandle window) {
    if (item.separator) return gtk_separator_menu_item_new();
    const size_t tab = item.text.find('\t');
    const std::string label = mnemonicText(item.text.substr(0, tab));
    GtkWidget* widget = nullptr;
    if (item.sub) {
        if (item.checked || item.radio) {
            widget = gtk_check_menu_item_new_with_mnemonic(label.c_str());
            gtk_check_menu_item_set_draw_as_radio(GTK_CHECK_MENU_ITEM(widget), item.radio);
            gtk_check_menu_item_set_active(GTK_CHECK_MENU_ITEM(widget), item.checked);
        } else {
            widget = gtk_menu_item_new_with_mnemonic(label.c_str());
        }
        GtkWidget* sub = gtk_menu_new();
        fillGtkMenu(sub, item.sub, window);
        gtk_menu_item_set_submenu(GTK_MENU_ITEM(widget), sub);
    } else {
        if (item.checked || item.radio) {
            widget = gtk_check_menu_item_new_with_mnemonic(label.c_str());
            gtk_check_menu_item_set_draw_as_radio(GTK_CHECK_MENU_ITEM(widget), item.radio);
            gtk_check_menu_item_set_active(GTK_CHECK_MENU_ITEM(widget), item.checked);
        } else {
            widget = gtk_menu_item_new_with_mnemonic(label.c_str());
        }
        if (tab != std::string::npos) {
            // The key name right-aligned after the label.
            GtkWidget* child = gtk_bin_get_child(GTK_BIN(widget));
            g_object_ref(child);
            gtk_container_remove(GTK_CONTAINER(widget), child);
            GtkWidget* box = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 24);
            gtk_box_pack_start(GTK_BOX(box), child, TRUE, TRUE, 0);
            g_object_unref(child);
            GtkWidget* key = gtk_label_new(item.text.substr(tab + 1).c_str());
            gtk_widget_set_halign(key, GTK_ALIGN_END);
            gtk_box_pack_end(GTK_BOX(box), key, FALSE, FALSE, 0);
            gtk_container_add(GTK_CONTAINER(widget), box);
        }
        g_signal_connect_data(widget, "activate", G_CALLBACK(onItemActivate), new ItemTarget{window, item.id},
                              freeTarget, GConnectFlags(0));
    }
    gtk_widget_set_sensitive(widget, item.enabled);
    return widget;
}

void fillGtkMenu(GtkWidget* gtkMenu, MenuHandle menu, WindowHandle window) {
    GList* children = gtk_container_get_children(GTK_CONTAINER(gtkMenu));
    for (GList* c = children; c != nullptr; c = c->next) gtk_widget_destroy(GTK_WIDGET(c->data));
    g_list_free(children);
    if (!live(menu)) return;
    for (const auto& item : menu->items) gtk_menu_shell_append(GTK_MENU_SHELL(gtkMenu), makeItem(item, window));
    gtk_widget_show_all(gtkMenu);
}

// A top item is about to open its popup: the window refreshes the menu
// data, then the popup shows it.
void onTopSelect(GtkMenuItem* top, gpointer data) {
    auto* window = static_cast<WindowHandle>(data);
    if (!WindowData::isLive(window)) return;
    MenuHandle bar = getWindowMenu(window);
    const int32_t position = GPOINTER_TO_INT(g_object_get_data(G_OBJECT(top), "velmo-position"));
    MenuHandle popup = getSubMenu(bar, position);
    GtkWidget* gtkMenu = gtk_menu_item_get_submenu(top);
    if (!popup || !gtkMenu) return;
    sendMessage(window, 0x0117, reinterpret_cast<uintptr_t>(popup), position);
    fillGtkMenu(gtkMenu, popup, window);
    // Opened with the mouse, the popup is on screen already, sized and placed
    // for what it held before: it opens again with its items.
    if (gtk_widget_get_mapped(gtkMenu)) {
        gtk_menu_item_deselect(top);
        gtk_menu_item_select(top);
    }
}

void fillScreenBar(WindowHandle window, GtkWidget* gtkBar, MenuHandle bar) {
    GList* children = gtk_container_get_children(GTK_CONTAINER(gtkBar));
    for (GList* c = children; c != nullptr; c = c->next) gtk_widget_destroy(GTK_WIDGET(c->data));
    g_list_free(children);
    int32_t position = 0;
    for (const auto& item : bar->items) {
        GtkWidget* top = gtk_menu_item_new_with_mnemonic(mnemonicText(item.text).c_str());
        g_object_set_data(G_OBJECT(top), "velmo-position", GINT_TO_POINTER(position));
        if (item.sub) {
            GtkWidget* sub = gtk_menu_new();
            // An empty popup would not open at all: a placeholder until the refresh.
            gtk_menu_shell_append(GTK_MENU_SHELL(sub), gtk_separator_menu_item_new());
            gtk_menu_item_set_submenu(GTK_MENU_ITEM(top), sub);
            g_signal_connect(top, "activate", G_CALLBACK(onTopSelect), window);
        }
        gtk_menu_shell_append(GTK_MENU_SHELL(gtkBar), top);
        ++position;
    }
    gtk_widget_show_all(gtkBar);
}

// The bar goes with its window's widgets: forget it then.
void onBarDestroyed(GtkWidget* widget, gpointer data) {
    auto it = screenBars().find(static_cast<WindowHandle>(data));
    if (it != screenBars().end() && it->second.bar == widget) screenBars().erase(it);
}

void detachScreenBar(WindowHandle window) {
    auto it = screenBars().find(window);
    if (it == screenBars().end()) return;
    GtkWidget* bar = it->second.bar;
    screenBars().erase(it);
    gtk_widget_destroy(bar);
}

void attachScreenBar(WindowHandle window, MenuHandle bar) {
    if (!gtk::onUiThread() || !WindowData::isLive(window) || window->toplevel == nullptr) return;
    detachScreenBar(window);
    GtkWidget* child = gtk_bin_get_child(GTK_BIN(window->toplevel));
    GtkWidget* box = nullptr;
    if (child == window->area) {
        // The first bar: the area moves into a box below it.
        box = gtk_box_new(GTK_ORIENTATION_VERTICAL, 0);
        g_object_ref(window->area);
        gtk_container_remove(GTK_CONTAINER(window->toplevel), window->area);
        gtk_box_pack_end(GTK_BOX(box), window->area, TRUE, TRUE, 0);
        g_object_unref(window->area);
        gtk_container_add(GTK_CONTAINER(window->toplevel), box);
        gtk_widget_show(box);
    } else {
        box = child;
    }
    GtkWidget* gtkBar = gtk_menu_bar_new();
    gtk_box_pack_start(GTK_BOX(box), gtkBar, FALSE, FALSE, 0);
    fillScreenBar(window, gtkBar, bar);
    screenBars()[window].bar = gtkBar;
    g_signal_connect(gtkBar, "destroy", G_CALLBACK(onBarDestroyed), window);
}

}  // namespace

MenuHandle createMenu() { return make(true); }
MenuHandle createPopupMenu() { return make(false); }

bool destroyMenu(MenuHandle menu) {
    if (!live(menu)) return false;
    std::vector<WindowHandle> users;
    {
        std::lock_guard guard(tableLock());
        for (auto it = windowMenus().begin(); it != windowMenus().end();) {
            if (it->second == menu) {
                users.push_back(it->first);
                it = windowMenus().erase(it);
            } else {
                ++it;
            }
        }
    }
    if (gtk::onUiThread())
        for (WindowHandle window : users) detachScreenBar(window);
    destroyTree(menu);
    return true;
}

bool isMenu(MenuHandle menu) { return live(menu); }

bool appendMenuString(MenuHandle menu, uint32_t id, const std::string& text) {
    if (!live(menu)) return false;
    MenuItem item;
    item.text = text;
    item.id = id;
    menu->items.push_back(std::move(item));
    return true;
}

bool appendMenuSeparator(MenuHandle menu) {
    if (!live(menu)) return false;
    MenuItem item;
    item.separator = true;
    menu->items.push_back(std::move(item));
    return true;
}

bool appendSubMenu(MenuHandle menu, MenuHandle sub, const std::string& text) {
    if (!live(menu) || !live(sub) || sub == menu) return false;
    MenuItem item;
    item.text = text;
    item.sub = sub;
    menu->items.push_back(std::move(item));
    return true;
}

bool deleteMenuAt(MenuHandle menu, int32_t position) {
    MenuItem* item = itemAt(menu, position);
    if (!item) return false;
    if (item->sub) destroyTree(item->sub);
    menu->items.erase(menu->items.begin() + position);
    return true;
}

int32_t getMenuItemCount(MenuHandle menu) { return live(menu) ? static_cast<int32_t>(menu->items.size()) : -1; }

MenuHandle getSubMenu(MenuHandle menu, int32_t position) {
    MenuItem* item = itemAt(menu, position);
    return item ? item->sub : nullptr;
}

bool getMenuStringAt(MenuHandle menu, int32_t position, std::string& text) {
    MenuItem* item = itemAt(menu, position);
    if (!item || item->separator) return false;
    text = item->text;
    return true;
}

bool setMenuStringAt(MenuHandle menu, int32_t position, const std::string& text) {
    MenuItem* item = itemAt(menu, position);
    if (!item || item->separator) return false;
    item->text = text;
    return true;
}

int32_t getMenuItemId(MenuHandle menu, int32_t position) {
    MenuItem* item = itemAt(menu, position);
    if (!item) return -1;
    return item->sub || item->separator ? 0 : static_cast<int32_t>(item->id);
}

bool checkMenuItemAt(MenuHandle menu, int32_t position, bool check) {
    MenuItem* item = itemAt(menu, position);
    if (!item || item->separator) return false;
    item->checked = check;
    return true;
}

bool setMenuItemRadioAt(MenuHandle menu, int32_t position, bool radio) {
    MenuItem* item = itemAt(menu, position);
    if (!item || item->separator) return false;
    item->radio = radio;
    return true;
}

bool isMenuItemCheckedAt(MenuHandle menu, int32_t position) {
    MenuItem* item = itemAt(menu, position);
    return item && item->checked;
}

bool getMenuString(MenuHandle menu, uint32_t id, std::string& text) {
    MenuItem* item = itemById(menu, id);
    if (!item) return false;
    text = item->text;
    return true;
}

bool setMenuString(MenuHandle menu, uint32_t id, const std::string& text) {
    MenuItem* item = itemById(menu, id);
    if (!item) return false;
    item->text = text;
    return true;
}

bool enableMenuItem(MenuHandle menu, uint32_t id, bool enable) {
    MenuItem* item = itemById(menu, id);
    if (!item) return false;
    item->enabled = enable;
    return true;
}

bool checkMenuItem(MenuHandle menu, uint32_t id, bool check) {
    MenuItem* item = itemById(menu, id);
    if (!item) return false;
    item->checked = check;
    return true;
}

bool setMenuItemRadio(MenuHandle menu, uint32_t id, bool radio) {
    MenuItem* item = itemById(menu, id);
    if (!item) return false;
    item->radio = radio;
    return true;
}

bool isMenuItemEnabled(MenuHandle menu, uint32_t id) {
    MenuItem* item = itemById(menu, id);
    return item && item->enabled;
}

bool isMenuItemChecked(MenuHandle menu, uint32_t id) {
    MenuItem* item = itemById(menu, id);
    return item && item->checked;
}

bool isMenuItemRadio(MenuHandle menu, uint32_t id) {
    MenuItem* item = itemById(menu, id);
    return item && item->radio;
}

bool setWindowMenu(WindowHandle window, MenuHandle menu) {
    if (!window || (menu && !live(menu))) return false;
    {
        std::lock_guard guard(tableLock());
        if (menu)
            windowMenus()[window] = menu;
        else
            windowMenus().erase(window);
    }
    if (gtk::onUiThread()) {
        if (menu)
            attachScreenBar(window, menu);
        else
            detachScreenBar(window);
    }
    return true;
}

bool drawMenuBar(WindowHandle window) {
    MenuHandle bar = getWindowMenu(window);
    if (!bar) return false;
    if (gtk::onUiThread()) {
        auto it = screenBars().find(window);
        if (it != screenBars().end() && WindowData::isLive(window)) fillScreenBar(window, it->second.bar, bar);
    }
    return true;
}

MenuHandle getWindowMenu(WindowHandle window) {
    std::lock_guard guard(tableLock());
    auto it = windowMenus().find(window);
    return it == windowMenus().end() ? nullptr : it->second;
}

uint32_t openWindowMenuPopup(WindowHandle window, int32_t barPosition, uint32_t chosenId) {
    MenuHandle bar = getWindowMenu(window);
    MenuHandle popup = getSubMenu(bar, barPosition);
    if (!popup) return 0;
    sendMessage(window, kWmInitMenuPopup, reinterpret_cast<uintptr_t>(popup), barPosition);
    if (chosenId == 0 || !isMenuItemEnabled(popup, chosenId)) return 0;
    postMessage(window, kWmCommand, chosenId & 0xFFFF, 0);
    return chosenId;
}

namespace {

struct Tracking {
    GMainLoop* loop = nullptr;
    uint32_t chosen = 0;
};

void onTrackedDeactivate(GtkMenuShell*, gpointer data) { g_main_loop_quit(static_cast<Tracking*>(data)->loop); }

void onTrackedActivate(GtkMenuItem* item, gpointer data) {
    static_cast<Tracking*>(data)->chosen =
        static_cast<uint32_t>(GPOINTER_TO_UINT(g_object_get_data(G_OBJECT(item), "velmo-id")));
}

// Tags the leaf items of a filled GtkMenu with their ids for the tracking.
void tagItems(GtkWidget* gtkMenu, MenuHandle menu, Tracking& tracking) {
    GList* children = gtk_container_get_children(GTK_CONTAINER(gtkMenu));
    size_t index = 0;
    for (GList* c = children; c != nullptr && index < menu->items.size(); c = c->next, ++index) {
        const MenuItem& item = menu->items[index];
        GtkWidget* widget = GTK_WIDGET(c->data);
        if (item.sub) {
            if (GtkWidget* sub = gtk_menu_item_get_submenu(GTK_MENU_ITEM(widget))) tagItems(sub, item.sub, tracking);
        } else if (!item.separator) {
            g_object_set_data(G_OBJECT(widget), "velmo-id", GUINT_TO_POINTER(item.id));
            g_signal_connect(widget, "activate", G_CALLBACK(onTrackedActivate), &tracking);
        }
    }
    g_list_free(children);
}

// While a popup holds GTK's grab, GTK drops a close request the window manager
// sends to the owner. It is queued here instead, so the owner's procedure
// sees it once the popup has closed.
void whileTracking(GdkEvent* event, gpointer data) {
    auto* owner = static_cast<WindowHandle>(data);
    if (event->type == GDK_DELETE && WindowData::isLive(owner) && owner->toplevel != nullptr) {
        GtkWidget* widget = gtk_get_event_widget(event);
        GtkWidget* grab = gtk_grab_get_current();
        if (widget != nullptr && gtk_widget_get_toplevel(widget) == owner->toplevel && grab != nullptr &&
            gtk_widget_get_toplevel(grab) != owner->toplevel)
            postMessage(owner, kWmClose, 0, 0);
    }
    gtk_main_do_event(event);
}

// Shows the popup at the screen point over the owner and runs a nested loop
// until it closes.
uint32_t trackOnScreen(MenuHandle menu, const Point& at, WindowHandle owner) {
    if (!gtk::onUiThread() || !WindowData::isLive(owner) || owner->area == nullptr ||
        !gtk_widget_get_realized(owner->area))
        return 0;
    Tracking tracking;
    GtkWidget* gtkMenu = gtk_menu_new();
    // The ids are taken here, not posted to the window.
    fillGtkMenu(gtkMenu, menu, nullptr);
    tagItems(gtkMenu, menu, tracking);
    Point client = at;
    screenToClient(owner, client);
    tracking.loop = g_main_loop_new(nullptr, FALSE);
    g_signal_connect(gtkMenu, "deactivate", G_CALLBACK(onTrackedDeactivate), &tracking);
    gtk_menu_attach_to_widget(GTK_MENU(gtkMenu), owner->area, nullptr);
    GdkWindow* area = gtk_widget_get_window(owner->area);
    // The grab needs an event with a pointer: the one being handled, else one made for it.
    GdkEvent* trigger = gtk_get_current_event();
    if (trigger == nullptr) {
        trigger = gdk_event_new(GDK_BUTTON_PRESS);
        trigger->button.window = GDK_WINDOW(g_object_ref(area));
        trigger->button.time = GDK_CURRENT_TIME;
        trigger->button.button = 3;
        GdkSeat* seat = gdk_display_get_default_seat(gdk_window_get_display(area));
        if (seat != nullptr) gdk_event_set_device(trigger, gdk_seat_get_pointer(seat));
    }
    GdkRectangle rect{client.x, client.y, 1, 1};
    gtk_menu_popup_at_rect(GTK_MENU(gtkMenu), area, &rect, GDK_GRAVITY_NORTH_WEST, GDK_GRAVITY_NORTH_WEST, trigger);
    gdk_event_free(trigger);
    if (gtk_widget_get_visible(gtkMenu)) {
        gdk_event_handler_set(whileTracking, owner, nullptr);
        g_main_loop_run(tracking.loop);
        gdk_event_handler_set(reinterpret_cast<GdkEventFunc>(gtk_main_do_event), nullptr, nullptr);
    }
    g_main_loop_unref(tracking.loop);
    gtk_widget_destroy(gtkMenu);
    return tracking.chosen;
}

}  // namespace

uint32_t trackPopupMenu(MenuHandle menu, const Point& at, WindowHandle owner) {
    if (!live(menu)) return 0;
    MenuAnswerHook hook;
    {
        std::lock_guard guard(tableLock());
        hook = answerHook();
    }
    const uint32_t id = hook ? hook(menu, at) : trackOnScreen(menu, at, owner);
    return id != 0 && isMenuItemEnabled(menu, id) ? id : 0;
}

void setMenuAnswerHook(MenuAnswerHook hook) {
    std::lock_guard guard(tableLock());
    answerHook() = std::move(hook);
}

}  // namespace Platform::window
