#pragma once
// Drives controls the way the window does: every gesture goes through the
// input router's dispatch as the window layer's messages, so a control is
// reached only where the router's hit test, capture and drag rules let it.
// The router's clock moves one second per message, so no two presses make a
// double click and every move after a press passes the drag threshold.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/window/Menu.h"
#include "platform/window/Message.h"
#include "platform/window/TopLevel.h"
#include "support/PumpMessages.h"
#include "ui/controls/PaintQueue.h"
#include "ui/framework/WindowMouseService.h"

namespace TestSupport {

enum class Input { Move, Press, Release, Wheel, Hover, Leave };

// One message: a point in client pixels and, for the wheel, the signed delta.
struct RouterStep {
    Input input;
    int32_t x = 0;
    int32_t y = 0;
    int32_t delta = 0;
};

class RouterDriver {
public:
    void send(const RouterStep& step) {
        namespace W = Platform::window;
        Window::WindowMouseService* router = Window::WindowMouseService::get();
        ASSERT_NE(nullptr, router);
        clock_ += 1000;
        router->hooks.clock = [this] { return clock_; };
        const intptr_t at = W::makeLParam(step.x, step.y);
        switch (step.input) {
        case Input::Move: router->dispatch(router->window, W::kWmMouseMove, held_, at); break;
        case Input::Press:
            held_ = W::kMkLButton;
            router->dispatch(router->window, W::kWmLButtonDown, held_, at);
            break;
        case Input::Release:
            held_ = 0;
            router->dispatch(router->window, W::kWmLButtonUp, 0, at);
            break;
        case Input::Wheel: {
            // The wheel message carries screen coordinates.
            W::Point p{step.x, step.y};
            if (router->window != nullptr) W::clientToScreen(router->window, p);
            const auto wParam = static_cast<uintptr_t>(static_cast<uint16_t>(step.delta)) << 16;
            router->dispatch(router->window, W::kWmMouseWheel, wParam, W::makeLParam(p.x, p.y));
            break;
        }
        case Input::Hover: router->dispatch(router->window, W::kWmMouseHover, 0, at); break;
        case Input::Leave: router->dispatch(router->window, W::kWmMouseLeave, 0, 0); break;
        }
    }

    void run(const std::vector<RouterStep>& steps) {
        for (const RouterStep& step : steps) send(step);
    }

    // A right click at the point, the window's context-menu message through
    // the router; the popup it opens chooses the item with the label (none:
    // it closes unchosen). Returns the labels the popup showed.
    static std::vector<std::string> contextMenu(int32_t x, int32_t y, const std::string& choose) {
        namespace W = Platform::window;
        std::vector<std::string> shown;
        W::setMenuAnswerHook([&shown, choose](W::MenuHandle menu, const W::Point&) -> uint32_t {
            uint32_t chosen = 0;
            for (int32_t i = 0; i < W::getMenuItemCount(menu); ++i) {
                std::string text;
                (void)W::getMenuStringAt(menu, i, text);
                shown.push_back(text);
                if (!choose.empty() && text == choose) chosen = static_cast<uint32_t>(W::getMenuItemId(menu, i));
            }
            return chosen;
        });
        Window::WindowMouseService* router = Window::WindowMouseService::get();
        W::Point p{x, y};
        W::clientToScreen(router->window, p);
        router->dispatch(router->window, W::kWmContextMenu, 0, W::makeLParam(p.x, p.y));
        W::setMenuAnswerHook({});
        return shown;
    }

    // Dispatches until the controls that asked to be drawn again have been.
    static bool drawQueued() {
        return pumpUntil([] { return Window::PaintQueue::size() == 0; }, "the queued controls drawn");
    }

private:
    uint64_t clock_ = 0;
    uintptr_t held_ = 0;
};

}  // namespace TestSupport
