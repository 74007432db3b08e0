#pragma once
// The pictures the mask items ask for: one picture whatever is asked for,
// installed as the mask image source while this lives.
#include <memory>
#include <string>
#include <utility>

#include "effect/EffectItemMaskSelect.h"
#include "media/gpu/ResourceBuffer.h"

class OnePicture : public Effect::MaskImageSource {
public:
    OnePicture() : previous_(std::exchange(installed, this)) {}
    ~OnePicture() override { installed = previous_; }
    OnePicture(const OnePicture&) = delete;
    OnePicture& operator=(const OnePicture&) = delete;

    std::shared_ptr<Media::ResourceBuffer> picture;
    std::shared_ptr<Media::ResourceBuffer> figure(int32_t, uint32_t, uint32_t) const override { return picture; }
    std::shared_ptr<Media::ResourceBuffer> file(const std::wstring&) const override { return picture; }
    std::shared_ptr<Media::ResourceBuffer> named(const Render::RenderContext&, const std::string&) const override {
        return picture;
    }
    std::shared_ptr<Media::ResourceBuffer> sceneFrame(int32_t, double) const override { return picture; }
    bool sceneSeconds(int32_t, double&) const override { return false; }
    void preloadFile(const std::wstring&) const override {}
    void preloadSceneFrame(int32_t, double) const override {}

private:
    const Effect::MaskImageSource* previous_;
};
