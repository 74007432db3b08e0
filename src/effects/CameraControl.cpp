#include "effects/CameraControl.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "edit/Object.h"
#include "edit/Scene.h"
#include "effect/ModelQueries.h"
#include "effect/NoMove.h"
#include "effect/RenderContext.h"
#include "media/gpu/Direct3DService.h"
#include "media/gpu/PixelShaderList.h"
#include "media/gpu/RenderBuffer.h"
#include "media/gpu/ResourceBuffer.h"
#include "media/gpu/ResourceService.h"
#include "media/gpu/VertexBufferCommon.h"
#include "media/gpu/VertexListBinders.h"
#include "media/gpu/XYZ_COL.h"
#include "media/gpu/VertexShader.h"
#include "shaders/BuiltinShaders.h"
#include "core/Exception.h"
#include "core/Log.h"
#include "effect/AnchorCommands.h"
#include "effect/AnchorEvent.h"
#include "effect/AnchorList.h"
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

void CameraControl::createCommonResource() {
    auto made = ShaderResource::create(1, 16);
    const std::vector<uint8_t>* pixel = Shader::BuiltinShaders::code("GuideLine", Platform::gpu::ShaderStage::Pixel);
    const std::vector<uint8_t>* vertex = Shader::BuiltinShaders::code("GuideLine", Platform::gpu::ShaderStage::Vertex);
    if (!pixel || !vertex)
        throw System::messageException("Effect::CameraControl::createCommonResource", "built-in shader missing.");
    made->shaders[0]->loadFromMemory(pixel->data(), pixel->size());
    made->vertexShader = std::make_unique<Media::VertexShader>();
    made->vertexShader->loadFromMemory(vertex->data(), vertex->size());
    resource = std::move(made);
}

int32_t CameraControl::gridLineCount(float range, float step) {
    if (!(step > 0) || !(range >= 0)) return 0;
    int32_t n = 0;
    for (float at = -range; at <= range && n < 100000; at += step) ++n;
    return n;
}

void CameraControl::drawGuideLine(const Float4& from, const Float4& to, const Matrix& camera, float halfWidth,
                                  float halfHeight, float width) {
    Float4 a = transform({from.x, from.y, from.z, 1}, camera), b = transform({to.x, to.y, to.z, 1}, camera);
    const float ta = a.z != 0 ? a.w / a.z - 1 : -1, tb = b.z != 0 ? b.w / b.z - 1 : -1;
    if (ta <= 0 && tb <= 0) return;
    auto cut = [&](Float4& behind, const Float4& p0, const Float4& p1) {
        const float k = ta / (ta - tb);
        behind = {p0.x + (p1.x - p0.x) * k, p0.y + (p1.y - p0.y) * k, p0.z + (p1.z - p0.z) * k,
                  p0.w + (p1.w - p0.w) * k};
    };
    const Float4 a0 = a, b0 = b;
    if (ta <= 0) cut(a, a0, b0);
    if (tb <= 0) cut(b, a0, b0);
    const float ax = a.x / a.w, ay = a.y / a.w, az = a.z / a.w, bx = b.x / b.w, by = b.y / b.w, bz = b.z / b.w;
    float dx = (bx - ax) * halfWidth, dy = (by - ay) * halfHeight;
    const float length = std::sqrt(dx * dx + dy * dy);
    if (!(length > 0)) return;
    dx /= length;
    dy /= length;
    const float ox = -dy * width / halfWidth, oy = dx * width / halfHeight;
    const float vertices[4][7] = {
        {ax - ox, ay - oy, az, 0, 0, 1, 0},
        {ax + ox, ay + oy, az, 0, 1, 1, 0},
        {bx - ox, by - oy, bz, 1, 0, 1, 0},
        {bx + ox, by + oy, bz, 1, 1, 1, 0},
    };
    Media::VertexBufferCommon strip;
    strip.create(vertices, 4, 28);
    direct3D->drawVertexBuffer(strip);
}

