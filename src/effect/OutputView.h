#pragma once
#include <cstdint>
#include <memory>

#include "platform/math/Matrix.h"

namespace Edit {
class Object;
}
namespace Media {
class RenderBuffer;
}
namespace Platform::gpu {
class SamplerState;
}

namespace Effect {

// An object's placement on screen and the matrices derived from it for
// drawing, anchors and depth sorting.
struct OutputView {
    using Matrix = Platform::math::Matrix;

    float x = 0, y = 0, z = 0;                          // pixels from the frame centre, y down, z away
    float rotationX = 0, rotationY = 0, rotationZ = 0;  // degrees
    float scaleX = 1, scaleY = 1, scaleZ = 1;           // 1 = 100 %
    float centerX = 0, centerY = 0, centerZ = 0;        // the image point placed at the position
    float opacity = 1.0f;
    float gloss = 0.7f;
    int32_t blendMode = 0;
    std::shared_ptr<Platform::gpu::SamplerState> samplerState;
    uint8_t hideBackFace = 0;
    int32_t facingMode = 0;                      // 0 normal, 3 face the camera
    Media::RenderBuffer* frameBuffer = nullptr;  // not owning
    std::shared_ptr<Edit::Object> cameraControl;
    std::shared_ptr<Edit::Object> groupControl;

    Matrix getObjectMatrix() const;
    Matrix getScreenMatrix(int32_t width, int32_t height) const;
    Matrix getWorldMatrix() const;
    Matrix getViewMatrix() const;
    Matrix getGroupViewMatrix() const;
    Matrix getRotationMatrix() const;
    Matrix getWorldViewMatrix() const;
};

// The view matrix needs the size of the frame buffer, which the effect
// framework does not see into; the program installs the reader at start-up.
// Without one the size is 0 x 0.
using FrameSizeReader = void (*)(const Media::RenderBuffer& buffer, int32_t& width, int32_t& height);
// Returns the reader installed before.
FrameSizeReader setFrameSizeReader(FrameSizeReader reader);

}  // namespace Effect
