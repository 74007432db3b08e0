#pragma once
// The main window with one stand-in panel whose rectangle is the container
// of the controls under test, a style whose button colours differ, and the
// router driven by messages (support/RouterDriver.h).
#include <gtest/gtest.h>

#include <filesystem>

#include "support/RouterDriver.h"
#include "ui/controls/ExtraColours.h"
#include "ui/controls/ControlContainer.h"
#include "ui/framework/DockFixture.h"

class ControlWindow : public DockWindow {
protected:
    void SetUp() override {
        DockWindow::SetUp();
        stopServices();
        addStyleColours(install() / "style.conf",
                        std::string(kButtonColours) +
                            "Grouping=182838\nTrackBarRange=603030\nFrameRangeSelect=306030\n"
                            "ZoomGauge=a0a000\nZoomGaugeHover=ffff00\nZoomGaugeOff=404000\nZoomGaugeOffHover=606000\n");
        addStyleLines(install() / "style.conf", "Font", "Control=12,DejaVu Sans\n");
        // The shipped icons beside the style, for the bitmap buttons.
        std::filesystem::copy(std::filesystem::current_path() / "icons", install() / "icons",
                              std::filesystem::copy_options::recursive | std::filesystem::copy_options::skip_existing);
        startServices();
        container.updateChildLayout();
    }
    bool withTextFormats() const override { return true; }

    Window::MouseRect panel{20, 40, 600, 400};
    Window::ControlContainer container{0, &panel, &panel};
    TestSupport::RouterDriver driver;
};
