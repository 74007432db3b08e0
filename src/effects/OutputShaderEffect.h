#pragma once
#include <cstdint>
#include <memory>

#include "effect/OutputView.h"

namespace Media {
class Direct3DService;
class RenderBuffer;
class ResourceBuffer;
class VertexList;
class VertexListQuadPosUv;
}  // namespace Media
namespace Shader {
class SamplerStateList;
class BlendStateList;
class RasterizerStateList;
class PixelShaderList;
}  // namespace Shader
namespace Platform::gpu {
class SamplerState;
}
namespace Render {
class RenderContext;
}

namespace Effect {

// The drawing through which an object's image reaches the frame: the view
// turned into one matrix in the shared constant block of the vertex-list
// shaders, the device states, a copy of the frame for the blend modes, and
// the draw of the image quad or of a vertex list. Runs on the thread that
// renders objects only; the constant blocks and the bound-state cache are shared.
class OutputShaderEffect {
public:
    // The layout of the vertex-list constant block.
    struct Constant {
        float projection[16];  // rows
        float alpha;
        int32_t blend;
        float padding0[2];
        float normalWorld[16];
        float shine;
        float padding1[3];
    };
    static_assert(sizeof(Constant) == 160);

    // Blend modes from 20 on and below 0 draw as 0 ("通常").
    static int32_t drawnBlendMode(int32_t blend) { return blend >= 20 || blend < 0 ? 0 : blend; }
    // The whole-pixel offset of the plain copy: half the size difference plus
    // centre minus position, rounded half away from zero.
    static int32_t plainOffset(uint32_t imageSize, uint32_t frameSize, float center, float position);

    OutputShaderEffect();

    // The current object into the frame with its full placement and blend mode.
    void drawObject(Render::RenderContext& context, Media::RenderBuffer& frame,
                    const std::shared_ptr<Media::ResourceBuffer>& image);
    // An image into another with the view's own transform and blend mode (no group).
    void drawToTarget(const OutputView& view, Media::ResourceBuffer& target, Media::ResourceBuffer& source,
                      Media::VertexList* list);
    // The current object with its full transform into an image, opacity 1, blend 0, no depth.
    void drawObjectToBuffer(Render::RenderContext& context, Media::ResourceBuffer& target,
                            Media::ResourceBuffer& source);
    // One transition layer; without keepBlend the layer replaces what it covers.
    void drawTransition(const OutputView& view, Media::RenderBuffer& frame, Media::ResourceBuffer& source,
                        bool keepBlend);
    // A pixel-exact translated copy with opacity and blend mode.
    void drawPlain(Render::RenderContext& context, Media::RenderBuffer& frame, Media::ResourceBuffer& image);

    void drawVertexList(Media::ResourceBuffer* image, Media::VertexList& list);
    void bindStates(Platform::gpu::SamplerState* sampler, bool hideBackFace, bool hasVertexList);
    void updateConstant(const Constant& constant);
    void setDepthTarget(Media::RenderBuffer& frame);
    // Unbinds the frame and its order-independent layers.
    void unbindDepthTarget();
    // The lights of the frame on the surfaces drawn with normals in a camera
    // batch, and again on its transparent layer. The rays run from the screen
    // corners toward the eye: top left, top right, bottom right, bottom left.
    void drawLighting(Media::RenderBuffer& frame, const Platform::math::Float3 (&cornerRays)[4]);
    // The transparent layer of a camera batch laid over the frame where it
    // lies in front of the opaque surfaces.
    void resolveTransparency(Media::RenderBuffer& frame);

    // The lighting pass's constant block.
    struct LightConstant {
        struct Source {
            int32_t type;
            float pos[3];
            float col[4];
        } source[8];
        int32_t lightNum;
        float ambient[3];
    };
    static_assert(sizeof(LightConstant) == 272);
    // At most eight lights; the ambient term adds the share of unlit
    // brightness every counted light leaves.
    static LightConstant lightConstant(const void* lights, size_t count);

protected:
    ~OutputShaderEffect() = default;

    Media::Direct3DService* direct3D;
    Shader::SamplerStateList* samplerStateList = nullptr;
    Shader::BlendStateList* blendStateList = nullptr;
    Shader::RasterizerStateList* rasterizerStateList = nullptr;
    Shader::PixelShaderList* pixelShaderList = nullptr;

private:
    Shader::PixelShaderList& shaders();
    void bindBlendEntry(size_t entry);
};

}  // namespace Effect
