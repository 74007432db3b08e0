#include "ui/dialogs/BoxOwner.h"

#include <atomic>

#include "core/EventCommandPost.h"
#include "platform/window/MessageBox.h"

namespace Dialog {
namespace {
std::atomic<PlaybackStop> g_stop{nullptr};
}  // namespace

PlaybackStop setPlaybackStop(PlaybackStop stop) { return g_stop.exchange(stop); }

void stopPlayback() {
    if (const PlaybackStop stop = g_stop.load()) stop();
}

BoxOwner boxOwner() {
    const Platform::window::WindowHandle main = Event::commandWindow();
    if (main == nullptr) return BoxOwner{nullptr, Platform::window::kMbTaskModal};
    stopPlayback();
    return BoxOwner{main, 0};
}

}  // namespace Dialog
