#include "filters/CameraLight.h"

#include <algorithm>

#include "effect/RenderContext.h"
#include "media/gpu/RenderBuffer.h"
#include "platform/math/Matrix.h"

namespace Effect {

using namespace Platform::math;

namespace {

constexpr float kRadians = 3.14159265358979323846f / 180;

}  // namespace

CameraLight::CameraLight() {
    role = kFilter;
    media = kCamera;
    placement = kCamera;
    menuGroup = L"カメラ制御";
}

Float3 CameraLight::direction(double latitude, double longitude, double tilt) {
    const Matrix m = multiply(multiply(rotationX(static_cast<float>(-latitude) * kRadians),
                                       rotationY(static_cast<float>(-longitude) * kRadians)),
                              rotationZ(static_cast<float>(tilt) * kRadians));
    const Float4 v = transform({0, 0, -1, 1}, m);
    return normalize({v.x, v.y, v.z});
}

void CameraLight::preInputVideo(Render::RenderContext& context) {
    Media::RenderBuffer* frame = context.view.frameBuffer;
    if (!frame) return;
    const Float3 d = direction(latitude.getValue(context), longitude.getValue(context), tilt.getValue(context));
    const auto u = static_cast<float>(brightness.getValue(context) / 100);
    Media::RenderBuffer::Light light;
    light.type = 1;
    light.pos[0] = d.x;
    light.pos[1] = d.y;
    light.pos[2] = d.z;
    light.col[0] = color.red / 255.0f * u;
    light.col[1] = color.green / 255.0f * u;
    light.col[2] = color.blue / 255.0f * u;
    light.col[3] = std::max(1 - u, 0.0f);
    frame->lights.push_back(light);
}

}  // namespace Effect
