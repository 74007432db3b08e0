#pragma once
// A camera control and its filters drawn through the video render worker on
// lavapipe: the outputs' fixture with the camera effects added to its catalogue.
#include <memory>
#include <string>

#include "effects/CameraControl.h"
#include "effects/PlacementReference.h"
#include "filters/CameraLight.h"
#include "filters/CameraLightAmbient.h"
#include "filters/CameraLightBloom.h"
#include "filters/CameraOption.h"
#include "filters/MaterialSetting.h"

namespace OutputTest {

class CameraCatalog : public AddedCatalog {
public:
    CameraCatalog() {
        camera_.createCommonResource();
        bloom_.createCommonResource();
    }

private:
    const Effect::EffectBase* added(const std::wstring& name) const override {
        if (name == Effect::CameraControl::kName) return &camera_;
        if (name == Effect::CameraLight::kName) return &light_;
        if (name == Effect::CameraLightAmbient::kName) return &ambient_;
        if (name == Effect::CameraLightBloom::kName) return &bloom_;
        if (name == Effect::CameraOption::kName) return &option_;
        if (name == Effect::MaterialSetting::kName) return &material_;
        return nullptr;
    }

    Effect::CameraControl camera_;
    Effect::CameraLight light_;
    Effect::CameraLightAmbient ambient_;
    Effect::CameraLightBloom bloom_;
    Effect::CameraOption option_;
    Effect::MaterialSetting material_;
};

// Opaque colour everywhere (premultiplied; colours above 1 are over-bright).
inline Pixels flat(uint32_t width, uint32_t height, float r, float g, float b, float a = 1) {
    Pixels p{width, height, {}};
    for (uint32_t i = 0; i < width * height; ++i) p.rgba.insert(p.rgba.end(), {r * a, g * a, b * a, a});
    return p.rounded();
}

class CameraFixture : public OutputFixture {
protected:
    // The camera's first effect of a new camera object on the layer.
    Effect::CameraControl& camera(int32_t layer, Vec3 eye = {0, 0, -1024}, Vec3 target = {0, 0, 0}) {
        auto object = scene->createObject(Effect::CameraControl::kName, layer, 0, 99);
        scene->update();
        auto& cam = dynamic_cast<Effect::CameraControl&>(*object->effects.front());
        setItem(cam.x, eye.x);
        setItem(cam.y, eye.y);
        setItem(cam.z, eye.z);
        setItem(cam.targetX, target.x);
        setItem(cam.targetY, target.y);
        setItem(cam.targetZ, target.z);
        return cam;
    }
    // A filter object of the type on the layer.
    template <class T>
    T& filterObject(int32_t layer) {
        auto object = scene->createObject(T::kName, layer, 0, 99);
        scene->update();
        return dynamic_cast<T&>(*object->effects.front());
    }
    // A filter of the type added to the object.
    template <class T>
    T& filter(const std::shared_ptr<Edit::Object>& object) {
        const size_t at = object->addEffect(T::kName);
        return dynamic_cast<T&>(*object->effects[at]);
    }
    void newScene(int32_t width, int32_t height) {
        scene = std::make_shared<Edit::Scene>(0, 0);
        frameSize(width, height);
    }

    CameraCatalog cameras;
};

}  // namespace OutputTest
