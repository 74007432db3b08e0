#pragma once
#include <cstdint>
#include <memory>

namespace Media {
class AudioBuffer;
}

namespace Render {

class AudioRenderContext;
class GroupLayers;

// The passes that run one object's sound through its object chain: the
// object, the audio filter objects on the layers after it and the audio group
// controls around it that carry filters. Like the video passes, each makes
// every chained object current in turn and leaves the entry object current.
class AudioPass {
public:
    using Samples = std::shared_ptr<Media::AudioBuffer>;

    // The key of the audio group control in the effect catalogue.
    static constexpr const wchar_t* kGroupControlName = L"グループ制御(音声)";

    static void collectObjectChain(AudioRenderContext& context);
    static void addGroupAudioChain(AudioRenderContext& context, const GroupLayers& groups);

    // Render thread: every enabled input and filter of the chain prepares.
    static void preInputAudio(AudioRenderContext& context);
    // The enabled audio filters of the chain in order; an empty result ends the pass.
    static Samples filterAudio(AudioRenderContext& context, Samples samples);
    // The chain's first object's output adds the samples into the mix.
    static void outputAudio(AudioRenderContext& context, const Samples& samples);
    // Per-object thread: input, filters and output of the current object.
    static void renderAudio(AudioRenderContext& context);
};

}  // namespace Render
