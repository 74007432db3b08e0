#include "effects/SceneChange.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "core/Exception.h"
#include "core/Log.h"
#include "edit/Object.h"
#include "edit/UpdateSection.h"
#include "effect/RenderContext.h"
#include "effects/BlurHooks.h"
#include "media/gpu/ConstantBufferCommon.h"
#include "media/gpu/Direct3DService.h"
#include "media/gpu/PixelShader.h"
#include "media/gpu/PixelShaderList.h"
#include "media/gpu/RenderBuffer.h"
#include "media/gpu/ResourceBuffer.h"
#include "media/gpu/ResourceService.h"
#include "media/resource/TransitionList.h"
#include "render/RenderVideoWorker.h"
#include "shaders/BuiltinShaders.h"

namespace Effect {

namespace {

using Params = SceneChange::SceneChangeParams;
using Define = SceneChange::SceneChangeDefine;
using Image = std::shared_ptr<Media::ResourceBuffer>;

constexpr float kPi = 3.14159265358979323846f;
// The shared plain copy and the copy that hands its second source to the blend.
constexpr size_t kCopy = 2;
constexpr size_t kTwoCopies = 7;
// Blend entries: premultiplied over is the layers' own; the mixes by the
// second output's alpha; the cross-fade by a factor.
constexpr size_t kMaskShowsTarget = 4;
constexpr size_t kMaskShowsSource = 5;
constexpr size_t kCrossFade = 20;

Resource::ResourceService& resources() {
    Resource::ResourceService* service = Resource::ResourceService::get();
    if (!service) throw System::messageException("Effect::SceneChange", "resource service not available.");
    return *service;
}

Media::Direct3DService& device() { return *Media::Direct3DService::get(); }

// x: the progress, turned back where the transition shows "反転" and it is on.
float shownProgress(const Params& p, const Define& define) {
    return (define.flags & 1u) && p.invert ? 1.0f - p.progress : p.progress;
}

// source x (1 - f) + target x f.
void blendPass(Media::RenderBuffer& target, Media::ResourceBuffer& source, float f) {
    Resource::ResourceService& shared = resources();
    const float factor[4] = {f, f, f, f};
    shared.pixelShaders[kCopy].drawResourceToRenderWithFactor(target, source, factor,
                                                              shared.blendStates[kCrossFade].createResource());
}

// The 16-byte shared constant block written, then one of the class programs
// over the whole target: its discarded pixels keep the target's.
template <class Block>
void constantPass(Params& p, SceneChange::Program program, Media::ResourceBuffer& source, const Block& block) {
    static_assert(sizeof(Block) <= 16);
    Shader::PixelShaderList& list = resources().pixelShaders;
    std::memset(list.constant, 0, sizeof list.constant);
    std::memcpy(list.constant, &block, sizeof block);
    Platform::gpu::Buffer* buffer = list.constantBuffer.buffer.get();
    device().context->updateSubresource(*buffer, list.constant);
    p.resource->shaders[program]->drawResourceToRenderWithConstant(*p.target, source, buffer, nullptr);
}

struct Offset {
    int32_t x, y;
};

void offsetPass(Params& p, Media::ResourceBuffer& source, float dx, float dy) {
    constantPass(p, SceneChange::kOffset, source, Offset{int32_t(std::lroundf(dx)), int32_t(std::lroundf(dy))});
}

// A plain copy of the target (the current frame).
Image copyOfTarget(Params& p) { return Image(p.target->createResourceBuffer(true)); }

// Afterwards the target holds the before frame and the returned image the current one.
Image swapRoles(Params& p) {
    Image current = copyOfTarget(p);
    resources().pixelShaders[kCopy].drawResourceToRender(*p.target, *p.before);
    return current;
}

void clearTarget(Params& p, float r = 0, float g = 0, float b = 0, float a = 0) {
    const float colour[4] = {r, g, b, a};
    device().context->clearRenderTargetView(p.target->renderTargetView, colour);
}

void clearImage(Media::ResourceBuffer& image, const float colour[4]) {
    device().context->clearRenderTargetView(image.getRenderTargetView(), colour);
}

void layer(Params& p, const OutputView& view, Media::ResourceBuffer& source, bool keepBlend) {
    p.effect->drawTransition(view, *p.target, source, keepBlend);
}

int32_t targetWidth(const Params& p) { return static_cast<int32_t>(p.target->width); }
int32_t targetHeight(const Params& p) { return static_cast<int32_t>(p.target->height); }

// "分割数", at most half the height and at least 1.
int32_t bands(const Params& p) { return std::max(1, std::min(p.divide, targetHeight(p) / 2)); }

void crossFade(Params& p, const Define&) { blendPass(*p.target, *p.before, p.progress); }

// From the before frame to the colour in the first half, from the colour to
// the current frame in the second.
void throughColour(Params& p, const float colour[4]) {
    const float u = 2 * p.progress;
    if (u < 1) {
        clearTarget(p, colour[0], colour[1], colour[2], colour[3]);
        blendPass(*p.target, *p.before, u);
    } else {
        clearImage(*p.before, colour);
        blendPass(*p.target, *p.before, u - 1);
    }
}

void blackOut(Params& p, const Define&) {
    static constexpr float kBlack[4] = {0, 0, 0, 1};
    throughColour(p, kBlack);
}

void whiteOut(Params& p, const Define&) {
    static constexpr float kWhite[4] = {1, 1, 1, 1};
    throughColour(p, kWhite);
}

void slice(Params& p, const Define& define) {
    struct Block {
        int32_t offsetX, offsetY, divide;
    };
    const auto offset = static_cast<int32_t>(static_cast<float>(targetWidth(p)) * shownProgress(p, define));
    const Block block{p.vertical ? 0 : offset, p.vertical ? offset : 0, bands(p)};
    if (!p.invert) {
        constantPass(p, SceneChange::kSlice, *p.before, block);
        return;
    }
    const Image current = swapRoles(p);
    constantPass(p, SceneChange::kSlice, *current, block);
}

void randomLine(Params& p, const Define&) {
    struct Block {
        float ratio;
        int32_t divideX, divideY;
    };
    const int32_t n = bands(p);
    const Block block{p.progress, p.vertical ? n : 0, p.vertical ? 0 : n};
    Resource::ResourceService& shared = resources();
    Shader::PixelShaderList& list = shared.pixelShaders;
    std::memset(list.constant, 0, sizeof list.constant);
    std::memcpy(list.constant, &block, sizeof block);
    Platform::gpu::Buffer* buffer = list.constantBuffer.buffer.get();
    device().context->updateSubresource(*buffer, list.constant);
    device().context->setConstantBuffer(Platform::gpu::ShaderStage::Pixel, 0, buffer);
    const Image random = shared.permutationTexture.get();
    p.resource->shaders[SceneChange::kRandomLine]->drawTwoResourcesToRender(*p.target, *p.before, *random, nullptr);
}

void slide(Params& p, const Define& define) {
    const float w = static_cast<float>(targetWidth(p)), h = static_cast<float>(targetHeight(p));
    const float theta = static_cast<float>(p.angle) * kPi / 180.0f;
    const float c = std::cos(theta), s = std::sin(theta);
    float dx, dy;
    if (std::fabs(h * c) > std::fabs(w * s)) {
        dx = c <= 0 ? -w : w;
        dy = w * s / std::fabs(c);
    } else {
        dy = s <= 0 ? -h : h;
        dx = h * c / std::fabs(s);
    }
    const float x = shownProgress(p, define);
    if (!p.invert) {
        offsetPass(p, *p.before, dx * x, dy * x);
        return;
    }
    const Image current = swapRoles(p);
    offsetPass(p, *current, dx * x, dy * x);
}

void push(Params& p, const Define&) {
    float dx = p.vertical ? 0.0f : static_cast<float>(targetWidth(p));
    float dy = p.vertical ? -static_cast<float>(targetHeight(p)) : 0.0f;
    if (p.invert) dx = -dx, dy = -dy;
    const float t = p.progress;
    const Image current = copyOfTarget(p);
    clearTarget(p);
    offsetPass(p, *p.before, dx * t, dy * t);
    offsetPass(p, *current, (t - 1) * dx, (t - 1) * dy);
}

OutputView layerView(float x, float y, float z) {
    OutputView view;
    view.x = x;
    view.y = y;
    view.z = z;
    return view;
}

void swap(Params& p, const Define&) {
    const float a = 180.0f * p.progress * kPi / 180.0f;
    float d = 0.33f * static_cast<float>(p.vertical ? targetHeight(p) : targetWidth(p)) * std::sin(a);
    if (p.invert) d = -d;
    const Image current = copyOfTarget(p);
    clearTarget(p);
    const float nearZ = 512.0f * (1 + std::cos(a)), farZ = 512.0f * (1 - std::cos(a));
    const OutputView now = p.vertical ? layerView(0, -d, nearZ) : layerView(d, 0, nearZ);
    const OutputView then = p.vertical ? layerView(0, d, farZ) : layerView(-d, 0, farZ);
    if (p.progress < 0.5f) {
        layer(p, now, *current, false);
        layer(p, then, *p.before, false);
    } else {
        layer(p, then, *p.before, false);
        layer(p, now, *current, false);
    }
}

void shrinkTurn(Params& p, const Define& define) {
    const float x = shownProgress(p, define);
    OutputView view = layerView(0, 0, 8192.0f * x * x);
    view.rotationZ = 360.0f * x;
    view.opacity = 1 - x * x;
    if (!p.invert) {
        layer(p, view, *p.before, true);
        return;
    }
    const Image current = swapRoles(p);
    layer(p, view, *current, true);
}

void turnOver(Params& p, const Define&) {
    const Image current = copyOfTarget(p);
    clearTarget(p);
    const float angle = p.invert ? -180.0f * p.progress : 180.0f * p.progress;
    OutputView view;
    float& turn = p.vertical ? view.rotationX : view.rotationY;
    if (p.progress < 0.5f) {
        turn = angle;
        layer(p, view, *p.before, true);
    } else {
        turn = angle + 180.0f;
        layer(p, view, *current, true);
    }
}

void cube(Params& p, const Define&) {
    const Image current = copyOfTarget(p);
    clearTarget(p);
    const float half = static_cast<float>(p.vertical ? targetHeight(p) : targetWidth(p)) / 2;
    const float k = p.invert ? -90.0f : 90.0f;
    const float t = p.progress;
    const auto face = [&](Media::ResourceBuffer& image, float angle) {
        OutputView view = layerView(0, 0, half);
        view.centerZ = half;
        (p.vertical ? view.rotationX : view.rotationY) = angle;
        layer(p, view, image, true);
    };
    if (t < 0.5f) {
        face(*current, (t - 1) * k);
        face(*p.before, t * k);
    } else {
        face(*p.before, t * k);
        face(*current, (t - 1) * k);
    }
}

// The picture of the half the progress is in, put over the target.
void showHalf(Params& p, const Image& picture) {
    resources().pixelShaders[kCopy].drawResourceToRender(*p.target, *picture);
}

void radialBlur(Params& p, const Define&) {
    const float strength = (1 - std::fabs(2 * p.progress - 1)) * 80;
    Image picture = p.progress < 0.5f ? p.before : copyOfTarget(p);
    if (strength > 0)
        if (Image blurred = BlurHooks::radialBlur(picture, strength)) picture = std::move(blurred);
    showHalf(p, picture);
}

void blurThrough(Params& p, const Define&) {
    const auto size = static_cast<int32_t>(std::lroundf((1 - std::fabs(2 * p.progress - 1)) * 400));
    Image picture = p.progress < 0.5f ? Image(p.before->clone()) : copyOfTarget(p);
    if (size > 0)
        if (Image blurred = BlurHooks::blur(picture, size, 0, 2)) picture = std::move(blurred);
    showHalf(p, picture);
}

void load(Media::PixelShader& program, const char* name) {
    const std::vector<uint8_t>* code = Shader::BuiltinShaders::code(name, Platform::gpu::ShaderStage::Pixel);
    if (!code) throw System::messageException("Effect::SceneChange::CommonResource", "built-in shader missing.");
    program.loadFromMemory(code->data(), code->size());
}

}  // namespace

const std::vector<SceneChange::SceneChangeDefine>& SceneChange::defineList() {
    static const std::vector<SceneChangeDefine> list = {
        {L"クロスフェード", crossFade, 0},
        {L"暗転", blackOut, 0},
        {L"ホワイトアウト", whiteOut, 0},
        {L"スライス", slice, 37},
        {L"ランダムライン", randomLine, 36},
        {L"スライド", slide, 3},
        {L"押し出し", push, 33},
        {L"スワップ", swap, 33},
        {L"縮小回転", shrinkTurn, 1},
        {L"回転", turnOver, 33},
        {L"キューブ回転", cube, 33},
        {L"放射ブラー", radialBlur, 0},
        {L"ぼかし", blurThrough, 0},
    };
    return list;
}

SceneChange::SceneChange() {
    role = kControl;
    media = kVideo;
    kind.notify = 1;
    menuGroup = L"シーンチェンジ";
    placement = kSceneChange;
}

void SceneChange::createCommonResource() {
    resource = ShaderResource::create(3, 0);
    load(*resource->shaders[kSlice], "SceneChangeSlice");
    load(*resource->shaders[kOffset], "SceneChangeOffset");
    load(*resource->shaders[kRandomLine], "SceneChangeRandomLine");
}

float SceneChange::progressAt(int32_t frame, int32_t start, int32_t end) {
    const float t = static_cast<float>(frame - (start - 1)) / static_cast<float>(end - start + 1);
    return std::clamp(t, 0.0f, 1.0f);
}

void SceneChange::requestBeforeFrame(Render::RenderContext& context) {
    if (!context.videoWorker || !context.object || !context.scene) return;
    const int32_t before = context.object->start - 1;
    context.preInput = context.videoWorker->requestPreInputFrame(*context.scene, before, context.frame - before,
                                                                 context.object->layer - 1);
}

Media::RenderBuffer* SceneChange::beforeFrame(Render::RenderContext& context, const char* scope) {
    if (!context.preInput) {
        System::Log::warn(scope, "no before frame buffer");
        return nullptr;
    }
    auto* rendered = dynamic_cast<Render::RenderVideoWorker::RenderingBuffer*>(context.preInput.get());
    if (!rendered) System::Log::warn(scope, "invalid before frame buffer");
    return rendered;
}

void SceneChange::preInputVideo(Render::RenderContext& context) { requestBeforeFrame(context); }

void SceneChange::controlVideo(Render::RenderContext& context) {
    constexpr const char* kScope = "Effect::SceneChange::controlVideo";
    Media::RenderBuffer* rendered = beforeFrame(context, kScope);
    if (!rendered) return;
    Media::RenderBuffer* target = context.view.frameBuffer;
    if (!target || !target->texture || !rendered->texture) return;

    SceneChangeParams p;
    p.effect = this;
    p.resource = resource.get();
    p.before = Image(rendered->createResourceBuffer(true));
    p.target = target;
    p.progress = progressAt(context.frame, context.object->start, context.object->end);
    p.angle = static_cast<int32_t>(std::lround(angle.getValue(context)));
    p.divide = static_cast<int32_t>(std::lround(divide.getValue(context)));
    p.blur = static_cast<int32_t>(std::lround(blur.getValue(context)));
    p.vertical = vertical.value ? 1 : 0;
    p.invert = invert.value ? 1 : 0;
    p.keepAspect = keepAspect.value ? 1 : 0;

    const int32_t key = kind.index;
    const std::vector<SceneChangeDefine>& defines = defineList();
    if (key >= 0 && static_cast<size_t>(key) < defines.size()) {
        const SceneChangeDefine& define = defines[static_cast<size_t>(key)];
        if (!define.draw) {
            System::Log::warn(kScope, "no scene change func");
            return;
        }
        define.draw(p, define);
        return;
    }
    wipe(p, key - kFirstWipe);
}

void SceneChange::wipe(SceneChangeParams& p, int32_t k) {
    const float x = p.invert ? 1.0f - p.progress : p.progress;
    Resource::ResourceService* shared = Resource::ResourceService::get();
    const Resource::TransitionList* list = shared ? shared->transitions.get() : nullptr;
    std::unique_ptr<Media::ResourceBuffer> mask;
    if (list && k >= 0 && static_cast<size_t>(k) < list->transitions.size())
        mask = list->transitions[static_cast<size_t>(k)].createMask(p.target->width, p.target->height, x, p.blur,
                                                                    p.keepAspect != 0);
    if (!mask) {
        System::Log::warn("Effect::SceneChange::wipe", "no scene change mask");
        return;
    }
    shared->pixelShaders[kTwoCopies].drawTwoResourcesToRender(
        *p.target, *p.before, *mask,
        shared->blendStates[p.invert ? kMaskShowsSource : kMaskShowsTarget].createResource());
}

bool SceneChange::itemEvent(const ItemEvent& event) {
    if (event.kind != ItemEvent::kItemChanged) return false;
    // Another transition shows other items: the settings are laid out anew.
    if (event.scope) {
        event.scope->effectStateChanged = true;
        event.scope->effectsChanged = true;
    }
    return true;
}

// The built-in transitions (keys 0 to 12), then the mask wipes of the
// transition list from key 13: its names once the resources list them, else
// the built-in wipe shapes.
std::shared_ptr<const EffectItemSelect::SharedList> SceneChange::transitionList() {
    static const std::shared_ptr<const EffectItemSelect::SharedList> list = [] {
        auto l = EffectItemSelect::SharedList::create();
        const std::vector<SceneChangeDefine>& defines = defineList();
        for (size_t i = 0; i < defines.size(); ++i) l->insert(static_cast<int32_t>(i), defines[i].name.c_str());
        const Resource::ResourceService* shared = Resource::ResourceService::get();
        if (shared && shared->transitions && !shared->transitions->names.empty()) {
            for (const auto& [k, name] : shared->transitions->names) l->add(kFirstWipe + k, name);
        } else {
            const wchar_t* wipes[] = {L"ワイプ(円)", L"ワイプ(四角)", L"ワイプ(時計)",  L"ワイプ(横)",
                                      L"ワイプ(縦)", L"ワイプ(星型)", L"ワイプ(ハート)"};
            for (int32_t k = 0; k < 7; ++k) l->insert(kFirstWipe + k, wipes[k]);
        }
        return l;
    }();
    return list;
}

}  // namespace Effect
