// The list, the static controls and the settings header's gauge on a panel
// of the real main window, driven with xdotool on a screen of their own: the
// wheel scrolls the list, a right-button drag pans it, a drag along the gauge
// moves the scene's cursor, and the panel's picture matches the reference.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/EventService.h"
#include "core/ServiceHolder.h"
#include "core/TextConvert.h"
#include "edit/EditDialogs.h"
#include "edit/EditService.h"
#include "edit/Object.h"
#include "edit/Scene.h"
#include "edit/UndoService.h"
#include "media/image/ImageBuffer.h"
#include "media/image/ImageService.h"
#include "platform/window/TopLevel.h"
#include "support/PumpMessages.h"
#include "ui/controls/ScreenFixture.h"
#include "ui/controls/ExtraColours.h"
#include "ui/controls/LayoutControl.h"
#include "ui/controls/ListItemControl.h"
#include "ui/controls/RectControl.h"
#include "ui/controls/SettingHeaderGaugeControl.h"
#include "ui/controls/TextButtonControl.h"
#include "ui/controls/TextControl.h"
#include "ui/controls/TitleHeaderControl.h"
#include "ui/framework/WindowClientRenderTarget.h"

namespace {

namespace W = Platform::window;
using namespace Control;

class Row : public TextButtonControl, public ListItemBase {
public:
    Row(ListItemControl& list, const std::wstring& text) : TextButtonControl(list.rowContainer, 0, 0, 0, 24, Centred),
                                                            ListItemBase(list, *this) {
        setText(text);
    }
};

// A title, a text, a filled rect, a gauge and a list of twenty rows in the
// right half, laid out by a layout box.
class SupportPanel : public Window::WindowClientRenderTarget {
public:
    SupportPanel()
        : WindowClientRenderTarget(&title_, "support", {0, 0, 1, 1, 0, true}),
          container(priority, &clientRect, &clientRect),
          title(container, L"サポート"),
          text(container, 10, 30, 200, 24, L"static text, cut where it does not fit", TextControl::LeftEllipsis),
          rect(container, 10, 60, 200, 30),
          gauge(container, 10, 100, 260, 60),
          half(container, 0, 30, 0, 0),
          rows(half, 0, 0, 0, 0) {
        half.fractionLeft = 0.5f;
        text.frameBrush = Window::StyleBrushList::Border;
        rect.brush = Window::StyleBrushList::Grouping;
        rect.paintAction = [](RectControl& r) {
            r.fillRectangle(5, 5, 25, 25, Window::WindowService::get()->brushes.get(Window::StyleBrushList::Text));
        };
        for (int i = 0; i < 20; ++i) {
            auto row = std::make_unique<Row>(list(), L"row " + std::to_wstring(i));
            list().items.push_back(std::move(row));
        }
    }
    ListItemControl& list() { return *listControl_; }
    void procMove() override { container.updateChildLayout(); }
    void procPaint() override {
        if (target == nullptr) return;
        const DrawScope scope(*this, clientRect.x, clientRect.y, clientRect.x + clientRect.w,
                              clientRect.y + clientRect.h, true);
        fillRectangle(0, 0, clientRect.w, clientRect.h,
                      Window::WindowService::get()->brushes.get(Window::StyleBrushList::Background));
        for (size_t i = 0; i < container.children.size(); ++i) container.children[i]->procPaint();
    }

    // A container laid out on the right half, for the list.
    class Half : public LayoutControl {
    public:
        using LayoutControl::LayoutControl;
    };
    class ListArea : public Window::WindowControl {
    public:
        ListArea(Window::WindowControl& parent, int32_t x, int32_t y, int32_t w, int32_t h)
            : WindowControl(parent, x, y, w, h), inner(priority, &visibleRect, &fullRect) {}
        void procPaint() override {}
        void procMove() override { inner.updateChildLayout(); }
        Window::ControlContainer inner;
    };

