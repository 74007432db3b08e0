#pragma once
#include "render/RenderService.h"

namespace Render {

// Mix-in base of classes that start and stop playback: the render service's
// player, copied when the object is built (none without a render service).
class MoviePlayerInstance {
protected:
    MoviePlayerInstance() : moviePlayer(RenderService::get() ? &RenderService::get()->player() : nullptr) {}
    MoviePlayer* moviePlayer;
};

}  // namespace Render
