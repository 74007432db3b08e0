#pragma once
#include "render/Host.h"
#include "ui/framework/Host.h"

namespace App {

// What the layers below ask of the program, answered in one place: each
// layer's host interface, implemented once. Application.cpp installs each
// part beside the service it belongs to; the answers look their services up
// when they run, so they hold while those services come and go.
class ProgramHost : public Render::Host {
public:
    static ProgramHost& instance();

    // Render: the current scene under the project lock, scenes by id, and the
    // main window's loop for the player's timer.
    std::unique_ptr<Edit::ReadSection> openCurrentScene() override;
    std::shared_ptr<Edit::Scene> findScene(int32_t id) override;
    void registerWaitHandle(const Platform::os::WaitHandle& handle, std::function<void()> tick) override;
    void unregisterWaitHandle(const Platform::os::WaitHandle& handle) override;

    // The panels: the settings panel's popups from the menu definitions, the
    // setting panels the rows open, and the log settings dialog.
    const Window::Host& panels();

private:
    Window::Host panels_;
    bool panelsFilled_ = false;
};

}  // namespace App
