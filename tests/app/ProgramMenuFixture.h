#pragma once
// The running program's popups, in a test of its own: a data folder of the
// test's own (XDG_DATA_HOME) and the program's file-name variables, both put
// back afterwards, and the popup's items in short.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "core/FileName.h"
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

class ProgramMenuFixture : public testing::Test {
protected:
    // The folder's name starts /tmp/velmo-<name>-.
    explicit ProgramMenuFixture(std::string name) : name_(std::move(name)) {}

    std::filesystem::path root;
    std::optional<std::string> oldDataHome;

    void SetUp() override {
        if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "needs a display";
        std::string pattern = "/tmp/velmo-" + name_ + "-XXXXXX";
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        root = pattern;
        if (const char* old = std::getenv("XDG_DATA_HOME")) oldDataHome = old;
        setenv("XDG_DATA_HOME", (root / "xdg").c_str(), 1);
        System::FileName::resetVariableList(System::utf8ToWide((std::filesystem::current_path() / "velmo2").string()));
    }
    void TearDown() override {
        if (root.empty()) return;
        Platform::window::setMenuAnswerHook({});
        System::FileName::resetVariableList();
        if (oldDataHome)
            setenv("XDG_DATA_HOME", oldDataHome->c_str(), 1);
        else
            unsetenv("XDG_DATA_HOME");
        std::filesystem::remove_all(root);
    }

private:
    std::string name_;
};
