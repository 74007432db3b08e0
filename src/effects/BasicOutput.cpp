#include "effects/BasicOutput.h"

#include <algorithm>

#include "effect/RenderContext.h"
#include "effects/ShaderResource.h"

namespace Effect {

BasicOutput::BasicOutput(const wchar_t* effectName, uint8_t effectMedia) {
    name = effectName;
    role = kOutput;
    media = effectMedia;
    placement = effectMedia;
    positionItems = {&x, &y, &z};
    ownSizeItem = &zoom;
}

void BasicOutput::createCommonResource() { resource = ShaderResource::create(0, 160); }

void BasicOutput::outputVideo(Render::RenderContext& context, Media::RenderBuffer& target,
                              std::shared_ptr<Media::ResourceBuffer> image) {
    if (context.plainPlacement)
        drawPlain(context, target, *image);
    else
        drawObject(context, target, image);
}

OutputView BasicOutput::getOutputView(Render::RenderContext& context) {
    OutputView view = context.view;
    if (!context.keepPosition) {
        view.x += static_cast<float>(x.getValue(context));
        view.y += static_cast<float>(y.getValue(context));
        view.z += static_cast<float>(z.getValue(context));
    }
    if (!context.keepTransform) {
        view.rotationX += static_cast<float>(angleX.getValue(context));
        view.rotationY += static_cast<float>(angleY.getValue(context));
        view.rotationZ += static_cast<float>(angleZ.getValue(context));
        view.centerX += static_cast<float>(centerX.getValue(context));
        view.centerY += static_cast<float>(centerY.getValue(context));
        view.centerZ += static_cast<float>(centerZ.getValue(context));
        const double h = zoom.getValue(context) / 100;
        if (h != 1) {
            view.scaleX = static_cast<float>(view.scaleX * h);
            view.scaleY = static_cast<float>(view.scaleY * h);
            view.scaleZ = static_cast<float>(view.scaleZ * h);
        }
        const double a = aspect.getValue(context);
        if (a > 0)
            view.scaleX = static_cast<float>(view.scaleX * (100 - a) / 100);
        else if (a < 0)
            view.scaleY = static_cast<float>(view.scaleY * (a + 100) / 100);
    }
    view.opacity = static_cast<float>(view.opacity * (1 - alpha.getValue(context) / 100));
    if (blend.index != 0) view.blendMode = std::clamp(blend.index, 0, 23);
    return view;
}

}  // namespace Effect
