#include "effects/OutputShaderEffect.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "core/Exception.h"
#include "edit/Object.h"
#include "effect/RenderContext.h"
#include "effects/CameraControl.h"
#include "media/gpu/Direct3DService.h"
#include "media/gpu/RenderBuffer.h"
#include "media/gpu/ResourceBuffer.h"
#include "media/gpu/PixelShaderList.h"
#include "media/gpu/ResourceService.h"
#include "media/gpu/VertexShader.h"
#include "media/gpu/VertexListBinders.h"
#include "media/gpu/VertexListQuadPosUvCommon.h"
#include "platform/math/Matrix.h"

namespace Effect {

namespace {

using Platform::gpu::ShaderStage;
using Platform::math::Matrix;

void writeRows(float out[16], const Matrix& m) { std::memcpy(out, m.m, sizeof m.m); }

// The quad of the image's size centred on the origin, shared by every draw.
Media::VertexList& imageQuad(const Media::ResourceBuffer& image) {
    return Media::VertexListQuadPosUvCommon::getRectangle(image.width, image.height);
}

// The block of the plain composite: {alpha, offset} for blend mode 0,
// {blend, alpha, offset} for the others.
struct PlainConstant {
    uint32_t words[4] = {};
    PlainConstant(int32_t blend, float alpha, int32_t x, int32_t y) {
        size_t i = 0;
        if (blend != 0) std::memcpy(&words[i++], &blend, 4);
        std::memcpy(&words[i++], &alpha, 4);
        std::memcpy(&words[i++], &x, 4);
        std::memcpy(&words[i], &y, 4);
    }
};

// Where the image's quad lands in a target of the size when drawn through `m`
// (positions as row vectors): the screen position of the corner at uv (0, 0)
// and the screen steps of u and v from 0 to 1. Only an affine mapping (every
// corner at one w) is measured: its footprint is the same at every pixel.
struct ScreenQuad {
    bool affine = false;
    double x = 0, y = 0;    // the corner at uv (0, 0)
    double ax = 0, ay = 0;  // from uv (0, 0) to (1, 0)
    double bx = 0, by = 0;  // from uv (0, 0) to (0, 1)
};

ScreenQuad screenQuad(const Matrix& m, const Media::ResourceBuffer& image, uint32_t targetWidth,
                      uint32_t targetHeight) {
    ScreenQuad quad;
    const double hw = image.width / 2.0, hh = image.height / 2.0;
    // The corners at uv (0, 0), (1, 0), (0, 1), (1, 1).
    const double corners[4][2] = {{-hw, -hh}, {hw, -hh}, {-hw, hh}, {hw, hh}};
    double sx[3] = {}, sy[3] = {}, w0 = 0;
    for (int k = 0; k < 4; ++k) {
        const double x = corners[k][0], y = corners[k][1];
        const double w = x * m.m[0][3] + y * m.m[1][3] + m.m[3][3];
        if (!(w > 0) || (k > 0 && std::fabs(w - w0) > 1e-9 * w0)) return quad;
        if (k == 0) w0 = w;
        if (k == 3) break;
        sx[k] = ((x * m.m[0][0] + y * m.m[1][0] + m.m[3][0]) / w + 1) * 0.5 * targetWidth;
        sy[k] = (1 - (x * m.m[0][1] + y * m.m[1][1] + m.m[3][1]) / w) * 0.5 * targetHeight;
    }
    quad = {true, sx[0], sy[0], sx[1] - sx[0], sy[1] - sy[0], sx[2] - sx[0], sy[2] - sy[0]};
    return quad;
}

// Whether the quad shrinks the image nowhere as the textured shader measures
// it (a footprint of 1.05 source pixels or more), below that bound with a
// margin for the shader's rounding.
bool shrinksNowhere(const ScreenQuad& quad, const Media::ResourceBuffer& image) {
    if (!quad.affine) return false;
    // Screen per uv, inverted: uv per screen pixel.
    const double det = quad.ax * quad.by - quad.ay * quad.bx;
    if (!std::isfinite(det) || det == 0) return false;
    const double footprintX = image.width * (std::fabs(quad.by) + std::fabs(quad.bx)) / std::fabs(det);
    const double footprintY = image.height * (std::fabs(quad.ay) + std::fabs(quad.ax)) / std::fabs(det);
    constexpr double kBound = 1.04;
    return footprintX < kBound && footprintY < kBound;
}

// Whether every pixel centre the quad covers is a texel centre: the image at
// its own size, unturned and unmirrored, with its corner on a pixel corner.
// The bound keeps the corner well inside the rasterizer's snap to 1/256 of a
// pixel and each interpolated coordinate far from a texel's edge.
bool onTexelCentres(const ScreenQuad& quad, const Media::ResourceBuffer& image) {
    if (!quad.affine) return false;
    constexpr double kBound = 1.0 / 1024;
    const auto near = [](double value, double target) { return std::fabs(value - target) <= kBound; };
    return near(quad.ax, image.width) && near(quad.ay, 0) && near(quad.bx, 0) && near(quad.by, image.height) &&
           near(quad.x, std::round(quad.x)) && near(quad.y, std::round(quad.y));
}

}  // namespace

int32_t OutputShaderEffect::plainOffset(uint32_t imageSize, uint32_t frameSize, float center, float position) {
    const double half = (static_cast<double>(imageSize) - static_cast<double>(frameSize)) / 2;
    return static_cast<int32_t>(std::round(half + (static_cast<double>(center) - position)));
}

OutputShaderEffect::OutputShaderEffect() : direct3D(Media::Direct3DService::get()) {
    if (Resource::ResourceService* service = Resource::ResourceService::get()) {
        samplerStateList = &service->samplerStates;
        blendStateList = &service->blendStates;
        rasterizerStateList = &service->rasterizerStates;
        pixelShaderList = &service->pixelShaders;
    }
}

Shader::PixelShaderList& OutputShaderEffect::shaders() {
    if (!pixelShaderList || !direct3D)
        throw System::messageException("Effect::OutputShaderEffect", "resource service not available.");
    return *pixelShaderList;
}

void OutputShaderEffect::bindBlendEntry(size_t entry) {
    const Platform::gpu::BlendState* blend = (*blendStateList)[entry].createResource();
    if (blend != direct3D->boundBlendState || direct3D->boundBlendFactor) {
        direct3D->context->setBlendState(blend, nullptr);
        direct3D->boundBlendState = blend;
        direct3D->boundBlendFactor = false;
    }
}

void OutputShaderEffect::bindStates(Platform::gpu::SamplerState* sampler, bool hideBackFace, bool hasVertexList) {
    shaders();
    Platform::gpu::Context& context = *direct3D->context;
    if (!sampler) sampler = (*samplerStateList)[hasVertexList ? 1 : 0].createResource();
    if (sampler != direct3D->boundSampler) {
        context.setSampler(ShaderStage::Pixel, 0, sampler);
        direct3D->boundSampler = sampler;
    }
    bindBlendEntry(0);
    const Platform::gpu::RasterizerState* rasterizer = (*rasterizerStateList)[hideBackFace ? 1 : 0].createResource();
    if (rasterizer != direct3D->boundRasterizerState) {
        context.setRasterizerState(rasterizer);
        direct3D->boundRasterizerState = rasterizer;
    }
}

void OutputShaderEffect::updateConstant(const Constant& constant) {
    Shader::PixelShaderList& list = shaders();
    std::memcpy(list.listConstant, &constant, sizeof constant);
    Platform::gpu::Context& context = *direct3D->context;
    context.updateSubresource(*list.listConstantBuffer.buffer, list.listConstant);
    context.setConstantBuffer(ShaderStage::Vertex, 0, list.listConstantBuffer.buffer.get());
    context.setConstantBuffer(ShaderStage::Pixel, 0, list.listConstantBuffer.buffer.get());
}

void OutputShaderEffect::setDepthTarget(Media::RenderBuffer& frame) {
    Platform::gpu::View* views[3] = {
        frame.getDepthBuffer()->getUnorderedAccessView(),
        frame.getTransparentBuffer()->getUnorderedAccessView(),
        frame.getTransparentDepthBuffer()->getUnorderedAccessView(),
    };
    direct3D->setRenderTargetWithUav(frame, 3, views);
}

void OutputShaderEffect::drawVertexList(Media::ResourceBuffer* image, Media::VertexList& list) {
    Platform::gpu::Context& context = *direct3D->context;
    if (image) context.setShaderResource(ShaderStage::Pixel, 0, image->getShaderResourceView());
    list.draw();
    context.setShaderResource(ShaderStage::Pixel, 0, nullptr);
    context.setShaderResource(ShaderStage::Pixel, 1, nullptr);
    context.setRenderTarget(nullptr);
}

void OutputShaderEffect::drawObject(Render::RenderContext& context, Media::RenderBuffer& frame,
                                    const std::shared_ptr<Media::ResourceBuffer>& image) {
    shaders();
    const bool camera = context.view.cameraControl != nullptr;
    const bool lit = camera && !frame.lights.empty();
    OutputView view = context.getOutputView();
    Matrix world = view.getWorldMatrix();
    if (camera && context.view.facingMode != 0) context.customShape = 1;
    if (camera && context.view.facingMode == 3) {
        // Turned in object space to face along the camera's direction.
        if (const auto* control = dynamic_cast<const CameraControl*>(context.view.cameraControl->effects.front().get())) {
            const Platform::math::Float4 d = control->direction;
            const Matrix look = Platform::math::lookToLH({0, 0, 0}, {d.x, d.y, d.z}, {0, 1, 0});
            world = Platform::math::multiply(Platform::math::inverse(look), world);
        }
    }
    const Matrix viewMatrix = view.getViewMatrix();
    const Matrix worldView = Platform::math::multiply(world, viewMatrix);

    Constant constant{};
    writeRows(constant.projection, Platform::math::transpose(worldView));
    constant.alpha = view.opacity;
    constant.blend = drawnBlendMode(view.blendMode);
    if (lit) {
        writeRows(constant.normalWorld, Platform::math::inverse(world));
        constant.shine = context.view.gloss;
    }
    updateConstant(constant);
    bindStates(context.view.samplerState.get(), context.view.hideBackFace != 0, context.vertexList != nullptr);

    Platform::gpu::Context& gpu = *direct3D->context;
    std::unique_ptr<Media::ResourceBuffer> copy;
    if (constant.blend != 0) {
        copy = frame.createResourceBuffer(true);
        gpu.setShaderResource(ShaderStage::Pixel, 1, copy->getShaderResourceView());
    }
    Media::VertexList& list =
        context.vertexList ? static_cast<Media::VertexList&>(*context.vertexList) : imageQuad(*image);
    if (lit) {
        Platform::gpu::View* views[5] = {
            frame.getDepthBuffer()->getUnorderedAccessView(),
            frame.getTransparentBuffer()->getUnorderedAccessView(),
            frame.getTransparentDepthBuffer()->getUnorderedAccessView(),
            frame.getNormalBuffer()->getUnorderedAccessView(),
            frame.getNormalTransparentBuffer()->getUnorderedAccessView(),
        };
        direct3D->setRenderTargetWithUav(frame, 5, views);
        list.setNormalShader();
        if (image) gpu.setShaderResource(ShaderStage::Pixel, 0, image->getShaderResourceView());
        list.drawWithNormal();
        gpu.setShaderResource(ShaderStage::Pixel, 0, nullptr);
        gpu.setShaderResource(ShaderStage::Pixel, 1, nullptr);
        unbindDepthTarget();
    } else if (camera) {
        setDepthTarget(frame);
        list.setDepthShader();
        drawVertexList(image.get(), list);
        unbindDepthTarget();
    } else {
        direct3D->setRenderTarget(frame);
        const ScreenQuad quad =
            !context.vertexList && image ? screenQuad(worldView, *image, frame.width, frame.height) : ScreenQuad{};
        if (quad.affine && onTexelCentres(quad, *image))
            Media::bindShaderUvTexel();
        else if (quad.affine && shrinksNowhere(quad, *image))
            Media::bindShaderUvOnce();
        else
            list.setShader();
        drawVertexList(image.get(), list);
    }
}

OutputShaderEffect::LightConstant OutputShaderEffect::lightConstant(const void* lights, size_t count) {
    static_assert(sizeof(LightConstant::Source) == sizeof(Media::RenderBuffer::Light));
    LightConstant block{};
    const size_t n = std::min<size_t>(count, 8);
    if (n > 0) std::memcpy(block.source, lights, n * sizeof(LightConstant::Source));
    block.lightNum = static_cast<int32_t>(n);
    float unlit = 1;
    for (size_t i = 0; i < n; ++i) {
        const LightConstant::Source& light = block.source[i];
        if (light.type == 0)
            for (int k = 0; k < 3; ++k) block.ambient[k] += light.col[k];
        unlit *= light.col[3];
    }
    for (float& a : block.ambient) a += unlit;
    return block;
}

void OutputShaderEffect::drawLighting(Media::RenderBuffer& frame, const Platform::math::Float3 (&cornerRays)[4]) {
    Shader::PixelShaderList& list = shaders();
    if (frame.lights.empty()) return;
    Platform::gpu::Context& gpu = *direct3D->context;
    // The strip runs top left, top right, bottom left, bottom right.
    struct Vertex {
        float position[3];
        float ray[3];
        float unused[4];
    };
    static_assert(sizeof(Vertex) == 40);
    const float corners[4][2] = {{-1, 1}, {1, 1}, {-1, -1}, {1, -1}};
    const size_t rays[4] = {0, 1, 3, 2};
    Vertex vertices[4] = {};
    for (size_t i = 0; i < 4; ++i) {
        vertices[i].position[0] = corners[i][0];
        vertices[i].position[1] = corners[i][1];
        const Platform::math::Float3& r = cornerRays[rays[i]];
        vertices[i].ray[0] = r.x;
        vertices[i].ray[1] = r.y;
        vertices[i].ray[2] = r.z;
    }
    Media::VertexBufferCommon& quad = list.singleQuad40;
    std::memcpy(quad.vertices.get(), vertices, sizeof vertices);
    if (quad.buffer)
        gpu.updateSubresource(*quad.buffer, quad.vertices.get());
    else
        quad.create(quad.vertices.get(), 4, sizeof(Vertex));

    const LightConstant block = lightConstant(frame.lights.data(), frame.lights.size());
    gpu.updateSubresource(*list.lightConstantBuffer.buffer, &block);
    gpu.setConstantBuffer(ShaderStage::Pixel, 0, list.lightConstantBuffer.buffer.get());
    const Platform::gpu::RasterizerState* rasterizer = (*rasterizerStateList)[0].createResource();
    if (rasterizer != direct3D->boundRasterizerState) {
        gpu.setRasterizerState(rasterizer);
        direct3D->boundRasterizerState = rasterizer;
    }
    bindBlendEntry(10);
    Media::VertexShader& vs = list.listVertexShaders[6];
    Media::PixelShader& ps = list.listPixelShaders[3];
    if (&vs != direct3D->boundVertexShader) {
        gpu.setVertexShader(vs.shader.get(), vs.layout.get());
        direct3D->boundVertexShader = &vs;
    }
    if (&ps != direct3D->boundPixelShader) {
        gpu.setPixelShader(ps.shader.get());
        direct3D->boundPixelShader = &ps;
    }
    direct3D->setRenderTarget(frame);
    gpu.setShaderResource(ShaderStage::Pixel, 0, frame.getNormalBuffer()->getShaderResourceView());
    direct3D->drawVertexBuffer(quad);
    gpu.setShaderResource(ShaderStage::Pixel, 0, nullptr);
    gpu.setRenderTarget(nullptr);
    direct3D->setResourceTarget(*frame.getTransparentBuffer());
    gpu.setShaderResource(ShaderStage::Pixel, 0, frame.getNormalTransparentBuffer()->getShaderResourceView());
    direct3D->drawVertexBuffer(quad);
    gpu.setShaderResource(ShaderStage::Pixel, 0, nullptr);
    gpu.setRenderTarget(nullptr);
}

void OutputShaderEffect::resolveTransparency(Media::RenderBuffer& frame) {
    Shader::PixelShaderList& list = shaders();
    setDepthTarget(frame);
    Media::PixelShader& resolve = list.listPixelShaders[4];
    resolve.draw(resolve, (*blendStateList)[0].createResource(), nullptr);
    unbindDepthTarget();
}

// The frame's layers must not stay bound: a later draw would still see them
// after the frame has gone.
void OutputShaderEffect::unbindDepthTarget() {
    Platform::gpu::Context& gpu = *direct3D->context;
    for (uint32_t slot = 1; slot < Platform::gpu::kUnorderedAccessSlots; ++slot)
        gpu.setUnorderedAccessView(ShaderStage::Pixel, slot, nullptr);
    gpu.setRenderTarget(nullptr);
}

void OutputShaderEffect::drawToTarget(const OutputView& view, Media::ResourceBuffer& target,
                                      Media::ResourceBuffer& source, Media::VertexList* list) {
    shaders();
    Constant constant{};
    const Matrix screen = view.getScreenMatrix(static_cast<int32_t>(target.width), static_cast<int32_t>(target.height));
    writeRows(constant.projection, Platform::math::transpose(Platform::math::multiply(view.getObjectMatrix(), screen)));
    constant.alpha = view.opacity;
    constant.blend = view.blendMode;
    updateConstant(constant);
    bindStates(view.samplerState.get(), view.hideBackFace != 0, list != nullptr);
    std::unique_ptr<Media::ResourceBuffer> copy;
    if (constant.blend != 0) {
        copy = target.clone();
        direct3D->context->setShaderResource(ShaderStage::Pixel, 1, copy->getShaderResourceView());
        if (constant.blend >= 20) bindBlendEntry(17);  // the shader gives the difference to add
    }
    Media::VertexList& drawn = list ? *list : imageQuad(source);
    direct3D->setResourceTarget(target);
    drawn.setShader();
    drawVertexList(&source, drawn);
}

void OutputShaderEffect::drawObjectToBuffer(Render::RenderContext& context, Media::ResourceBuffer& target,
                                            Media::ResourceBuffer& source) {
    shaders();
    const OutputView view = context.getOutputView();
    Constant constant{};
    writeRows(constant.projection,
              Platform::math::transpose(Platform::math::multiply(view.getWorldMatrix(), view.getViewMatrix())));
    constant.alpha = 1;
    constant.blend = 0;
    updateConstant(constant);
    bindStates(context.view.samplerState.get(), false, context.vertexList != nullptr);
    Media::VertexList& list =
        context.vertexList ? static_cast<Media::VertexList&>(*context.vertexList) : imageQuad(source);
    direct3D->setResourceTarget(target);
    list.setShader();
    drawVertexList(&source, list);
}

void OutputShaderEffect::drawTransition(const OutputView& view, Media::RenderBuffer& frame,
                                        Media::ResourceBuffer& source, bool keepBlend) {
    shaders();
    Constant constant{};
    const Matrix screen = view.getScreenMatrix(static_cast<int32_t>(frame.width), static_cast<int32_t>(frame.height));
    writeRows(constant.projection, Platform::math::transpose(Platform::math::multiply(view.getObjectMatrix(), screen)));
    constant.alpha = view.opacity;
    constant.blend = 0;
    updateConstant(constant);
    bindStates(view.samplerState.get(), false, false);
    if (!keepBlend) bindBlendEntry(3);
    Media::VertexList& list = imageQuad(source);
    direct3D->setRenderTarget(frame);
    list.setShader();
    drawVertexList(&source, list);
}

void OutputShaderEffect::drawPlain(Render::RenderContext& context, Media::RenderBuffer& frame,
                                   Media::ResourceBuffer& image) {
    Shader::PixelShaderList& list = shaders();
    const int32_t x = plainOffset(image.width, frame.width, context.view.centerX, context.view.x);
    const int32_t y = plainOffset(image.height, frame.height, context.view.centerY, context.view.y);
    const OutputView view = context.getOutputView();
    const int32_t blend = drawnBlendMode(view.blendMode);
    const PlainConstant constant(blend, view.opacity, x, y);
    static_assert(sizeof constant.words == sizeof list.constant);
    std::memcpy(list.constant, constant.words, sizeof constant.words);
    Platform::gpu::Context& gpu = *direct3D->context;
    Platform::gpu::Buffer* buffer = list.constantBuffer.buffer.get();
    gpu.updateSubresource(*buffer, list.constant);
    const Platform::gpu::BlendState* over = (*blendStateList)[0].createResource();
    if (blend == 0) {
        list[10].drawResourceToRenderWithConstant(frame, image, buffer, over);
        return;
    }
    const std::unique_ptr<Media::ResourceBuffer> copy = frame.createResourceBuffer(true);
    gpu.setConstantBuffer(ShaderStage::Pixel, 0, buffer);
    list[25].drawTwoResourcesToRender(frame, image, *copy, over);
}

}  // namespace Effect
