#pragma once
// Drags on the preview canvas with the edit and undo services behind them:
// a 320 x 180 scene under edit, shown at 100 % by the preview's area in a
// 640 x 360 panel, the gestures driven through the input router.
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

#include "core/ServiceHolder.h"
#include "edit/EditDialogs.h"
#include "edit/EditService.h"
#include "edit/Scene.h"
#include "edit/UndoService.h"
#include "media/image/ImageBuffer.h"
#include "support/RouterDriver.h"
#include "ui/controls/ControlContainer.h"
#include "ui/controls/ExtraColours.h"
#include "ui/framework/DockFixture.h"
#include "ui/panels/PreviewControl.h"

class PreviewDragFixture : public DockWindow {
protected:
    // The services again with the button colours and a navy outside of the
    // frame, dialogs that answer by themselves, the undo and edit services,
    // and the current scene at 320 x 180.
    void startEditing() {
        stopServices();
        addStyleColours(install() / "style.conf", std::string(kButtonColours) + "OutsideDisplay=000080\n");
        startServices();
        Edit::EditService::setDialogs(dialogs);
        undo.emplace();
        edit.emplace();
        scene = edit->get()->currentScene();
        scene->videoWidth = 320;
        scene->videoHeight = 180;
    }
    // The preview's area laid out, showing a 320 x 180 frame at 100 %, drawn once.
    void showPreview() {
        area = std::make_unique<Component::PreviewControl>(container, 0, 0, 0, 0, &zoom);
        container.updateChildLayout();
        Media::ImageBuffer image(28, 320, 180);
        area->setImage(image);
        zoom = 100;
        ASSERT_TRUE(TestSupport::RouterDriver::drawQueued());
        area->procPaint();
    }
    // What startEditing and showPreview made, gone in the reverse order.
    void stopEditing() {
        area.reset();
        scene.reset();
        edit.reset();
        undo.reset();
        Edit::EditService::setDialogs(nullptr);
    }

    std::shared_ptr<Edit::HeadlessDialogs> dialogs = std::make_shared<Edit::HeadlessDialogs>();
    std::optional<System::ServiceHolder<Undo::UndoService>> undo;
    std::optional<System::ServiceHolder<Edit::EditService>> edit;
    std::shared_ptr<Edit::Scene> scene;
    int32_t zoom = 0;
    Window::MouseRect panel{20, 40, 640, 360};
    Window::ControlContainer container{0, &panel, &panel};
    std::unique_ptr<Component::PreviewControl> area;
    TestSupport::RouterDriver driver;
};
