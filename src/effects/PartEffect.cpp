#include "effects/PartEffect.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "core/Exception.h"
#include "effect/RenderContext.h"
#include "effects/BlurHooks.h"
#include "effects/ShaderResource.h"
#include "media/gpu/ConstantBufferCommon.h"
#include "media/gpu/Direct3DService.h"
#include "media/gpu/PixelShader.h"
#include "media/gpu/PixelShaderList.h"
#include "media/gpu/RenderBuffer.h"
#include "media/gpu/ResourceBuffer.h"
#include "media/gpu/ResourceService.h"
#include "render/VideoPass.h"
#include "shaders/BuiltinShaders.h"

namespace Effect {

namespace {

constexpr const char* kScope = "Effect::PartEffect::controlVideo";
// The shared offset copy (reads outside the source give 0), the blend states
// that mix by the second output, and the sampler with a transparent border.
constexpr size_t kOffsetCopy = 5;
constexpr size_t kMixBySecond = 5;     // output x m + frame x (1 - m)
constexpr size_t kMixBySecondInv = 4;  // output x (1 - m) + frame x m
constexpr size_t kBorderSampler = 0;

void load(Media::PixelShader& program, const char* name) {
    const std::vector<uint8_t>* code = Shader::BuiltinShaders::code(name, Platform::gpu::ShaderStage::Pixel);
    if (!code) throw System::messageException("Effect::PartEffect::CommonResource", "built-in shader missing.");
    program.loadFromMemory(code->data(), code->size());
}

Resource::ResourceService& resources() {
    Resource::ResourceService* service = Resource::ResourceService::get();
    if (!service) throw System::messageException(kScope, "resource service not available.");
    return *service;
}

}  // namespace

PartEffect::PartEffect() {
    role = kControl;
    media = kVideo;
    placement = kVideo;
    positionItems = {&x, &y};
}

void PartEffect::createCommonResource() {
    resource = ShaderResource::create(2, sizeof(Constant));
    load(*resource->shaders[kColourMask], "PartEffect");
    load(*resource->shaders[kCoverageMask], "PartEffectCoverage");
}

bool PartEffect::noMask() const { return mask.sceneId < 0 && mask.index == 0; }

void PartEffect::preInputVideo(Render::RenderContext& context) {
    if (!noMask()) mask.preloadMaskImage(context);
}

OutputView PartEffect::getOutputView(Render::RenderContext& context) {
    OutputView view = context.view;
    view.x = view.y = view.z = 0;
    view.centerX = view.centerY = view.centerZ = 0;
    return view;
}

void PartEffect::copyWhole(Media::RenderBuffer& frame, Media::ResourceBuffer& filtered, int32_t dx, int32_t dy) {
    Shader::PixelShaderList& list = resources().pixelShaders;
    static_assert(sizeof list.constant >= 2 * sizeof(int32_t));
    std::memset(list.constant, 0, sizeof list.constant);
    std::memcpy(&list.constant[0], &dx, sizeof dx);
    std::memcpy(&list.constant[1], &dy, sizeof dy);
    Platform::gpu::Buffer* buffer = list.constantBuffer.buffer.get();
    Media::Direct3DService::get()->context->updateSubresource(*buffer, list.constant);
    list[kOffsetCopy].drawResourceToRenderWithConstant(frame, filtered, buffer, nullptr);
}

void PartEffect::controlVideo(Render::RenderContext& context) {
    Media::RenderBuffer* frame = context.view.frameBuffer;
    if (!frame || !frame->texture || frame->width == 0 || frame->height == 0) return;
    // The filters below see no enclosing camera or group.
    context.view.cameraControl.reset();
    context.view.groupControl.reset();

    Image filtered(frame->createResourceBuffer(true));
    Render::VideoPass::collectObjectChain(context, kVideo);
    filtered = Render::VideoPass::filterVideo(context, std::move(filtered), nullptr);
    context.chain.reset();
    if (!filtered) return;

    const float frameW = static_cast<float>(frame->width), frameH = static_cast<float>(frame->height);
    const int32_t dx = static_cast<int32_t>(
        std::lroundf((static_cast<float>(filtered->width) - frameW) * 0.5f + context.view.centerX - context.view.x));
    const int32_t dy = static_cast<int32_t>(
        std::lroundf((static_cast<float>(filtered->height) - frameH) * 0.5f + context.view.centerY - context.view.y));

    const double a = angle.getValue(context) * (3.14159265358979323846 / 180);
    const long n = std::lround(size.getValue(context));
    const float c = static_cast<float>(aspect.getValue(context) / 100);
    const bool inverted = invert.value != 0;

    if (noMask()) {
        if (!inverted) copyWhole(*frame, *filtered, dx, dy);
        return;
    }
    if (n < 1 || c <= -1 || c >= 1) {
        if (inverted) copyWhole(*frame, *filtered, dx, dy);
        return;
    }
    Image picture = mask.getMaskImage(context, static_cast<uint32_t>(n), static_cast<uint32_t>(n));
    if (!picture || picture->width == 0 || picture->height == 0) return;
    const bool coverage = picture->format == Media::Direct3DService::get()->maskFormat;
    const float u = static_cast<float>(n) / static_cast<float>(std::max(picture->width, picture->height));
    if (const long b = std::lround(blur.getValue(context)); b > 0)
        if (Image blurred = BlurHooks::blur(picture, static_cast<int32_t>(b), 0, 0)) picture = std::move(blurred);
    float w = static_cast<float>(picture->width) * u, h = static_cast<float>(picture->height) * u;
    if (c > 0) w *= 1 - c;
    if (c < 0) h *= 1 + c;

    Constant constant{};
    constant.offset[0] = dx;
    constant.offset[1] = dy;
    constant.offsetMask[0] = frameW * -0.5f - static_cast<float>(x.getValue(context));
    constant.offsetMask[1] = frameH * -0.5f - static_cast<float>(y.getValue(context));
    constant.inverseMaskSize[0] = 1 / w;
    constant.inverseMaskSize[1] = 1 / h;
    constant.angleS = static_cast<float>(std::sin(a));
    constant.angleC = static_cast<float>(std::cos(a));
    Media::Direct3DService& d3d = *Media::Direct3DService::get();
    Platform::gpu::Buffer* buffer = resource->constant->buffer.get();
    d3d.context->updateSubresource(*buffer, &constant);

    Resource::ResourceService& shared = resources();
    Platform::gpu::SamplerState* sampler = shared.samplerStates[kBorderSampler].createResource();
    if (d3d.boundSampler != sampler) {
        d3d.context->setSampler(Platform::gpu::ShaderStage::Pixel, 0, sampler);
        d3d.boundSampler = sampler;
    }
    Media::PixelShader& program = *resource->shaders[coverage ? kCoverageMask : kColourMask];
    d3d.context->setConstantBuffer(Platform::gpu::ShaderStage::Pixel, 0, buffer);
    program.drawTwoResourcesToRender(*frame, *filtered, *picture,
                                     shared.blendStates[inverted ? kMixBySecondInv : kMixBySecond].createResource());
}

}  // namespace Effect
