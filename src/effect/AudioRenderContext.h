#pragma once
#include <memory>

#include "effect/AudioRange.h"
#include "effect/ContextBase.h"

namespace Media {
class AudioBuffer;
}

namespace Render {

// The context of every audio effect operation: the leading fields of the
// video context, then the gains and the frame's mix.
class AudioRenderContext : public ContextBase {
public:
    float leftGain = 1.0f;
    float rightGain = 1.0f;
    Media::AudioBuffer* mixBuffer = nullptr;     // not owning
    std::shared_ptr<Edit::Object> groupControl;  // innermost audio group control
    AudioRange range;
};

}  // namespace Render
