#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <typeinfo>

#include "core/TextConvert.h"
#include "effect/EffectBase.h"
#include "effect/EffectDefine.h"
#include "effect/EffectService.h"
#include "media/gpu/ComputeShader.h"
#include "media/gpu/PixelShader.h"
#include "filters/AngleClipFilter.h"
#include "filters/BasicInvert.h"
#include "filters/BevelFilter.h"
#include "filters/BlurDirectionFilter.h"
#include "filters/BlurFilter.h"
#include "filters/BokashiFilter.h"
#include "filters/BokehFilter.h"
#include "filters/BorderBlurFilter.h"
#include "filters/BorderFilter.h"
#include "filters/CameraLightBloom.h"
#include "filters/ChromaKeyFilter.h"
#include "filters/ColorChangeFilter.h"
#include "filters/ColorFilter.h"
#include "filters/ColorKeyFilter.h"
#include "filters/ColorShiftFilter.h"
#include "filters/DeinterlaceFilter.h"
#include "filters/DiffusionFilter.h"
#include "filters/DisplacementFilter.h"
#include "filters/EdgeFilter.h"
#include "filters/GlowFilter.h"
#include "filters/GradationFilter.h"
#include "filters/LightFilter.h"
#include "filters/LineClipFilter.h"
#include "filters/LuminanceKeyFilter.h"
#include "filters/MaskFilter.h"
#include "filters/MonochromeFilter.h"
#include "filters/MosaicFilter.h"
#include "filters/NoiseFilter.h"
#include "filters/NoiseReductionFilter.h"
#include "filters/PolarFilter.h"
#include "filters/RasterFilter.h"
#include "filters/RippleFilter.h"
#include "filters/ShapeFilter.h"
#include "filters/FilterFixture.h"
#include "filters/FilterSteps.h"

using Effect::EffectBase;

namespace {

template <class T>
const Effect::ShaderResource* resourceOf(const EffectBase& effect) {
    return dynamic_cast<const T&>(effect).resource.get();
}

TEST_F(FilterFixture, ClassResourcesAreMadeOnceAndShared) {
    const struct {
        const wchar_t* name;
        const Effect::ShaderResource* (*resource)(const EffectBase&);
        size_t programs, computePrograms;
        uint32_t constantBytes;
    } cases[] = {
        {L"レンズブラー", resourceOf<Effect::BokehFilter>, 3, 0, 32},
        {L"放射ブラー", resourceOf<Effect::BlurFilter>, 1, 0, 32},
        {L"方向ブラー", resourceOf<Effect::BlurDirectionFilter>, 1, 0, 32},
        {L"境界ぼかし", resourceOf<Effect::BorderBlurFilter>, 4, 0, 0},
        {L"グロー", resourceOf<Effect::GlowFilter>, 1, 0, 32},
        {L"拡散光", resourceOf<Effect::DiffusionFilter>, 1, 0, 0},
        {L"ライト", resourceOf<Effect::LightFilter>, 5, 0, 32},
        {L"縁取り", resourceOf<Effect::BorderFilter>, 2, 0, 64},
        {L"凸エッジ", resourceOf<Effect::BevelFilter>, 1, 0, 16},
        {L"エッジ抽出", resourceOf<Effect::EdgeFilter>, 3, 0, 32},
        {L"波紋", resourceOf<Effect::RippleFilter>, 1, 0, 32},
        {L"ラスター", resourceOf<Effect::RasterFilter>, 4, 0, 32},
        {L"極座標変換", resourceOf<Effect::PolarFilter>, 1, 0, 32},
        {L"ディスプレイスメントマップ", resourceOf<Effect::DisplacementFilter>, 2, 0, 48},
        {L"シャープ", resourceOf<Effect::ShapeFilter>, 1, 0, 0},
        {L"ノイズ除去", resourceOf<Effect::NoiseReductionFilter>, 1, 0, 0},
        {L"インターレース解除", resourceOf<Effect::DeinterlaceFilter>, 1, 0, 0},
        {L"ノイズ", resourceOf<Effect::NoiseFilter>, 1, 0, 48},
        {L"モザイク", resourceOf<Effect::MosaicFilter>, 1, 0, 0},
        {L"ライトブルーム(カメラ制御)", resourceOf<Effect::CameraLightBloom>, 2, 0, 16},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(System::wideToUtf8(c.name));
        const EffectBase& prototype = *service->findEffect(c.name).prototype();
        const Effect::ShaderResource* resource = c.resource(prototype);
        ASSERT_NE(resource, nullptr);
        EXPECT_EQ(resource->shaders.size(), c.programs);
        EXPECT_EQ(resource->computeShaders.size(), c.computePrograms);
        EXPECT_EQ(resource->constantBytes, c.constantBytes);
        EXPECT_EQ(resource->constant != nullptr, c.constantBytes > 0);
        for (const auto& shader : resource->shaders)  // loaded at registration
            EXPECT_NE(shader->shader, nullptr);

        auto first = service->getEffect(c.name);
        auto second = service->getEffect(c.name);
        EXPECT_NE(first, second);
        EXPECT_EQ(c.resource(*first), resource);
        EXPECT_EQ(c.resource(*second), resource);
        first.reset();  // releasing one instance leaves the other's resource
        EXPECT_EQ(c.resource(*second), resource);
        // Created but not shared yet: none.
        EXPECT_EQ(c.resource(*prototype.createInstance()), nullptr);
    }
}

template <class T>
const EffectBase* defaultOf(const Effect::EffectService& service) {
    return &service.getDefaultEffect<T>();
}

TEST_F(FilterFixture, OtherEffectsReachTheRegisteredPrototypes) {
    // The filters whose work other effects and the transition masks borrow.
    const struct {
        const wchar_t* name;
        const EffectBase* (*prototype)(const Effect::EffectService&);
    } cases[] = {
        {L"ぼかし", defaultOf<Effect::BokashiFilter>},
        {L"放射ブラー", defaultOf<Effect::BlurFilter>},
        {L"斜めクリッピング", defaultOf<Effect::LineClipFilter>},
        {L"扇クリッピング", defaultOf<Effect::AngleClipFilter>},
        {L"クロマキー", defaultOf<Effect::ChromaKeyFilter>},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.prototype(*service), service->findEffect(c.name).prototype().get()) << System::wideToUtf8(c.name);
}

}  // namespace