void CameraControl::drawFrustumFaces(const Float4 (&corners)[4]) {
    Constant constant{};
    const Matrix projection = transpose(cameraMatrix);
    std::memcpy(constant.projection, projection.m, sizeof projection.m);
    constant.alpha = 1;
    updateConstant(constant);
    Media::bindShaderColorDepth();
    // Three dark sides and a light one through the corners at +h/2, so the
    // frustum's orientation shows.
    for (int i = 0; i < 4; ++i) {
        const Float4& a = corners[i];
        const Float4& b = corners[(i + 1) % 4];
        const float* colour = i == 2 ? kFrustumLitFace : kFrustumFace;
        Media::XYZ_COL triangle[3];
        const Float4 points[3] = {record.eye, a, b};
        for (int k = 0; k < 3; ++k)
            triangle[k] = {points[k].x, points[k].y, points[k].z, colour[0], colour[1], colour[2], colour[3]};
        direct3D->drawTriangle(triangle);
    }
}

void CameraControl::drawGuides(Render::RenderContext& context) {
    Media::RenderBuffer* frame = context.view.frameBuffer;
    const Render::RenderVideoWorker* worker = context.videoWorker;
    if (!context.anchorList || !frame || !frame->texture || !resource || !resource->vertexShader) return;
    Platform::gpu::Context& gpu = *direct3D->context;
    setDepthTarget(*frame);
    Media::VertexShader& vs = *resource->vertexShader;
    Media::PixelShader& ps = *resource->shaders[0];
    if (&vs != direct3D->boundVertexShader) {
        gpu.setVertexShader(vs.shader.get(), vs.layout.get());
        direct3D->boundVertexShader = &vs;
    }
    if (&ps != direct3D->boundPixelShader) {
        gpu.setPixelShader(ps.shader.get());
        direct3D->boundPixelShader = &ps;
    }
    bindStates(nullptr, false, false);
    Platform::gpu::Buffer* colour = resource->constant->buffer.get();
    gpu.setConstantBuffer(Platform::gpu::ShaderStage::Pixel, 0, colour);
    auto use = [&](const float (&c)[4]) { gpu.updateSubresource(*colour, c); };
    const float hw = static_cast<float>(frame->width) / 2, hh = static_cast<float>(frame->height) / 2;

    if (!worker || worker->cameraGrid != 0) {
        const float range = worker ? worker->cameraGridRange : 10000, step = worker ? worker->cameraGridStep : 200;
        use(kGridColor);
        const int32_t lines = gridLineCount(range, step);
        for (int32_t i = 0; i < lines; ++i) {
            const float at = -range + step * static_cast<float>(i);
            drawGuideLine({at, 0, -range, 1}, {at, 0, range, 1}, cameraMatrix, hw, hh, 1.0f);
            drawGuideLine({-range, 0, at, 1}, {range, 0, at, 1}, cameraMatrix, hw, hh, 1.0f);
        }
    }
    // The axes go through the focused camera's target, else through the
    // focused object the batch drew (handed over during its draw).
    targetMarker = {};
    if (context.object && AnchorEffectBase::isFocused(context))
        targetMarker = {record.target.x, record.target.y, record.target.z, 1};
    else if (objectMarkerPresent_)
        targetMarker = {objectMarker_.x, objectMarker_.y, objectMarker_.z, 1};
    objectMarkerPresent_ = false;
    if (targetMarker.w != 0) {
        const Float4 t = targetMarker;
        constexpr float kFar = 1000000;
        use(kAxisXColor);
        drawGuideLine({-kFar, t.y, t.z, 1}, {kFar, t.y, t.z, 1}, cameraMatrix, hw, hh, 1.5f);
        use(kAxisZColor);
        drawGuideLine({t.x, t.y, -kFar, 1}, {t.x, t.y, kFar, 1}, cameraMatrix, hw, hh, 1.5f);
        use(kAxisYColor);
        drawGuideLine({t.x, -kFar, t.z, 1}, {t.x, kFar, t.z, 1}, cameraMatrix, hw, hh, 1.5f);
    }
    if (freeView) {
        use(kFrustumColor);
        drawGuideLine(record.eye, record.target, cameraMatrix, hw, hh, 1.5f);
        const Matrix back = inverse(getViewMatrix(record));
        Float4 corners[4];
        const float cx[4] = {-hw, hw, hw, -hw}, cy[4] = {-hh, -hh, hh, hh};
        for (int i = 0; i < 4; ++i) {
            const Float3 c = transformCoord({cx[i], cy[i], record.focal}, back);
            corners[i] = {c.x, c.y, c.z, 1};
        }
        for (int i = 0; i < 4; ++i) {
            drawGuideLine(corners[i], corners[(i + 1) % 4], cameraMatrix, hw, hh, 1.0f);
            drawGuideLine(record.eye, corners[i], cameraMatrix, hw, hh, 1.5f);
        }
        drawFrustumFaces(corners);
    }
    unbindDepthTarget();
}

