#pragma once
#include <cstdint>
#include <memory>

#include "effect/OutputView.h"
#include "effect/AudioRange.h"
#include "effect/ContextBase.h"

namespace Media {
class ResourceBuffer;
class VertexList;
}  // namespace Media
namespace Anchor {
class AnchorList;
}

namespace Render {

class ResourceCache;
class PreInputBuffer;
class RenderVideoWorker;

// The video render context handed to every video effect operation for one
// object at one frame. Built by the scene walk and copied into every task of
// the per-object thread, so each step owns its copy.
class RenderContext : public ContextBase {
public:
    Effect::OutputView view;
    std::shared_ptr<Media::VertexList> vertexList;  // custom shape of any vertex kind, or none
    Anchor::AnchorList* anchorList = nullptr;                // previews only; not owning
    ResourceCache* resourceCache = nullptr;                  // not owning
    std::shared_ptr<PreInputBuffer> preInput;
    // The worker whose walk this is, for controls that render ahead from their
    // preparation on its render thread; not owning.
    RenderVideoWorker* videoWorker = nullptr;
    // The video worker's image of the object drawn before, while an object's
    // input runs on the per-object thread; not owning.
    std::shared_ptr<Media::ResourceBuffer>* previousObjectImage = nullptr;
    int32_t index = 0;  // piece being drawn ("index")
    int32_t count = 1;  // pieces ("num")
    uint8_t plainPlacement = 0;
    uint8_t customShape = 0;
    uint8_t keepTransform = 0;
    uint8_t keepPosition = 0;
    uint8_t cameraAnchor = 1;
    uint8_t firstClipping = 1;

    // The control effect's view when the current object is headed by a
    // control, else the view of the output effect of the chain's first
    // object, evaluated with that object current.
    Effect::OutputView getOutputView();
    AudioRange getAudioRange() const;
};

}  // namespace Render
