#pragma once
// The running program's popups, in a test of its own: a data folder of the
// test's own (ProgramDataFixture), and the popup's items in short.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "ProgramDataFixture.h"
#include "core/TextConvert.h"
#include "platform/window/Menu.h"

// The popup in short: items by text, a submenu as "label[...]".
inline std::string shape(Platform::window::MenuHandle menu) {
    namespace W = Platform::window;
    std::string out;
    for (int32_t i = 0; i < W::getMenuItemCount(menu); ++i) {
        std::string text;
        W::getMenuStringAt(menu, i, text);
        out += (out.empty() ? "" : " ") + text;
        if (W::MenuHandle sub = W::getSubMenu(menu, i)) out += "[" + shape(sub) + "]";
    }
    return out;
}

class ProgramMenuFixture : public ProgramDataFixture {
protected:
    // The folder's name starts /tmp/velmo-<name>-.
    explicit ProgramMenuFixture(std::string name) : ProgramDataFixture(std::move(name)) {}

    void SetUp() override {
        if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "needs a display";
        ProgramDataFixture::SetUp();
    }
    void TearDown() override {
        if (root.empty()) return;
        Platform::window::setMenuAnswerHook({});
        ProgramDataFixture::TearDown();
    }
};
