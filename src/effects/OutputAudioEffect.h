#pragma once
#include <cstdint>

namespace Media {
class AudioBuffer;
}
namespace Render {
class AudioRenderContext;
}

namespace Effect {

// Adds an object's samples into the scene's mix with the context's gains.
class OutputAudioEffect {
public:
    // destination += factor × source per channel over the shorter of the two
    // buffers; a mono buffer serves as both its left and its right channel.
    static void mixAudio(Media::AudioBuffer& destination, const Media::AudioBuffer& source, float leftFactor,
                         float rightFactor);
    // The mix of the object with the context's left and right gains.
    void mixAudio(Render::AudioRenderContext& context, Media::AudioBuffer& destination,
                  const Media::AudioBuffer& source);

protected:
    ~OutputAudioEffect() = default;
};

}  // namespace Effect
