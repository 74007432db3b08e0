#pragma once
// The filters' prototypes on lavapipe with the resource service and an effect
// service of the whole catalogue, whose registered clipping and blurring
// filters the masks borrow; images as RGBA floats to compare with CPU
// references.
#include <memory>

#include "BlurFixture.h"
#include "effect/EffectItemNumber.h"
#include "effect/EffectService.h"
#include "filters/FilterCatalog.h"
#include "filters/MaskPictures.h"

// smoothstep of t clamped to 0 .. 1.
inline double smooth(double t) {
    t = std::clamp(t, 0.0, 1.0);
    return t * t * (3 - 2 * t);
}
inline double radians(double degrees) { return degrees * 0.017453292; }

class ClipFixture : public BlurFixture {
protected:
    void SetUp() override {
        BlurFixture::SetUp();
        Effect::EffectService::setCatalog(&catalogue_);
        effects = std::make_unique<Effect::EffectService>();
        pictures = std::make_unique<Effect::MaskPictures>(*effects);
    }
    void TearDown() override {
        pictures.reset();
        effects.reset();
        Effect::EffectService::setCatalog(nullptr);
        BlurFixture::TearDown();
    }

    // A new instance of the registered filter sharing its class resource.
    template <class T>
    std::shared_ptr<T> instance() {
        auto made = std::static_pointer_cast<T>(effects->getDefaultEffect<T>().createInstance());
        made->shareResource(effects->getDefaultEffect<T>());
        return made;
    }
    static void set(Effect::EffectItemNumber& item, double value) { item.setValue(value, 0); }

    // Each pixel of the image times the factor, colour and alpha alike.
    template <class Factor>
    static Pixels scaled(const Pixels& source, Factor factor) {
        Pixels out = source;
        for (uint32_t y = 0; y < source.height; ++y)
            for (uint32_t x = 0; x < source.width; ++x) {
                const double f = factor(x, y);
                for (int c = 0; c < 4; ++c) out.at(x, y, c) *= f;
            }
        return out;
    }
    static std::array<double, 4> colours(uint32_t x, uint32_t y) {
        return {((x * 7 + y) % 10) / 10.0, ((x + y * 3) % 8) / 8.0, 0.5, 1.0};
    }

    std::unique_ptr<Effect::EffectService> effects;
    std::unique_ptr<Effect::MaskPictures> pictures;

private:
    Effect::FilterCatalog catalogue_;
};
