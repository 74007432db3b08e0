#pragma once
// The main window with the program's shipped style and icons, the undo and
// edit services over it, and the router driven by messages, for the panels
// that list the project's scenes and objects.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>

#include "core/ServiceHolder.h"
#include "edit/EditService.h"
#include "edit/UndoService.h"
#include "support/RouterDriver.h"
#include "ui/framework/DockFixture.h"

class PanelWindow : public DockWindow {
protected:
    void SetUp() override {
        if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "needs a display";
        DockWindow::SetUp();
        stopServices();
        const std::filesystem::path shipped = std::filesystem::current_path();
        std::filesystem::copy_file(shipped / "style.conf", install() / "style.conf",
                                   std::filesystem::copy_options::overwrite_existing);
        std::filesystem::copy(shipped / "icons", install() / "icons",
                              std::filesystem::copy_options::recursive | std::filesystem::copy_options::skip_existing);
        startServices();
        undo.emplace();
        edit.emplace();
    }
    void TearDown() override {
        edit.reset();
        undo.reset();
        DockWindow::TearDown();
    }
    bool withTextFormats() const override { return true; }

    std::optional<System::ServiceHolder<Undo::UndoService>> undo;
    std::optional<System::ServiceHolder<Edit::EditService>> edit;
    TestSupport::RouterDriver driver;
};
