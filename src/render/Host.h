#pragma once
#include <cstdint>
#include <functional>
#include <memory>

#include "platform/os/Wait.h"

namespace Edit {
class ReadSection;
class Scene;
}  // namespace Edit

namespace Render {

// What the render layer asks of the program above it: the project's scenes
// and the main loop. The program implements it once and installs it (through
// a HookScope) before the render service is built; the service binds the one
// installed then. Without one, requests find no scene and render nothing, and
// the player's timer is armed but nobody waits on it.
class Host {
public:
    virtual ~Host() = default;

    // The read scope of the current scene, asked from the render threads.
    virtual std::unique_ptr<Edit::ReadSection> openCurrentScene() { return nullptr; }
    // A scene used as a source, by id; asked under a read scope.
    virtual std::shared_ptr<Edit::Scene> findScene(int32_t /*id*/) { return nullptr; }
    // The main loop's waiting on the player's timer.
    virtual void registerWaitHandle(const Platform::os::WaitHandle& /*handle*/, std::function<void()> /*tick*/) {}
    virtual void unregisterWaitHandle(const Platform::os::WaitHandle& /*handle*/) {}
};

// The installed host (the defaults above when none is); setHost returns the
// one installed before.
Host& host();
Host* setHost(Host* host);

}  // namespace Render
