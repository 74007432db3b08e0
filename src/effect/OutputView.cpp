#include "effect/OutputView.h"

#include <atomic>

#include "effect/ControlView.h"
#include "effect/EffectBase.h"
#include "effect/ModelQueries.h"
#include "platform/math/Scalar.h"

namespace Effect {

using namespace Platform::math;

namespace {

std::atomic<FrameSizeReader> gFrameSizeReader{nullptr};

Matrix rotations(const OutputView& v) {
    return multiply(multiply(rotationZ(toRadians(v.rotationZ)), rotationY(toRadians(v.rotationY))),
                    rotationX(toRadians(v.rotationX)));
}

// The matrices kept by the control heading the object, when it keeps any.
const ControlView* controlOf(const std::shared_ptr<Edit::Object>& object) {
    if (!object) return nullptr;
    const auto& effects = modelQueries().objectEffects(*object);
    if (effects.empty() || !effects.front()) return nullptr;
    return dynamic_cast<const ControlView*>(effects.front().get());
}

}  // namespace

FrameSizeReader setFrameSizeReader(FrameSizeReader reader) { return gFrameSizeReader.exchange(reader); }

Matrix OutputView::getObjectMatrix() const {
    Matrix m = multiply(translation(-centerX, -centerY, -centerZ), scaling(scaleX, scaleY, scaleZ));
    m = multiply(m, rotations(*this));
    return multiply(m, translation(x, y, z));
}

Matrix OutputView::getScreenMatrix(int32_t width, int32_t height) const {
    const float w = static_cast<float>(width);
    const float h = static_cast<float>(height);
    // Focal length 1024: clip w is the depth and clip z is 51.2, so the depth
    // after the divide is 51.2 / depth (larger is nearer).
    Matrix p;
    p.m[0][0] = 2048.0f / w;
    p.m[1][1] = -2048.0f / h;
    p.m[2][3] = 1.0f;
    p.m[3][2] = 51.2f;
    // The vanishing point is the object's own position.
    return multiply(multiply(translation(-x, -y, 1024.0f), p), translation(2.0f * x / w, -2.0f * y / h, 0.0f));
}

Matrix OutputView::getWorldMatrix() const {
    const Matrix object = getObjectMatrix();
    if (const ControlView* group = controlOf(groupControl)) return multiply(object, group->getControlWorldMatrix());
    return object;
}

Matrix OutputView::getViewMatrix() const {
    if (const ControlView* camera = controlOf(cameraControl)) return camera->getControlViewMatrix();
    if (const ControlView* group = controlOf(groupControl)) return group->getControlViewMatrix();
    int32_t width = 0, height = 0;
    if (frameBuffer)
        if (const FrameSizeReader read = gFrameSizeReader.load()) read(*frameBuffer, width, height);
    return getScreenMatrix(width, height);
}

Matrix OutputView::getGroupViewMatrix() const {
    const ControlView* camera = controlOf(cameraControl);
    const ControlView* group = controlOf(groupControl);
    if (camera && group) return multiply(group->getControlWorldMatrix(), camera->getControlViewMatrix());
    if (camera) return camera->getControlViewMatrix();
    if (group) return multiply(group->getControlWorldMatrix(), group->getControlViewMatrix());
    return multiply(translation(0.0f, 0.0f, -z), getViewMatrix());
}

Matrix OutputView::getRotationMatrix() const { return multiply(scaling(scaleX, scaleY, scaleZ), rotations(*this)); }

Matrix OutputView::getWorldViewMatrix() const { return multiply(getWorldMatrix(), getViewMatrix()); }

}  // namespace Effect
