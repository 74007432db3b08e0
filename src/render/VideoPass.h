#pragma once
#include <cstdint>
#include <memory>

namespace Effect {
class EffectBase;
}
namespace Media {
class ResourceBuffer;
}

namespace Render {

class GroupLayers;
class RenderContext;

// The passes that run one object's image through its object chain: the
// object, the filter objects on the layers after it and the group controls
// around it that carry filters. Every pass makes each chained object current
// in turn, so items are read at that object's section position, and leaves
// the context's current object as it found it.
class VideoPass {
public:
    using Image = std::shared_ptr<Media::ResourceBuffer>;

    // The key of the group control in the effect catalogue.
    static constexpr const wchar_t* kGroupControlName = L"グループ制御";
    static constexpr const wchar_t* kCameraControlName = L"カメラ制御";

    // A new chain: the current object, then the filter objects on the layers
    // after it up to the first other object (media 1 video, 2 audio).
    static void collectObjectChain(RenderContext& context, int32_t media);
    // Appends the context's group control and the group controls around it
    // that carry filters, from the inside out.
    static void addGroupChain(RenderContext& context, const GroupLayers& groups);

    // Render thread: every enabled input and filter of the chain prepares.
    static void preInputVideo(RenderContext& context);
    // The enabled video filters of the chain in order; an empty result ends
    // the pass. With startAfter, every effect up to it is skipped.
    static Image filterVideo(RenderContext& context, Image image, const Effect::EffectBase* startAfter);
    // filterVideo without producing anchors; a custom shape set while it
    // runs is passed on to the outer context.
    static Image applyFilters(RenderContext& context, Image image, const Effect::EffectBase* startAfter,
                              RenderContext* outer);
    // Every enabled filter of the chain (any media) gets its control step.
    static void controlVideo(RenderContext& context);
    // The chain's first object's output draws the image into the frame buffer.
    static void outputVideo(RenderContext& context, const Image& image);
    static void updateFilterAnchors(RenderContext& context, int32_t width, int32_t height);
    static void updateOutputAnchor(RenderContext& context, int32_t width, int32_t height);

    // Per-object thread: input, filters, output and anchors of the current
    // object. The image handed to the output becomes the previous-object
    // image; an object whose input makes an image drops the former one.
    static void renderVideo(RenderContext& context, Image& previousObjectImage);

    static bool isVideoFilter(const Effect::EffectBase& effect);
};

}  // namespace Render
