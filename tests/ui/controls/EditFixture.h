#pragma once
// Text editors on the stand-in panel of the control tests, with a style that
// names the editor's font and colours, and the keyboard driven the
// way the window drives it: key messages through the router, the character
// messages a key gives, and modifier keys held as the messages left them.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/draw2d/TextHitTest.h"
#include "platform/window/KeyMap.h"
#include "ui/controls/ControlFixture.h"
#include "ui/controls/EditControl.h"

class EditWindow : public ControlWindow {
protected:
    void SetUp() override {
        ControlWindow::SetUp();
        stopServices();
        // The editor's font and selection colour beside the controls' style.
        std::string style;
        {
            std::ifstream in(install() / "style.conf", std::ios::binary);
            style.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        }
        style.replace(style.find("[Color]\n"), 8, "[Color]\nTextSelect=3060c0\nSliderCursor=e0a000\nButtonBodySelect=606060\n");
        style += "EditControl=12,DejaVu Sans\nDefaultFamily=DejaVu Sans\n";
        writeFile(install() / "style.conf", style);
        startServices();
        container.updateChildLayout();
    }
    void TearDown() override {
        hold(Platform::window::kVkShift, false);
        hold(Platform::window::kVkControl, false);
        ControlWindow::TearDown();
    }

    static Window::WindowMouseService& router() { return *Window::WindowMouseService::get(); }
    // A modifier key down or up, as the key messages taken from the queue leave it.
    static void hold(uint32_t vk, bool down) {
        Platform::window::Message m;
        m.message = down ? Platform::window::kWmKeyDown : Platform::window::kWmKeyUp;
        m.wParam = vk;
        Platform::window::KeyMap::noteRetrieved(m);
    }
    static bool key(uint32_t vk, bool shift = false, bool ctrl = false) {
        hold(Platform::window::kVkShift, shift);
        hold(Platform::window::kVkControl, ctrl);
        const bool consumed = router().dispatch(router().window, Platform::window::kWmKeyDown, vk, 0);
        hold(Platform::window::kVkShift, false);
        hold(Platform::window::kVkControl, false);
        return consumed;
    }
    // One character message per UTF-16 unit, as translated key presses give them.
    static bool type(const std::u16string& units) {
        bool consumed = true;
        for (char16_t u : units)
            consumed = router().dispatch(router().window, Platform::window::kWmChar, u, 0) && consumed;
        return consumed;
    }
    // The client point just inside the character at `position` of the editor.
    static TestSupport::RouterStep at(TestSupport::Input input, const Control::EditControl& edit, int32_t position) {
        float x = 0, y = 0;
        Platform::draw2d::HitTestMetrics m;
        (void)Platform::draw2d::hitTestTextPosition(*edit.layout.get(), uint32_t(position), false, x, y, m);
        return {input, edit.fullRect.x + 4 - edit.scrollX + static_cast<int32_t>(std::lround(x)) + 1,
                edit.fullRect.y + 4 - edit.scrollY + static_cast<int32_t>(std::lround(y + m.height / 2)), 0};
    }
    static std::wstring selected(const Control::EditControl& edit) { return edit.selectedText(); }
};
