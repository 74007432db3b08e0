#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "FilterPassFixture.h"
#include "filters/BevelFilter.h"
#include "filters/BloomFilter.h"
#include "filters/BlurDirectionFilter.h"
#include "filters/BlurFilter.h"
#include "filters/BokehFilter.h"
#include "filters/BorderBlurFilter.h"
#include "filters/BorderFilter.h"
#include "filters/DiffusionFilter.h"
#include "filters/DropShadowFilter.h"
#include "filters/EdgeFilter.h"
#include "filters/FilterPasses.h"
#include "filters/FlashFilter.h"
#include "filters/GlowFilter.h"
#include "filters/LightFilter.h"
#include "filters/MosaicFilter.h"
#include "filters/NoiseReductionFilter.h"
#include "filters/ShapeFilter.h"
#include "media/gpu/Direct3DService.h"

namespace {

using DrawnFilters = FilterPassFixture;

template <class T>
std::shared_ptr<Effect::EffectBase> made() {
    auto filter = std::make_shared<T>();
    filter->createCommonResource();
    return filter;
}

// The passes that skip binding the sampler already bound go by the one
// recorded: a filter's binding must be recorded too, or the next of them
// draws with the filter's sampler instead of its own.
TEST_F(DrawnFilters, BindingASamplerRecordsIt) {
    Media::Direct3DService& d3d = *Media::Direct3DService::get();
    for (size_t index : {0u, 1u, 0u}) {
        Effect::FilterPasses::bindSampler(index);
        EXPECT_EQ(d3d.boundSampler, Effect::FilterPasses::sampler(index));
    }
    EXPECT_NE(Effect::FilterPasses::sampler(0), Effect::FilterPasses::sampler(1));
}

// A source may hand the same image on frame after frame: with their default
// values the filters draw an image of their own and leave the one they were
// given as it was, so a second frame comes out as the first.
TEST_F(DrawnFilters, LeaveTheImageTheyWereGivenAsItWas) {
    const struct {
        const char* name;
        std::function<std::shared_ptr<Effect::EffectBase>()> make;
    } cases[] = {
        {"radial blur", made<Effect::BlurFilter>},
        {"direction blur", made<Effect::BlurDirectionFilter>},
        {"border blur", made<Effect::BorderBlurFilter>},
        {"lens blur", made<Effect::BokehFilter>},
        {"glow", made<Effect::GlowFilter>},
        {"bloom", made<Effect::BloomFilter>},
        {"flash", made<Effect::FlashFilter>},
        {"diffusion", made<Effect::DiffusionFilter>},
        {"light", made<Effect::LightFilter>},
        {"outline", made<Effect::BorderFilter>},
        {"drop shadow", made<Effect::DropShadowFilter>},
        {"bevel", made<Effect::BevelFilter>},
        {"edges", made<Effect::EdgeFilter>},
        {"sharpen", made<Effect::ShapeFilter>},
        {"mosaic", made<Effect::MosaicFilter>},
        {"noise reduction", made<Effect::NoiseReductionFilter>},
    };
    const Pixels source = makePixels(30, 26, [](uint32_t x, uint32_t y) {
        auto v = CpuPass::disc(x, y, 15, 13, 10);
        v[0] = std::min(1.0, v[0] + 0.8 * v[3] * ((x / 4 + y / 3) % 2));
        return v;
    });
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto filter = c.make();
        auto held = upload(source);
        context.view = {};
        auto first = filter->filterVideo(context, held);
        ASSERT_TRUE(first);
        EXPECT_NE(first.get(), held.get());
        const Pixels once = download(*first);
        context.view = {};
        const Pixels twice = download(*filter->filterVideo(context, held));
        EXPECT_LT(maxDifference(download(*held), source), 1e-6);
        EXPECT_LT(maxDifference(twice, once), 1e-6);
    }
}

}  // namespace