    std::wstring title_ = L"support";
    Window::ControlContainer container;
    TitleHeaderControl title;
    TextControl text;
    RectControl rect;
    SettingHeaderGaugeControl gauge;
    Half half;
    ListArea rows;
    std::unique_ptr<ListItemControl> listControl_ = std::make_unique<ListItemControl>(rows.inner, 0);
};

class SupportScreen : public ScreenWindow {
protected:
    void SetUp() override {
        ScreenWindow::SetUp();
        if (IsSkipped()) return;
        stopServices();
        addStyleColours(install() / "style.conf",
                        "TitleHeader=283848\nObjectVideo=304060,6080c0\nObjectVideoSelect=5070a0\n"
                        "ObjectSection=e0c040\nBorderSelect=ff8000\nFrameCursor=ff0000\n");
        writeFile(appData() / "velmo2.ini", "[Window]\r\nx=300\r\ny=200\r\nw=640\r\nh=400\r\nzoom=0\r\n");
        startServices();
        Edit::EditService::setDialogs(dialogs);
        undo.emplace();
        edit.emplace();
        Edit::Scene& scene = *edit->get()->currentScene();
        scene.length = 1000;
        scene.videoRate = 30;
        scene.videoScale = 1;
        panel_ = std::make_unique<SupportPanel>();
        SupportPanel& p = *panel_;
        auto object = std::make_shared<Edit::Object>(0, 200, 300);
        object->midpoints = {30, 60};
        p.gauge.setObject(object);
        p.gauge.cursorFrame = scene.cursorFrame = 230;
        p.gauge.panel.shownSection = [] { return 1; };
        p.gauge.panel.sectionViewMode = [] { return 2; };
        Event::EventService::get()->cursorFrameListeners.add([this](int frame) {
            if (!panel_) return;
            panel_->gauge.cursorFrame = frame;
            panel_->gauge.invalidate();
        });
        service->updateLayout();
        p.list().layoutItems();
        p.list().procMove();
        // The panel's own menu after a right-button drag opens nothing.
        W::setMenuAnswerHook([](W::MenuHandle, const W::Point&) -> uint32_t { return 0; });
        W::showWindow(service->window, W::kSwShow);
        TestSupport::pumpUntil([&] { return p.clientRect.w > 0 && Window::PaintQueue::size() == 0; },
                               "the panel laid out");
    }
    void TearDown() override {
        W::setMenuAnswerHook(nullptr);
        panel_.reset();
        edit.reset();
        undo.reset();
        Edit::EditService::setDialogs(nullptr);
        ControlWindow::TearDown();
    }
    void expectLooksLikeReference(const char* name) {
        TestSupport::RouterDriver::drawQueued();
        xdotool("mousemove " + screen(panel_->clientRect.x + 280, panel_->clientRect.y + 300));
        expectRectLooksLike(name, panel_->clientRect.x, panel_->clientRect.y, panel_->clientRect.w, 320);
    }

    std::shared_ptr<Edit::HeadlessDialogs> dialogs = std::make_shared<Edit::HeadlessDialogs>();
    std::optional<System::ServiceHolder<Undo::UndoService>> undo;
    std::optional<System::ServiceHolder<Edit::EditService>> edit;
    std::unique_ptr<SupportPanel> panel_;
};

TEST_F(SupportScreen, TheListScrollsAndPansAndTheGaugeMovesTheCursor) {
    SupportPanel& p = *panel_;
    ListItemControl& list = p.list();
    ASSERT_EQ(20 * 24, list.contentHeight);
    ASSERT_TRUE(list.scrollBar.visible);
    expectLooksLikeReference("support-at-rest");

    // Two wheel notches down over a row: two average rows each.
    const Window::MouseRect& r = list.visibleRect;
    xdotool("mousemove " + screen(r.x + 40, r.y + 40) + " click 5");
    ASSERT_TRUE(TestSupport::pumpUntil([&] { return list.scrollBar.first == 48; }, "one notch down"));
    xdotool("click 5");
    ASSERT_TRUE(TestSupport::pumpUntil([&] { return list.scrollBar.first == 96; }, "two notches down"));
    // Panned back up 30 pixels with the right button.
    xdotool("mousedown 3 mousemove_relative 0 10 mousemove_relative 0 20");
    ASSERT_TRUE(TestSupport::pumpUntil([&] { return list.scrollBar.first == 66; }, "panned 30 pixels"));
    xdotool("mouseup 3");
    ASSERT_TRUE(TestSupport::pumpUntil([&] { return !list.dragging; }, "the pan over"));

    // The gauge: a drag from bar pixel 20 to 170 of a 230-pixel bar over 101 frames.
    const SettingHeaderGaugeControl& g = p.gauge;
    const int32_t y = g.fullRect.y + g.top + g.markerSize + 5;
    xdotool("mousemove " + screen(g.fullRect.x + g.margin + 20, y));
    ASSERT_TRUE(TestSupport::pumpUntil([&] { return g.hovered; }, "the pointer on the gauge"));
    xdotool("mousedown 1");
    ASSERT_TRUE(TestSupport::pumpUntil([&] { return g.cursorFrame == 200 + (100 * 20 + 115) / 229; }, "the press"));
    xdotool("mousemove_relative 100 0 mousemove_relative 50 0");
    ASSERT_TRUE(TestSupport::pumpUntil([&] { return g.cursorFrame == 200 + (100 * 170 + 115) / 229; }, "the drag"));
    xdotool("mouseup 1");
    ASSERT_TRUE(TestSupport::pumpUntil([&] { return !g.dragging; }, "the release"));
    expectLooksLikeReference("support-moved");
}

}  // namespace
