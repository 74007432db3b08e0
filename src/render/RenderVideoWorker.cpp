#include "render/RenderVideoWorker.h"

#include <algorithm>
#include <chrono>
#include <cwchar>

#include "core/Color.h"
#include "core/Exception.h"
#include "core/IniFile.h"
#include "core/Log.h"
#include "core/SettingService.h"
#include "edit/Object.h"
#include "edit/ReadSection.h"
#include "edit/Scene.h"
#include "effect/EffectBase.h"
#include "media/gpu/ConstantBufferCommon.h"
#include "media/gpu/Direct3DService.h"
#include "media/gpu/PixelShader.h"
#include "media/gpu/ResourceService.h"
#include "media/gpu/RenderBuffer.h"
#include "media/gpu/ResourceBuffer.h"
#include "media/image/ImageBuffer.h"
#include "platform/math/Matrix.h"
#include "render/ResourceCache.h"
#include "render/VideoPass.h"
#include "shaders/BuiltinShaders.h"

namespace Render {

namespace {

constexpr size_t kOver = 0;         // blend: premultiplied over
constexpr size_t kMixBySecond = 4;  // blend: first * (1 - second alpha) + target * second alpha

}  // namespace

RenderVideoWorker::Settings RenderVideoWorker::readSettings() {
    Settings settings;
    Setting::SettingService& service = *Setting::SettingService::get();
    settings.temporaryImageCacheSize = service.system.config.getValue("TemporaryImageCacheSize").toInt();
    const Media::ColorRgba mask = service.color.getValue("ClippingObjectMask").toRGBA();
    settings.clippingMaskColor[0] = mask.r * mask.a;
    settings.clippingMaskColor[1] = mask.g * mask.a;
    settings.clippingMaskColor[2] = mask.b * mask.a;
    settings.clippingMaskColor[3] = mask.a;
    return settings;
}

RenderVideoWorker::RenderingBuffer::RenderingBuffer()
    : Media::RenderBuffer(Media::Direct3DService::get()->pixelFormat,
                          Media::Direct3DService::get()->defaultSampleDesc) {}

RenderVideoWorker::RenderVideoWorker(SceneReader reader, const Settings& settings)
    : reader_(std::move(reader)), settings_(settings), binding_(group_, Setting::SettingService::mainSettings()) {
    if (System::IniFile* document = Setting::SettingService::mainSettings()) group_.load(*document);
    objectThread_.semaphore().setMax(10);
}

RenderVideoWorker::~RenderVideoWorker() { stop(); }

void RenderVideoWorker::stop() {
    renderThread_.stop();
    objectThread_.stop();
}

void RenderVideoWorker::requestRenderingFrame(RenderTaskType tag, int32_t frame, Callback callback) {
    if (tag == kRenderPreview) renderThread_.cancelTask(kRenderPreview);
    renderThread_.addTask(tag,
                          [this, tag, frame, callback = std::move(callback)] { renderFrame(tag, frame, callback); });
}

void RenderVideoWorker::waitAll() { renderThread_.waitAll(); }

void RenderVideoWorker::cancelRendering(RenderTaskType tag) { renderThread_.cancelTask(tag); }

size_t RenderVideoWorker::pendingTaskCount() { return renderThread_.pendingTaskCount(); }

void RenderVideoWorker::renderFrame(RenderTaskType tag, int32_t frame, const Callback& callback) {
    const auto started = std::chrono::steady_clock::now();
    Media::Direct3DService& d3d = *Media::Direct3DService::get();
    if (!frameBuffer_) frameBuffer_ = std::make_unique<Media::RenderBuffer>(d3d.pixelFormat, d3d.defaultSampleDesc);
    ResourceCache cache(settings_.temporaryImageCacheSize);
    anchors_.clear();
    {
        std::unique_ptr<Edit::ReadSection> read = reader_ ? reader_() : nullptr;
        if (!read || !read->scene) return;
        // Whatever leaves the walk, the tasks it queued finish before the
        // cache, the frame buffer and the lock they use go away.
        struct Drain {
            Worker::WorkerThread& thread;
            ~Drain() { thread.waitAll(); }
        } drain{objectThread_};
        Anchor::AnchorList* anchors = tag == kRenderPreview ? &anchors_ : nullptr;
        const RenderSection walk(*this, *read->scene, frame, *frameBuffer_, &cache, anchors, 0, kAllLayers, false);
    }
    // The callback's work (a read-back, a draw of the frame) joins the frame's
    // submission: one submission per frame, made here or by the callback.
    if (callback) callback(frame, *frameBuffer_, &anchors_);
    if (const Platform::Result hr = d3d.context->flush(); Platform::failed(hr))
        throw System::hresultException("Direct3D.context->Flush", "Render::RenderVideoWorker::requestRenderingFrame",
                                       hr);
    const std::chrono::duration<double, std::milli> elapsed = std::chrono::steady_clock::now() - started;
    System::Log::verbose("Render::RenderVideoWorker::requestRenderingFrame", "rendered video frame [%d] %1.3lf ms",
                         frame, elapsed.count());
}

void RenderVideoWorker::renderSceneFrame(Edit::Scene& scene, int32_t frame,
                                         std::function<void(std::shared_ptr<Media::ImageBuffer>)> done) {
    Media::Direct3DService& d3d = *Media::Direct3DService::get();
    auto target = std::make_shared<Media::RenderBuffer>(d3d.pixelFormat, d3d.defaultSampleDesc);
    auto cache = std::make_shared<ResourceCache>(settings_.temporaryImageCacheSize);
    { const RenderSection walk(*this, scene, frame, *target, cache.get(), nullptr, 0, kAllLayers, false); }
    objectThread_.addTask(kRenderInternal, [target, cache, done = std::move(done)] {
        std::shared_ptr<Media::ImageBuffer> image;
        if (target->texture) image = target->readImageBuffer();
        if (done) done(std::move(image));
    });
}

std::shared_ptr<RenderVideoWorker::RenderingBuffer> RenderVideoWorker::requestPreInputFrame(Edit::Scene& scene,
                                                                                            int32_t frame,
                                                                                            int32_t mediaFrameOffset,
                                                                                            int32_t highestLayer) {
    auto buffer = std::make_shared<RenderingBuffer>();
    auto cache = std::make_shared<ResourceCache>(settings_.temporaryImageCacheSize);
    {
        const RenderSection walk(*this, scene, frame, *buffer, cache.get(), nullptr, mediaFrameOffset, highestLayer,
                                 true);
    }
    // The walk's tasks use the buffer and the cache until they have run.
    objectThread_.addTask(kRenderInternal, [buffer, cache] {});
    return buffer;
}

void RenderVideoWorker::queueSizing(RenderSection&, Media::RenderBuffer& target, int32_t width, int32_t height) {
    objectThread_.addTask(kRenderInternal, [&target, width, height] {
        if (width <= 0 || height <= 0) return;
        target.createTexture2D(static_cast<uint32_t>(width), static_cast<uint32_t>(height));
        if (!target.renderTargetView) target.createRenderTargetView();
        static constexpr float kClear[4] = {0, 0, 0, 0};
        target.Direct3D->context->clearRenderTargetView(target.renderTargetView, kClear);
    });
}

void RenderVideoWorker::renderObject(RenderSection& section, const std::shared_ptr<Edit::Object>& object) {
    RenderContext& context = section.context;
    context.resetObject(object);
    VideoPass::collectObjectChain(context, Effect::EffectBase::kVideo);
    VideoPass::addGroupChain(context, section.groupLayers);
    VideoPass::preInputVideo(context);
    objectThread_.addTask(kRenderInternal,
                          [this, copy = context]() mutable { VideoPass::renderVideo(copy, previousImage_); });
    context.chain.reset();
}

void RenderVideoWorker::controlObject(RenderSection& section, const std::shared_ptr<Edit::Object>& object) {
    RenderContext& context = section.context;
    context.resetObject(object);
    context.videoWorker = this;
    object->effects.front()->preInputVideo(context);
    struct ReleasePreInput {
        RenderContext& context;
        ~ReleasePreInput() { context.preInput.reset(); }  // the control's task keeps its own
    } release{context};
    if (context.preInput) restoreOpenControls(section);
    objectThread_.addTask(kRenderInternal, [this, copy = context]() mutable {
        previousImage_.reset();
        const std::shared_ptr<Effect::EffectBase> control = copy.object->effects.front();
        control->controlVideo(copy);
        if (copy.anchorList) {
            copy.customShape = 1;
            control->updateAnchor(copy, 0, 0);
        }
    });
}

// A frame rendered ahead walked the scene again at another frame, and the
// group and camera controls open in this walk wrote their state for that
// frame: they write it again for this one, ahead of the objects still to come.
void RenderVideoWorker::restoreOpenControls(RenderSection& section) {
    const RenderContext& context = section.context;
    std::shared_ptr<Edit::Object> enclosing;
    for (const RenderSection::GroupEntry& group : section.groups) {
        RenderContext copy = context;
        copy.resetObject(group.object);
        copy.view.groupControl = enclosing;
        copy.anchorList = nullptr;
        copy.preInput.reset();
        objectThread_.addTask(kRenderInternal, [copy]() mutable {
            const std::shared_ptr<Effect::EffectBase> control = copy.object->effects.front();
            control->controlVideo(copy);
        });
        enclosing = group.object;
    }
    if (const std::shared_ptr<Edit::Object> camera = context.view.cameraControl) {
        RenderContext copy = context;
        copy.resetObject(camera);
        copy.view.cameraControl.reset();  // as when its batch opened
        copy.preInput.reset();
        camera->effects.front()->preInputVideo(copy);
    }
}

void RenderVideoWorker::queueCameraObject(RenderSection& section, const std::shared_ptr<Edit::Object>& object) {
    section.cameraQueue.push_back({section.context, object});
}

// The camera's objects sorted by depth, nearest first, drawn through the
// camera; the camera's closing step; then, flat, the objects that do not take
// part in the camera.
void RenderVideoWorker::flushCameraBatch(RenderSection& section) {
    RenderContext& context = section.context;
    if (!context.view.cameraControl) return;
    std::vector<RenderSection::CameraEntry> sorted, flat;
    for (RenderSection::CameraEntry& entry : section.cameraQueue) {
        Edit::Object& object = *entry.object;
        const bool sortable = object.camera && !object.clipping && object.effects.size() >= 2 &&
                              std::wcscmp(object.effects[1]->name, kBasicOutputName) != 0;
        if (!sortable) {
            entry.context.view.cameraControl.reset();
            flat.push_back(std::move(entry));
            continue;
        }
        entry.context.resetObject(entry.object);
        const Effect::OutputView view = object.effects[1]->getOutputView(entry.context);
        const Platform::math::Float4 p = Platform::math::transform({0, 0, 0, 1}, view.getWorldViewMatrix());
        entry.depth = p.z > 0 ? p.z / p.w : p.z;
        if (view.opacity < 1.0f || view.blendMode != 0) entry.depth -= 10000.0f;
        sorted.push_back(std::move(entry));
    }
    section.cameraQueue.clear();
    std::stable_sort(sorted.begin(), sorted.end(), [](const auto& a, const auto& b) { return a.depth > b.depth; });
    const RenderContext kept = context;
    for (RenderSection::CameraEntry& entry : sorted) {
        context = entry.context;
        renderObject(section, entry.object);
    }
    context = kept;
    controlObject(section, context.view.cameraControl);
    context.view.cameraControl.reset();
    context.cameraAnchor = 0;
    for (RenderSection::CameraEntry& entry : flat) {
        context = entry.context;
        renderObject(section, entry.object);
    }
    context = kept;
    context.view.cameraControl.reset();
    context.cameraAnchor = 0;
}

struct RenderVideoWorker::ClippingPasses {
    Media::PixelShader mix;
    Media::PixelShader tint;
    Media::ConstantBufferCommon color;
    ClippingPasses() {
        const auto load = [](Media::PixelShader& shader, const char* name) {
            const std::vector<uint8_t>* code = Shader::BuiltinShaders::code(name, Platform::gpu::ShaderStage::Pixel);
            if (!code)
                throw System::messageException("Render::RenderVideoWorker::ClippingPasses", "shader not found.");
            shader.loadFromMemory(code->data(), code->size());
        };
        load(mix, "ClippingMix");
        load(tint, "ClippingTint");
        color.create(nullptr, 16);
    }
};

RenderVideoWorker::ClippingPasses& RenderVideoWorker::clippingPasses() {
    if (!clippingPasses_) clippingPasses_ = std::make_unique<ClippingPasses>();
    return *clippingPasses_;
}

// A clipping object draws its coverage into the clipping's mask instead of
// the frame; the first one met opens the clipping, keeping the frame as it is.
void RenderVideoWorker::renderClippingObject(RenderSection& section, const std::shared_ptr<Edit::Object>& object) {
    RenderSection::Clipping& clipping = section.clipping;
    Media::Direct3DService& d3d = *Media::Direct3DService::get();
    if (!clipping.mask) {
        clipping.mask = std::make_shared<Media::RenderBuffer>(d3d.maskFormat, Media::Direct3DService::SampleDesc{});
        clipping.snapshot = std::make_shared<Media::ResourceBuffer>(0, 0);
        clipping.lastLayer = 0;
        Media::RenderBuffer* frame = section.context.view.frameBuffer;
        objectThread_.addTask(kRenderInternal, [frame, mask = clipping.mask, snapshot = clipping.snapshot] {
            if (!frame || !frame->texture) return;
            const uint32_t w = std::min(frame->width, Media::ResourceBuffer::kMaxSize);
            const uint32_t h = std::min(frame->height, Media::ResourceBuffer::kMaxSize);
            Platform::gpu::Context& gpu = *snapshot->Direct3D->context;
            if (snapshot->width != w || snapshot->height != h || !snapshot->texture) {
                snapshot->width = w;
                snapshot->height = h;
                snapshot->createTexture2D();
            }
            if (frame->sampleCount != 1)
                gpu.resolveSubresource(*snapshot->texture, *frame->texture);
            else
                (void)gpu.copyResource(*snapshot->texture, *frame->texture);
            mask->createTexture2D(frame->width, frame->height);
            if (!mask->renderTargetView) mask->createRenderTargetView();
            static constexpr float kClear[4] = {0, 0, 0, 0};
            gpu.clearRenderTargetView(mask->renderTargetView, kClear);
        });
    }
    RenderContext& context = section.context;
    const RenderContext kept = context;
    context.view.frameBuffer = clipping.mask.get();
    renderObject(section, object);
    context = kept;
    context.firstClipping = 0;
}

// Outside the mask the frame goes back to what it was when the clipping
// opened; in a preview the clipping area may be tinted.
void RenderVideoWorker::finishClipping(RenderSection& section) {
    RenderSection::Clipping& clipping = section.clipping;
    if (!clipping.mask) return;
    const bool tint = section.context.anchorList != nullptr && visibleClippingObject != 0;
    Media::RenderBuffer* frame = section.context.view.frameBuffer;
    objectThread_.addTask(kRenderInternal, [this, frame, tint, mask = clipping.mask, snapshot = clipping.snapshot] {
        if (!frame || !frame->texture || !mask->texture || !snapshot->texture) return;
        ClippingPasses& passes = clippingPasses();
        Media::Direct3DService& d3d = *frame->Direct3D;
        Resource::ResourceService& resources = *Resource::ResourceService::get();
        Platform::gpu::Context& gpu = *d3d.context;
        Platform::gpu::View* maskView = mask->createShaderResourceView();
        d3d.setRenderTarget(*frame);
        gpu.setShaderResource(Platform::gpu::ShaderStage::Pixel, 0, snapshot->getShaderResourceView());
        gpu.setShaderResource(Platform::gpu::ShaderStage::Pixel, 1, maskView);
        passes.mix.draw(passes.mix, resources.blendStates[kMixBySecond].createResource(), nullptr);
        gpu.setShaderResource(Platform::gpu::ShaderStage::Pixel, 0, nullptr);
        gpu.setShaderResource(Platform::gpu::ShaderStage::Pixel, 1, nullptr);
        gpu.setRenderTarget(nullptr);
        if (!tint) return;
        gpu.updateSubresource(*passes.color.buffer, settings_.clippingMaskColor);
        gpu.setConstantBuffer(Platform::gpu::ShaderStage::Pixel, 0, passes.color.buffer.get());
        passes.tint.drawViewToRender(*frame, maskView, resources.blendStates[kOver].createResource());
    });
    clipping = {};
}

void RenderVideoWorker::queueClosing(RenderSection&) {
    objectThread_.addTask(kRenderInternal, [this] { previousImage_.reset(); });
}

}  // namespace Render