EffectItemInteger* CameraControl::getLayerRange() { return &layers; }

OutputView CameraControl::getOutputView(Render::RenderContext& context) {
    OutputView view = context.view;
    view.x += value(x, context);
    view.y += value(y, context);
    view.z += value(z, context);
    return view;
}

// Each key of "目標レイヤー" names a layer; the hidden items take, key by key,
// the position of the object on that layer at the frame, and move between
// them as "目標レイヤー" does.
Platform::math::Float3 CameraControl::getTargetLayerPosition(Render::RenderContext& context) {
    EffectItemNumber* hidden[3] = {&targetLayerX, &targetLayerY, &targetLayerZ};
    const size_t keys = targetLayer.values.size();
    for (EffectItemNumber* item : hidden) {
        item->values.assign(keys, 0);
        item->movement = targetLayer.movement;
        item->timeControl = targetLayer.timeControl;
        item->settings = targetLayer.settings;
        item->flags = targetLayer.flags;
    }
    for (size_t k = 0; k < keys; ++k) {
        const auto layer = static_cast<int32_t>(std::lround(targetLayer.keyValue(static_cast<int32_t>(k)))) - 1;
        if (!context.scene || layer < 0 || layer >= context.scene->layerCount()) continue;
        const std::shared_ptr<Edit::Object> object = context.scene->findLayerObject(layer, context.frame, kVideo);
        if (!object || object->effects.size() < 2 || object->effects.front()->role != kInput) continue;
        Render::RenderContext copy = context;
        copy.setObject(object);
        const OutputView view = object->effects[1]->getOutputView(copy);
        const float at[3] = {view.x, view.y, view.z};
        for (int i = 0; i < 3; ++i)
            hidden[i]->values[k] = EffectItemNumber::roundStep(static_cast<double>(at[i]) * hidden[i]->scale);
    }
    if (keys == 0) return {};
    return {value(targetLayerX, context), value(targetLayerY, context), value(targetLayerZ, context)};
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

CameraControl::Float3 CameraControl::orbitOf(const Float3& eye, const Float3& target) {
    const Float3 d = subtract(eye, target);
    return {std::atan2(std::sqrt(d.x * d.x + d.z * d.z), d.y), std::atan2(d.x, d.z), length(d)};
}

void CameraControl::updateAnchor(Render::RenderContext& context, int32_t width, int32_t height) {
    Anchor::AnchorList* list = context.anchorList;
    if (!list || locked || !context.object || context.object->effects.empty()) return;
    if (context.scene && modelQueries().isObjectLayerLocked(*context.scene, *context.object)) return;
    const Record seen = viewedRecord(context);
    const Float3 eye = freeView ? Float3{seen.eye.x, seen.eye.y, seen.eye.z} : Float3{record.eye.x, record.eye.y, record.eye.z};
    const Float3 target =
        freeView ? Float3{seen.target.x, seen.target.y, seen.target.z} : Float3{record.target.x, record.target.y, record.target.z};
    const std::shared_ptr<EffectBase>& self = context.object->effects.front();
    if (isFocused(context)) list->addMarker(this, transform({target.x, target.y, target.z, 1}, cameraMatrix), nullptr);
    const AnchorCommands* commands = AnchorCommands::current();
    const bool editable = position.isEditableAt(context) && this->target.isEditableAt(context);
    list->addIcon(context.object, self, Anchor::AnchorItem::kViewModeIcon,
                  commands ? commands->cameraIcon(freeView ? 2 : editable ? 0 : 1) : nullptr);
    int32_t id = Anchor::AnchorItem::kCurrentValue;
    if (context.frame >= context.object->end)
        id = context.section.index + 1;
    else if (context.section.offset == 0)
        id = context.section.index;
    Anchor::AnchorItem& item =
        list->items.emplace_back(Anchor::AnchorItem::kView, kCameraAnchorFlags, this, context.object, self, id);
    item.setPosition(cameraMatrix, eye.x - target.x, eye.y - target.y, eye.z - target.z);
    item.vectorA = {value(targetX, context), value(targetY, context), value(targetZ, context), 1};
    item.vectorB = {target.x, target.y, target.z, 1};
    const Float3 orbit = orbitOf(eye, target);
    const int32_t first = targetLayer.values.empty() ? 0 : targetLayer.values.front();
    // In free view the orbit is the scene camera's, whose target never rides with its eye.
    const bool relative =
        !freeView && dynamic_cast<const NoMove*>(targetLayer.movement) && first - 1 == context.object->layer;
    item.referencePoint = {orbit.x, orbit.y, orbit.z, relative ? 1.0f : 0.0f};
    // Seen from outside, the camera itself can be moved by its position.
    if (freeView) AnchorEffectBase::updateAnchor(context, width, height);
}

bool CameraControl::anchorEvent(const Anchor::AnchorEvent& event) {
    if (event.kind == Anchor::AnchorEvent::kClick && event.id == Anchor::AnchorItem::kViewModeIcon) {
        if (AnchorCommands* commands = AnchorCommands::current()) {
            const bool on = !commands->cameraFreeView();
            System::Log::info("Edit::EditCommand::setCameraFreeView", "set camera free view enable=%d", on ? 1 : 0);
            commands->setCameraFreeView(on);
        }
        return true;
    }
    if (event.kind == Anchor::AnchorEvent::kRightDrag && (event.flags & kCameraAnchorFlags)) {
        dragCamera(event);
        return true;
    }
    return AnchorEffectBase::anchorEvent(event);
}

bool CameraControl::isDragEditable(const Anchor::AnchorEvent& event) const {
    if (!event.object) return false;
    const auto keys = static_cast<int32_t>(event.object->midpoints.size()) + 2;
    for (const EffectItemNumber* item : {&x, &y, &z, &targetX, &targetY, &targetZ}) {
        const auto n = static_cast<int32_t>(item->values.size());
        if (event.id == Anchor::AnchorItem::kCurrentValue) {
            if (n != 1) return false;
        } else if (event.id < 0 || event.id >= keys || (n != 1 && n != keys)) {
            return false;
        }
    }
    return true;
}

// The eye goes round the orbit centre on a sphere: across the drag turns
// the azimuth, along it the polar angle, which stops short of the poles.
// Shift pans the centre with the eye, Control moves the eye nearer or
// farther. The anchor carries the orbit from step to step of the drag.
void CameraControl::dragCamera(const Anchor::AnchorEvent& event) {
    constexpr float kTurn = 2 * 3.14159265358979f * 0.0005f;
    const auto dx = static_cast<float>(event.stepX), dy = static_cast<float>(event.stepY);
    const bool shift = event.control && event.control->shiftHeld();
    const bool ctrl = event.control && event.control->controlHeld();
    AnchorCommands* commands = AnchorCommands::current();
    const EffectItemNumber::AnchorAddress address{event.object.get(), event.id};
    // The world move of the origin dragged the other way by the pixels.
    auto worldMove = [&] {
        const Float4 moved = Anchor::getMovedPosition(event.viewport, {0, 0, 0, 1}, event.matrix, -dx, -dy);
        return Float3{moved.x, moved.y, moved.z};
    };
    auto refuse = [&] {
        if (event.control) event.control->refuseDrag();
    };
    Float4& orbit = event.referencePoint;  // polar, azimuth, distance, target riding with the eye
    if (orbit.w != 1) {
        Float4& centre = event.vectorB;
        Float4& target = event.vectorA;
        if (shift) {
            const Float3 m = worldMove();
            centre = {centre.x + m.x, centre.y + m.y, centre.z + m.z, centre.w};
            target = {target.x + m.x, target.y + m.y, target.z + m.z, target.w};
        } else if (ctrl) {
            orbit.z = std::max(4.0f, orbit.z + 8 * dy);
        } else {
            orbit.y += dx * kTurn;
            orbit.x = std::clamp(orbit.x + dy * kTurn, 0.001f, 3.1405928f);
        }
        const Float3 eye{centre.x + orbit.z * std::sin(orbit.x) * std::sin(orbit.y),
                         centre.y + orbit.z * std::cos(orbit.x),
                         centre.z + orbit.z * std::sin(orbit.x) * std::cos(orbit.y)};
        event.position = {eye.x - centre.x, eye.y - centre.y, eye.z - centre.z, 1};
        if (commands && commands->cameraFreeView()) {
            // The scene's own camera: the looked-at point stays at least 256 away.
            DisplayCamera* camera = commands->sceneCamera();
            if (!camera) return;
            Float3 c{centre.x, centre.y, centre.z};
            if (c.x == eye.x && c.y == eye.y && c.z == eye.z) c.z += 1;
            const Float3 d = subtract(c, eye);
            const float reach = length(d);
            if (reach < kFreeViewMinReach) {
                const float k = kFreeViewMinReach / reach;
                c = {eye.x + d.x * k, eye.y + d.y * k, eye.z + d.z * k};
            }
            camera->values = {eye.x, eye.y, eye.z, c.x, c.y, c.z};
            camera->distance = orbit.z;
            return;
        }
        if (!isDragEditable(event)) return refuse();
        (void)x.setAnchorValue(address, eye.x);
        (void)y.setAnchorValue(address, eye.y);
        (void)z.setAnchorValue(address, eye.z);
        if (shift) {
            (void)targetX.setAnchorValue(address, target.x);
            (void)targetY.setAnchorValue(address, target.y);
            (void)targetZ.setAnchorValue(address, target.z);
        }
        return;
    }
    // The target rides with the eye: the eye moves, and the target with it.
    if (!isDragEditable(event)) return refuse();
    Float3 move;
    if (ctrl) {
        const Float3 offset{event.vectorA.x, event.vectorA.y, event.vectorA.z};
        const Float3 along = length(offset) > 0 ? normalize(offset) : Float3{0, 0, 1};
        move = {along.x * -8 * dy, along.y * -8 * dy, along.z * -8 * dy};
    } else {
        move = worldMove();
    }
    (void)x.moveAnchorValue(address, move.x);
    (void)y.moveAnchorValue(address, move.y);
    (void)z.moveAnchorValue(address, move.z);
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
        drawGuides(context);
        // The transparent surfaces in front of the opaque ones, over the frame.
        resolveTransparency(*frame);
    }
    // The camera filters on the layers after the camera finish the batch.
    Render::VideoPass::collectObjectChain(context, kCamera);
    Render::VideoPass::controlVideo(context);
    context.chain.reset();
}

}  // namespace Effect
