#include "filters/CameraLightAmbient.h"

#include "effect/RenderContext.h"
#include "media/gpu/RenderBuffer.h"

namespace Effect {

CameraLightAmbient::CameraLightAmbient() {
    role = kFilter;
    media = kCamera;
    placement = kCamera;
    menuGroup = L"カメラ制御";
}

void CameraLightAmbient::preInputVideo(Render::RenderContext& context) {
    Media::RenderBuffer* frame = context.view.frameBuffer;
    if (!frame) return;
    const auto u = static_cast<float>(brightness.getValue(context) / 100);
    Media::RenderBuffer::Light light;
    light.type = 0;
    light.col[0] = color.red / 255.0f * u;
    light.col[1] = color.green / 255.0f * u;
    light.col[2] = color.blue / 255.0f * u;
    light.col[3] = 0;
    frame->lights.push_back(light);
}

}  // namespace Effect
