#include "effects/CameraControl.h"

#include <cmath>

#include "edit/Object.h"
#include "edit/Scene.h"
#include "effect/NoMove.h"
#include "effect/RenderContext.h"
#include "media/gpu/Direct3DService.h"
#include "media/gpu/PixelShaderList.h"
#include "media/gpu/RenderBuffer.h"
#include "media/gpu/ResourceBuffer.h"
#include "media/gpu/ResourceService.h"
#include "platform/math/Scalar.h"
#include "render/RenderVideoWorker.h"
#include "render/VideoPass.h"

namespace Effect {

using namespace Platform::math;

namespace {

float value(const EffectItemNumber& item, Render::RenderContext& context) {
    return static_cast<float>(item.getValue(context));
}

}  // namespace

CameraControl::CameraControl() {
    role = kControl;
    media = kVideo;
    targetLayer.placeholder = L"---";
    fieldOfView.placeholder = L"既定値";
    menuGroup = L"オブジェクト制御";
    placement = kCamera;
    positionItems = {&x, &y, &z};
}

void CameraControl::createCommonResource() { resource = ShaderResource::create(1, 16); }

EffectItemInteger* CameraControl::getLayerRange() { return &layers; }

OutputView CameraControl::getOutputView(Render::RenderContext& context) {
    OutputView view = context.view;
    view.x += value(x, context);
    view.y += value(y, context);
    view.z += value(z, context);
    return view;
}

Platform::math::Float3 CameraControl::getTargetLayerPosition(Render::RenderContext& context) {
    const auto layer = static_cast<int32_t>(std::lround(targetLayer.getValue(context))) - 1;
    Float3 p;
    if (!context.scene || layer < 0 || layer >= context.scene->layerCount()) return p;
    const std::shared_ptr<Edit::Object> object = context.scene->findLayerObject(layer, context.frame, kVideo);
    if (!object || object->effects.size() < 2 || object->effects.front()->role != kInput) return p;
    Render::RenderContext copy = context;
    copy.setObject(object);
    const OutputView view = object->effects[1]->getOutputView(copy);
    return {view.x, view.y, view.z};
}

CameraControl::Float4 CameraControl::getTargetPosition(Render::RenderContext& context) {
    const int32_t first = targetLayer.values.empty() ? 0 : targetLayer.values.front();
    if (dynamic_cast<const NoMove*>(targetLayer.movement) && context.object && first - 1 == context.object->layer)
        return {value(x, context) + value(targetX, context), value(y, context) + value(targetY, context),
                value(z, context) + value(targetZ, context), 1};
    const Float3 p = getTargetLayerPosition(context);
    return {value(targetX, context) + p.x, value(targetY, context) + p.y, value(targetZ, context) + p.z, 1};
}

Matrix CameraControl::getViewMatrix(const Record& camera) {
    Float4 target = camera.target;
    if (target.x == camera.eye.x && target.y == camera.eye.y && target.z == camera.eye.z) target.z += 1;
    const Float3 eye{camera.eye.x, camera.eye.y, camera.eye.z};
    const Float3 d{target.x - eye.x, target.y - eye.y, target.z - eye.z};
    const Matrix look = lookToLH(eye, d, {camera.up.x, camera.up.y, camera.up.z});
    const float a = toRadians(camera.tilt), c = std::cos(a), s = std::sin(a);
    Matrix roll = identity();
    roll.m[0][0] = c;
    roll.m[0][1] = s;
    roll.m[1][0] = -s;
    roll.m[1][1] = c;
    return multiply(look, roll);
}

Matrix CameraControl::getCameraMatrix(const Record& camera, float width, float height) {
    Matrix p;
    if (width > 0 && height > 0) {
        p.m[0][0] = 2 * camera.focal / width;
        p.m[1][1] = -2 * camera.focal / height;
    }
    p.m[2][3] = 1;
    p.m[3][2] = camera.focal / 20;
    return multiply(getViewMatrix(camera), p);
}

CameraControl::Record CameraControl::viewedRecord(const Render::RenderContext& context) const {
    if (!freeView || !context.scene) return record;
    const auto& v = context.scene->camera.values;
    Record camera;
    camera.eye = {static_cast<float>(v[0]), static_cast<float>(v[1]), static_cast<float>(v[2]), 1};
    camera.target = {static_cast<float>(v[3]), static_cast<float>(v[4]), static_cast<float>(v[5]), 1};
    return camera;
}

void CameraControl::getCornerRays(float width, float height, const Record& camera, Float3 (&rays)[4]) {
    const Matrix back = inverse(getViewMatrix(camera));
    const Float3 eye = transformCoord({0, 0, 0}, back);
    const float w = width / 2, h = height / 2;
    const Float3 corners[4] = {{-w, -h, camera.focal}, {w, -h, camera.focal}, {w, h, camera.focal}, {-w, h, camera.focal}};
    for (size_t i = 0; i < 4; ++i) rays[i] = normalize(subtract(eye, transformCoord(corners[i], back)));
}

bool CameraControl::closing(const Render::RenderContext& context) const {
    return context.view.cameraControl && context.view.cameraControl->effects.front().get() == this;
}

void CameraControl::preInputVideo(Render::RenderContext& context) {
    if (closing(context)) return;
    const Render::RenderVideoWorker* worker = context.videoWorker;
    freeView = worker && worker->cameraFreeView != 0 && context.anchorList ? 1 : 0;
    // The walk sizes the frame to its scene on the drawing thread, later.
    const float w = context.scene ? static_cast<float>(context.scene->videoWidth) : 0;
    const float h = context.scene ? static_cast<float>(context.scene->videoHeight) : 0;

    record.eye = {value(x, context), value(y, context), value(z, context), 1};
    record.target = getTargetPosition(context);
    const float view = value(fieldOfView, context);
    record.focal = view > 0 ? (h / 2) / std::tan(toRadians(view) / 2) : 1024.0f;
    record.tilt = value(tilt, context);
    record.up = {0, 1, 0, 0};

    const Record camera = viewedRecord(context);
    direction = {camera.target.x - camera.eye.x, camera.target.y - camera.eye.y, camera.target.z - camera.eye.z,
                 camera.target.w - camera.eye.w};
    if (direction.x == 0 && direction.y == 0 && direction.z == 0) direction.z = 1;
    cameraMatrix = getCameraMatrix(camera, w, h);
}

void CameraControl::controlVideo(Render::RenderContext& context) {
    if (closing(context))
        closeBatch(context);
    else
        openBatch(context);
}

void CameraControl::openBatch(Render::RenderContext& context) {
    context.view.groupControl.reset();
    context.view.cameraControl = context.object;
    context.anchorList = nullptr;
    Media::RenderBuffer* frame = context.view.frameBuffer;
    // The batch's depth layers start empty: the frame buffer is kept from
    // frame to frame and the surfaces of an earlier batch are in the frame.
    if (frame && frame->texture) {
        frame->getDepthBuffer()->clearUnorderedAccessView(1e10f);
        frame->getTransparentDepthBuffer()->clearUnorderedAccessView(1e10f);
        static constexpr float kClear[4] = {0, 0, 0, 0};
        direct3D->context->clearRenderTargetView(frame->getTransparentBuffer()->getRenderTargetView(), kClear);
        static constexpr float kNoNormal[4] = {0, 0, 0, -1};
        direct3D->context->clearRenderTargetView(frame->getNormalBuffer()->getRenderTargetView(), kNoNormal);
        direct3D->context->clearRenderTargetView(frame->getNormalTransparentBuffer()->getRenderTargetView(),
                                                 kNoNormal);
    }
    // The camera filters on the layers right after the camera prepare: the
    // lights join the frame (the batch's own: those of an earlier batch go),
    // camera scripts run. This runs here, beside the drawing that reads them.
    if (frame) frame->lights.clear();
    Render::VideoPass::collectObjectChain(context, kCamera);
    Render::VideoPass::preInputVideo(context);
    context.chain.reset();
}

void CameraControl::closeBatch(Render::RenderContext& context) {
    Media::RenderBuffer* frame = context.view.frameBuffer;
    if (frame && frame->texture && pixelShaderList && blendStateList && rasterizerStateList) {
        if (!frame->lights.empty()) {
            Float3 rays[4];
            getCornerRays(static_cast<float>(frame->width), static_cast<float>(frame->height),
                          viewedRecord(context), rays);
            drawLighting(*frame, rays);
        }
        // The transparent surfaces in front of the opaque ones, over the frame.
        resolveTransparency(*frame);
    }
    // The camera filters on the layers after the camera finish the batch.
    Render::VideoPass::collectObjectChain(context, kCamera);
    Render::VideoPass::controlVideo(context);
    context.chain.reset();
}

}  // namespace Effect
