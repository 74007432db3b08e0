#include "effects/GroupControl.h"

#include "edit/Object.h"
#include "effect/RenderContext.h"
#include "media/gpu/RenderBuffer.h"
#include "platform/math/Scalar.h"

namespace Effect {

using namespace Platform::math;

namespace {

float value(const EffectItemNumber& item, Render::RenderContext& context) {
    return static_cast<float>(item.getValue(context));
}

// The enclosing group's control when the context's group is one.
const GroupControl* enclosingGroup(const Render::RenderContext& context) {
    const std::shared_ptr<Edit::Object>& group = context.view.groupControl;
    if (!group || group->effects.empty()) return nullptr;
    return dynamic_cast<const GroupControl*>(group->effects.front().get());
}

}  // namespace

GroupControl::GroupControl() {
    role = kControl;
    media = kVideo;
    placement = kVideo;
    menuGroup = L"オブジェクト制御";
    positionItems = {&x, &y, &z};
    ownSizeItem = &zoom;
}

EffectItemInteger* GroupControl::getLayerRange() { return &layers; }

OutputView GroupControl::getOutputView(Render::RenderContext& context) {
    OutputView view = context.view;
    view.x += value(x, context);
    view.y += value(y, context);
    view.z += value(z, context);
    return view;
}

Matrix GroupControl::getGroupMatrix(Render::RenderContext& context) const {
    const float s = value(zoom, context) / 100.0f;
    Matrix m = multiply(rotationZ(toRadians(value(angleZ, context))), rotationY(toRadians(value(angleY, context))));
    m = multiply(m, rotationX(toRadians(value(angleX, context))));
    m = multiply(m, scaling(s, s, s));
    return multiply(m, translation(value(x, context), value(y, context), value(z, context)));
}

bool GroupControl::isPlainTranslation(Render::RenderContext& context) const {
    return zoom.getValue(context) == 100 && z.getValue(context) == 0 && angleZ.getValue(context) == 0 &&
           angleY.getValue(context) == 0 && angleX.getValue(context) == 0;
}

void GroupControl::controlVideo(Render::RenderContext& context) {
    const Matrix group = getGroupMatrix(context);
    const bool plain = isPlainTranslation(context);
    if (const GroupControl* outer = enclosingGroup(context)) {
        worldMatrix = multiply(group, outer->worldMatrix);
        viewMatrix = outer->viewMatrix;
        plainTranslation = outer->plainTranslation && plain ? 1 : 0;
        return;
    }
    worldMatrix = group;
    float w = 0, h = 0;
    if (const Media::RenderBuffer* frame = context.view.frameBuffer) {
        w = static_cast<float>(frame->width);
        h = static_cast<float>(frame->height);
    }
    const float gx = value(x, context), gy = value(y, context);
    // The screen projection with its vanishing point at the group's position.
    Matrix p;
    if (w > 0 && h > 0) {
        p.m[0][0] = 2048.0f / w;
        p.m[1][1] = -2048.0f / h;
    }
    p.m[2][3] = 1.0f;
    p.m[3][2] = 51.2f;
    viewMatrix = multiply(multiply(translation(-gx, -gy, 1024.0f), p),
                          translation(w > 0 ? 2.0f * gx / w : 0.0f, h > 0 ? -2.0f * gy / h : 0.0f, 0.0f));
    plainTranslation = plain ? 1 : 0;
}

}  // namespace Effect
