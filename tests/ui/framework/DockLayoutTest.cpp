// The dock layout of the main window with stand-in panels: the arrangement of
// the fractions, room for a panel that opens, the placement menu, separator
// hits, drags and reorders, and what the layout draws.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <limits>
#include <string>
#include <vector>

#include "core/TextConvert.h"
#include "platform/window/Menu.h"
#include "platform/window/TopLevel.h"
#include "ui/framework/DockFixture.h"
#include "ui/framework/PopupMenu.h"

namespace {

namespace W = Platform::window;
using Window::WindowClient;

struct Expected {
    const char* name;
    float left, top, right, bottom;
};

class DockLayout : public DockWindow {
protected:
    void expectPlacements(const std::vector<Expected>& expected, float tolerance = 0.0001f) {
        for (const Expected& e : expected) {
            const auto& p = panel(e.name).placement;
            EXPECT_NEAR(p.left, e.left, tolerance) << e.name;
            EXPECT_NEAR(p.top, e.top, tolerance) << e.name;
            EXPECT_NEAR(p.right, e.right, tolerance) << e.name;
            EXPECT_NEAR(p.bottom, e.bottom, tolerance) << e.name;
        }
    }
    // A client area whose layout is 1005 x 1000 pixels.
    void sizeWindow() {
        W::sendMessage(service->window, W::kWmSize, 0, W::makeLParam(1002, 1019));
        ASSERT_EQ(service->layoutWidth, 1005);
        ASSERT_EQ(service->layoutHeight, 1000);
    }
    // The menu item with the label, anywhere in the menu.
    static int32_t findItem(W::MenuHandle menu, const std::wstring& label) {
        for (int32_t i = 0; i < W::getMenuItemCount(menu); ++i) {
            if (W::MenuHandle sub = W::getSubMenu(menu, i)) {
                if (const int32_t id = findItem(sub, label)) return id;
                continue;
            }
            std::string text;
            if (W::getMenuStringAt(menu, i, text) && text == System::wideToUtf8(label))
                return W::getMenuItemId(menu, i);
        }
        return 0;
    }
};

TEST_F(DockLayout, TheDefaultPlacementsFillTheWindowAreaByArea) {
    addDefaultPanels();
    service->arrangeClients();
    expectPlacements({{"explorer:1", 0, 0, 0.2f, 0.7f},
                      {"scene.list", 0, 0.7f, 0.2f, 1},
                      {"object.list", 0.8f, 0, 1, 0.4286f},
                      {"setting", 0.8f, 0.4286f, 1, 1},
                      {"preview", 0.2f, 0, 0.8f, 0.7f},
                      {"edit", 0.2f, 0.7f, 0.8f, 1},
                      // Hidden panels keep their records.
                      {"setting.time", 0.5f, 0.7f, 0.8f, 1},
                      {"log", 0, 0.7f, 1, 1}});
}

TEST_F(DockLayout, OpeningAHiddenPanelMakesRoomWhereItsPlacementSays) {
    const struct {
        const char* open;
        std::vector<Expected> expected;
    } cases[] = {
        {"setting.color",
         {{"object.list", 0.8f, 0, 1, 0.3f}, {"setting", 0.8f, 0.3f, 1, 0.7f}, {"setting.color", 0.8f, 0.7f, 1, 1}}},
        {"setting.time", {{"edit", 0.2f, 0.7f, 0.5f, 1}, {"setting.time", 0.5f, 0.7f, 0.8f, 1}}},
        // The centre takes no room of its own, but its extents count for the areas before it.
        {"log",
         {{"explorer:1", 0, 0, 0.1667f, 0.7f},
          {"object.list", 0.8611f, 0, 1, 0.4286f},
          {"preview", 0.1667f, 0, 0.8611f, 0.7f},
          {"edit", 0.1667f, 0.85f, 0.8611f, 1},
          {"log", 0.1667f, 0.7f, 0.8611f, 0.85f}}},
        // Its centre lies where the first explorer's does: that one and the rest move down.
        {"explorer:2",
         {{"explorer:2", 0, 0, 0.2f, 0.7f}, {"explorer:1", 0, 0.7f, 0.2f, 0.91f}, {"scene.list", 0, 0.91f, 0.2f, 1}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.open);
        // A first start each time: the panels of the last case stored their places.
        stopServices();
        std::filesystem::remove(appData() / "velmo2.ini");
        startServices();
        addDefaultPanels();
        service->arrangeClients();
        WindowClient& opened = panel(c.open);
        service->makeRoomForClient(opened);
        opened.show(true);
        service->arrangeClients();
        expectPlacements(c.expected);
    }
}

TEST_F(DockLayout, AnAreaWithNoPanelAfterItTakesWhatIsLeftAndTheLastAreaItsOwnShare) {
    add("left", {0, 0, 0.3f, 1, WindowClient::Left, true});
    add("top", {0.3f, 0, 1, 0.5f, WindowClient::Top, true});
    add("bottom", {0.3f, 0.5f, 1, 1, WindowClient::Bottom, true});
    service->arrangeClients();
    expectPlacements({{"left", 0, 0, 0.3f, 1}, {"top", 0.3f, 0, 1, 0.5f}, {"bottom", 0.3f, 0.5f, 1, 1}});
    panel("bottom").show(false);
    service->arrangeClients();
    expectPlacements({{"left", 0, 0, 0.3f, 1}, {"top", 0.3f, 0, 1, 1}});

    // The first panel of the right area: everything shown is squeezed towards the left edge.
    WindowClient& right = add("right", {0.7f, 0, 1, 1, WindowClient::Right, false});
    service->makeRoomForClient(right);
    right.show(true);
    service->arrangeClients();
    expectPlacements({{"left", 0, 0, 0.21f, 1}, {"top", 0.21f, 0, 0.7f, 1}, {"right", 0.7f, 0, 1, 1}});
}

TEST_F(DockLayout, UnusablePlacementsFromTheSettingsFileAreRepaired) {
    stopServices();
    writeFile(appData() / "velmo2.ini",
              // Not-a-number and infinite fractions take their defaults; a right
              // edge left of the left one becomes a sliver.
              "[Window.preview]\r\nleft=nan\r\ntop=0\r\nright=inf\r\nbottom=-inf\r\narea=2\r\nhide=0\r\n"
              "[Window.edit]\r\nleft=0.6\r\ntop=0.7\r\nright=0.3\r\nbottom=1.5\r\narea=3\r\nhide=0\r\n"
              "[Window.setting.time]\r\nleft=0.5\r\ntop=0.7\r\nright=0.8\r\nbottom=1\r\narea=3\r\nhide=0\r\n");
    startServices();
    add("preview", {0.2f, 0, 0.8f, 0.7f, 2, true});
    add("edit", {0.2f, 0.7f, 0.5f, 1, 3, true});
    add("setting.time", {0.5f, 0.7f, 0.8f, 1, 3, false});
    const auto& preview = panel("preview").placement;
    EXPECT_EQ(preview.left, 0.2f);
    EXPECT_EQ(preview.right, 0.8f);
    EXPECT_EQ(preview.bottom, 0.7f);
    EXPECT_TRUE(panel("setting.time").shown());
    service->arrangeClients();
    const auto& edit = panel("edit").placement;
    EXPECT_NEAR(edit.right - edit.left, 0.001f / 0.301f, 0.0001f);
    EXPECT_NEAR(panel("setting.time").placement.left, edit.right, 0.0001f);
    EXPECT_EQ(panel("setting.time").placement.right, 1.0f);

    sizeWindow();
    for (const auto& p : panels) {
        EXPECT_GE(p->clientRect.w, 0);
        EXPECT_LE(p->clientRect.x + p->clientRect.w, 1002);
    }
}

TEST_F(DockLayout, ThePlacementMenuMarksTheAreaAndGreysMovesThatCannotHappen) {
    addDefaultPanels();
    service->arrangeClients();
    const struct {
        const char* name;
        const wchar_t* checkedArea;
        bool startGreyed, endGreyed;
    } cases[] = {
        {"explorer:1", L"左側エリア", true, false}, {"scene.list", L"左側エリア", false, true},
        {"setting", L"右側エリア", false, true},    {"preview", L"上側エリア", true, true},  // alone in its area
        {"edit", L"下側エリア", true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Window::PopupMenu menu;
        panel(c.name).addClientMenu(menu);
        for (const wchar_t* area : {L"左側エリア", L"右側エリア", L"上側エリア", L"下側エリア", L"中央エリア"}) {
            const int32_t id = findItem(menu.menu, area);
            ASSERT_NE(id, 0);
            EXPECT_TRUE(W::isMenuItemRadio(menu.menu, uint32_t(id)));
            EXPECT_EQ(W::isMenuItemChecked(menu.menu, uint32_t(id)), std::wstring(area) == c.checkedArea);
        }
        for (const wchar_t* item : {L"先頭に移動", L"上に移動"})
            EXPECT_EQ(W::isMenuItemEnabled(menu.menu, uint32_t(findItem(menu.menu, item))), !c.startGreyed);
        for (const wchar_t* item : {L"下に移動", L"最後に移動"})
            EXPECT_EQ(W::isMenuItemEnabled(menu.menu, uint32_t(findItem(menu.menu, item))), !c.endGreyed);
        EXPECT_TRUE(W::isMenuItemEnabled(menu.menu, uint32_t(findItem(menu.menu, L"ウィンドウを閉じる"))));
    }
}

TEST_F(DockLayout, PlacementMenuActionsMoveAndCloseThePanel) {
    const auto run = [&](const char* name, const wchar_t* item) {
        Window::PopupMenu menu;
        panel(name).addClientMenu(menu);
        const int32_t id = findItem(menu.menu, item);
        ASSERT_NE(id, 0);
        ASSERT_TRUE(menu.runCommand(id));
    };
    addDefaultPanels();
    sizeWindow();
    // Moving up exchanges the whole placement: the two panels swap sizes too.
    run("setting", L"上に移動");
    expectPlacements({{"setting", 0.8f, 0, 1, 0.4286f}, {"object.list", 0.8f, 0.4286f, 1, 1}});
    run("setting", L"最後に移動");
    expectPlacements({{"object.list", 0.8f, 0, 1, 0.5714f}, {"setting", 0.8f, 0.5714f, 1, 1}});
    run("setting", L"先頭に移動");
    expectPlacements({{"setting", 0.8f, 0, 1, 0.4286f}, {"object.list", 0.8f, 0.4286f, 1, 1}});
    run("setting", L"下に移動");
    expectPlacements({{"object.list", 0.8f, 0, 1, 0.4286f}, {"setting", 0.8f, 0.4286f, 1, 1}});

    // Another area: the preview joins the right column below the others.
    run("preview", L"右側エリア");
    EXPECT_EQ(panel("preview").placement.area, WindowClient::Right);
    EXPECT_EQ(service->sortedAreaClients(WindowClient::Right).size(), 3u);
    EXPECT_EQ(panel("edit").placement.top, 0.0f) << "the bottom area now reaches the top";

    // Closing hides the panel and parks its rectangle.
    run("edit", L"ウィンドウを閉じる");
    EXPECT_FALSE(panel("edit").shown());
    EXPECT_EQ(panel("edit").clientRect.x, WindowClient::HiddenPosition);
    EXPECT_EQ(panel("edit").clientRect.w, 0);
}

TEST_F(DockLayout, ASeparatorIsHitBetweenTwoPanelsThatShareAnEdge) {
    addDefaultPanels();
    sizeWindow();
    // Preview rows end at 694, the strip is 695 to 699, the timeline starts at 700.
    const struct {
        int32_t x, y;
        bool hit, horizontal;
        const char* before;
        const char* after;
    } cases[] = {
        {500, 697, true, true, "preview", "edit"},        {500, 695, true, true, "preview", "edit"},
        {500, 690, false, false, nullptr, nullptr},  // the timeline is more than a strip away
        {199, 300, true, false, "explorer:1", "preview"}, {100, 697, true, true, "explorer:1", "scene.list"},
        {1004, 500, false, false, nullptr, nullptr},  // the right edge of the window
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.x) + "," + std::to_string(c.y));
        ASSERT_EQ(service->hitSeparator(c.x, c.y), c.hit);
        if (!c.hit) {
            EXPECT_TRUE(service->dragClients.empty());
            continue;
        }
        EXPECT_EQ(service->dragHorizontal, c.horizontal);
        ASSERT_EQ(service->dragClients.size(), 2u);
        EXPECT_EQ(service->dragClients[0], &panel(c.before));
        EXPECT_EQ(service->dragClients[1], &panel(c.after));
    }
}

TEST_F(DockLayout, TheSeparatorChainTakesEveryPanelAlongTheLine) {
    addDefaultPanels();
    sizeWindow();
    // The column edge runs past two panels on each side.
    ASSERT_TRUE(service->hitSeparator(199, 300));
    ASSERT_TRUE(service->checkSeparatorChain());
    EXPECT_EQ(service->dragClients, (std::vector<WindowClient*>{&panel("explorer:1"), &panel("preview"),
                                                                &panel("scene.list"), &panel("edit")}));
    // The timeline's top edge ends where the columns of other areas begin.
    ASSERT_TRUE(service->hitSeparator(500, 697));
    ASSERT_TRUE(service->checkSeparatorChain());
    EXPECT_EQ(service->dragClients.size(), 2u);

    // Where the timeline ends short of the preview, the next panel along carries the line on.
    service->makeRoomForClient(panel("setting.time"));
    panel("setting.time").show(true);
    service->arrangeClients();
    ASSERT_TRUE(service->hitSeparator(300, 697));
    ASSERT_TRUE(service->checkSeparatorChain());
    EXPECT_EQ(service->dragClients,
              (std::vector<WindowClient*>{&panel("preview"), &panel("edit"), &panel("setting.time")}));
}

TEST_F(DockLayout, ASeparatorThatIsNoStraightLineCannotBeDragged) {
    // Panels of no area keep their fractions: the lower edge of "a" meets
    // "b" and then a panel whose top lies lower.
    constexpr int32_t kNoArea = 9;
    add("a", {0, 0, 0.5f, 0.5f, kNoArea, true});
    add("b", {0, 0.5f, 0.3f, 1, kNoArea, true});
    add("c", {0.3f, 0.6f, 1, 1, kNoArea, true});
    add("d", {0.5f, 0, 1, 0.6f, kNoArea, true});
    sizeWindow();
    ASSERT_TRUE(service->hitSeparator(100, 497));
    EXPECT_FALSE(service->checkSeparatorChain());
    // The press starts nothing.
    service->procLButtonDown(100, 497);
    EXPECT_FALSE(service->dragging);
}

TEST_F(DockLayout, ADragStopsWhereAMovingPanelWouldBecomeNarrowerThan24Pixels) {
    addDefaultPanels();
    sizeWindow();
    ASSERT_TRUE(service->hitSeparator(199, 300));
    ASSERT_TRUE(service->checkSeparatorChain());
    service->dragSeparator(-500, 0);
    const float limit = 24.0f / 1005;
    expectPlacements({{"explorer:1", 0, 0, limit, 0.7f},
                      {"scene.list", 0, 0.7f, limit, 1},
                      {"preview", limit, 0, 0.8f, 0.7f},
                      {"edit", limit, 0.7f, 0.8f, 1}},
                     0.00001f);
    EXPECT_EQ(panel("explorer:1").clientRect.w, 24 - 5);
    // Every step starts from the press point: back to 50 pixels right of the start.
    service->dragSeparator(50, 0);
    EXPECT_NEAR(panel("preview").placement.left, 0.2f + 50.0f / 1005, 0.00001f);
    // Towards the other side the preview's right edge stops it.
    service->dragSeparator(900, 0);
    EXPECT_NEAR(panel("preview").placement.left, 0.8f - limit, 0.00001f);
}

TEST_F(DockLayout, DraggingWithinAnAreaPastAPanelReordersTheArea) {
    using Cursor = Window::WindowMouseService::MouseCursor;
    Window::WindowMouseService& router = *Window::WindowMouseService::get();
    add("a", {0, 0, 0.5f, 0.3f, WindowClient::Left, true});
    add("b", {0, 0.3f, 0.5f, 0.6f, WindowClient::Left, true});
    add("c", {0, 0.6f, 0.5f, 1, WindowClient::Left, true});
    add("d", {0.5f, 0, 1, 1, WindowClient::Right, true});
    sizeWindow();
    const auto press = [&](int32_t y) {
        ASSERT_TRUE(service->hitSeparator(100, y));
        ASSERT_TRUE(service->checkSeparatorChain());
    };
    // Not within 24 pixels of the far edge: the panels stay, the cursor says no.
    press(297);
    service->dragSeparator(0, 290);
    expectPlacements({{"a", 0, 0, 0.5f, 0.3f}, {"b", 0, 0.3f, 0.5f, 0.6f}});
    EXPECT_EQ(router.currentCursor, &Cursor::SystemCursor32652);
    service->dragSeparator(0, 100);
    EXPECT_EQ(router.currentCursor, &Cursor::SizeNS);
    expectPlacements({{"a", 0, 0, 0.5f, 0.4f}, {"b", 0, 0.4f, 0.5f, 0.6f}});

    // Past the lower panel's far edge: it changes places with the next one,
    // and the drag goes on at the separator between them.
    service->dragSeparator(0, 350);
    expectPlacements({{"a", 0, 0, 0.5f, 0.3f}, {"c", 0, 0.3f, 0.5f, 0.6f}, {"b", 0, 0.6f, 0.5f, 1}});
    EXPECT_EQ(service->dragClients, (std::vector<WindowClient*>{&panel("c"), &panel("b")}));
    EXPECT_FLOAT_EQ(service->dragEdge, 0.6f);

    // The last panel has none after it: nothing happens.
    service->dragSeparator(0, 450);
    expectPlacements({{"c", 0, 0.3f, 0.5f, 0.6f}, {"b", 0, 0.6f, 0.5f, 1}});

    // Past the upper panel's far edge: the two change places; at the top of
    // the column no separator follows and the drag ends.
    press(297);
    service->dragSeparator(0, -310);
    expectPlacements({{"c", 0, 0, 0.5f, 0.3f}, {"a", 0, 0.3f, 0.5f, 0.6f}, {"b", 0, 0.6f, 0.5f, 1}});
    EXPECT_TRUE(service->dragClients.empty());
    EXPECT_EQ(router.currentCursor, router.defaultCursor);
}

TEST_F(DockLayout, TheLayoutDrawsStripsAndBordersAndAnEmptyWindowItsBackground) {
    addDefaultPanels();
    service->updateLayout();
    const auto pixel = [&](int32_t x, int32_t y) { return service->target->pixel(x, y) & 0xFFFFFF; };
    const int32_t width = service->width, height = service->height;
    ASSERT_GT(width, 300);
    const Window::MouseRect& r = panel("preview").clientRect;
    const int32_t midX = r.x + r.w / 2, midY = r.y + r.h / 2;
    EXPECT_EQ(pixel(midX, midY), 0xa0a0a0u);   // the panel
    EXPECT_EQ(pixel(r.x - 1, midY), kBorder);  // its border, one pixel around it
    EXPECT_EQ(pixel(r.x + r.w, midY), kBorder);
    EXPECT_EQ(pixel(midX, r.y + r.h), kBorder);
    EXPECT_EQ(pixel(r.x + r.w + 2, midY), kSeparator);  // the strip right of it
    EXPECT_EQ(pixel(midX, r.y + r.h + 2), kSeparator);  // and below it
    EXPECT_EQ(pixel(midX, height - 10), kFooter);
    // The panel at the right edge of the layout gets no strip there.
    EXPECT_EQ(pixel(width - 1, panel("object.list").clientRect.y + 10), kBorder);

    // While the service drags a separator the panels along it have the focus colour.
    Window::WindowMouseService& router = *Window::WindowMouseService::get();
    router.captureTarget = service;
    service->procLButtonDown(r.x - 3, midY);  // the column edge left of the preview
    ASSERT_TRUE(router.isDragging(service));
    EXPECT_EQ(pixel(r.x + r.w, midY), kFocus);
    EXPECT_EQ(pixel(r.x - 1, midY), kFocus);
    EXPECT_EQ(pixel(width - 1, panel("object.list").clientRect.y + 10), kBorder) << "not along the separator";
    router.dispatch(service->window, W::kWmCaptureChanged, 0, 0);
    EXPECT_TRUE(service->dragClients.empty());
    EXPECT_EQ(pixel(r.x + r.w, midY), kBorder);

    for (auto& p : panels) p->show(false);
    service->updateLayout();
    EXPECT_EQ(pixel(midX, midY), kBackground);
    EXPECT_EQ(pixel(0, midY), kBorder);
    EXPECT_EQ(pixel(width - 1, midY), kBorder);
    EXPECT_EQ(pixel(midX, height - 25), kBackground);
    EXPECT_EQ(pixel(midX, height - 24), kFooter);  // the footer covers the lower border
}

}  // namespace
