// Effect sections (project, alias and default-parameter files) read into
// every built-in filter: what was read is written, read into a fresh
// instance and written again, and both texts must agree.
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "../tests/support/TestModelQueries.h"
#include "effect/EffectBase.h"
#include "filters/AngleClipFilter.h"
#include "filters/AudioFadeFilter.h"
#include "filters/AudioMonoFilter.h"
#include "filters/AudioVolume.h"
#include "filters/BasicAlpha.h"
#include "filters/BasicAngle.h"
#include "filters/BasicExpand.h"
#include "filters/BasicInvert.h"
#include "filters/BasicMove.h"
#include "filters/BasicScale.h"
#include "filters/BevelFilter.h"
#include "filters/BloomFilter.h"
#include "filters/BlurDirectionFilter.h"
#include "filters/BlurFilter.h"
#include "filters/BokashiFilter.h"
#include "filters/BokehFilter.h"
#include "filters/BorderBlurFilter.h"
#include "filters/BorderFilter.h"
#include "filters/CameraLight.h"
#include "filters/CameraLightAmbient.h"
#include "filters/CameraLightBloom.h"
#include "filters/CameraOption.h"
#include "filters/ChromaKeyFilter.h"
#include "filters/ClipFilter.h"
#include "filters/ColorChangeFilter.h"
#include "filters/ColorFilter.h"
#include "filters/ColorKeyFilter.h"
#include "filters/ColorShiftFilter.h"
#include "filters/DeinterlaceFilter.h"
#include "filters/DiffusionFilter.h"
#include "filters/DisplacementFilter.h"
#include "filters/DropShadowFilter.h"
#include "filters/EdgeFilter.h"
#include "filters/FadeFilter.h"
#include "filters/FlashFilter.h"
#include "filters/GlowFilter.h"
#include "filters/GradationFilter.h"
#include "filters/ImageLoop.h"
#include "filters/LightFilter.h"
#include "filters/LineClipFilter.h"
#include "filters/LuminanceKeyFilter.h"
#include "filters/MaskFilter.h"
#include "filters/MaterialSetting.h"
#include "filters/MonochromeFilter.h"
#include "filters/MosaicFilter.h"
#include "filters/NoiseFilter.h"
#include "filters/NoiseReductionFilter.h"
#include "filters/ObjectDivide.h"
#include "filters/PolarFilter.h"
#include "filters/QuakeFilter.h"
#include "filters/RasterFilter.h"
#include "filters/ResizeFilter.h"
#include "filters/RippleFilter.h"
#include "filters/ScriptEdit.h"
#include "filters/ShapeFilter.h"
#include "filters/TempDraw.h"
#include "filters/WipeFilter.h"
#include "support/ScratchFolder.h"
#include "support/SectionRoundTrip.h"

namespace {

TestModelQueries gModelQueries;
const Effect::ModelQueriesScope gModelQueriesInstalled{gModelQueries};

const std::string& scratch() {
    static const std::string folder = FuzzSupport::makeScratch("/tmp/velmo-fuzz-filter-XXXXXX");
    return folder;
}

std::vector<std::shared_ptr<Effect::EffectBase>> prototypes() {
    using namespace Effect;
    return {
        std::make_shared<ColorFilter>(),
        std::make_shared<GradationFilter>(),
        std::make_shared<MonochromeFilter>(),
        std::make_shared<ColorChangeFilter>(),
        std::make_shared<ClipFilter>(),
        std::make_shared<LineClipFilter>(),
        std::make_shared<AngleClipFilter>(),
        std::make_shared<MaskFilter>(),
        std::make_shared<BokashiFilter>(),
        std::make_shared<BokehFilter>(),
        std::make_shared<BlurFilter>(),
        std::make_shared<BlurDirectionFilter>(),
        std::make_shared<BorderBlurFilter>(),
        std::make_shared<GlowFilter>(),
        std::make_shared<BloomFilter>(),
        std::make_shared<FlashFilter>(),
        std::make_shared<DiffusionFilter>(),
        std::make_shared<LightFilter>(),
        std::make_shared<ColorShiftFilter>(),
        std::make_shared<BorderFilter>(),
        std::make_shared<DropShadowFilter>(),
        std::make_shared<BevelFilter>(),
        std::make_shared<ChromaKeyFilter>(),
        std::make_shared<LuminanceKeyFilter>(),
        std::make_shared<ColorKeyFilter>(),
        std::make_shared<EdgeFilter>(),
        std::make_shared<RippleFilter>(),
        std::make_shared<RasterFilter>(),
        std::make_shared<PolarFilter>(),
        std::make_shared<DisplacementFilter>(),
        std::make_shared<ResizeFilter>(),
        std::make_shared<ShapeFilter>(),
        std::make_shared<NoiseReductionFilter>(),
        std::make_shared<DeinterlaceFilter>(),
        std::make_shared<NoiseFilter>(),
        std::make_shared<MosaicFilter>(),
        std::make_shared<TempDraw>(),
        std::make_shared<ImageLoop>(),
        std::make_shared<ObjectDivide>(),
        std::make_shared<FadeFilter>(),
        std::make_shared<WipeFilter>(),
        std::make_shared<QuakeFilter>(),
        std::make_shared<ScriptEdit>(),
        std::make_shared<CameraLight>(),
        std::make_shared<CameraLightAmbient>(),
        std::make_shared<CameraLightBloom>(),
        std::make_shared<MaterialSetting>(),
        std::make_shared<CameraOption>(),
        std::make_shared<BasicMove>(),
        std::make_shared<BasicScale>(),
        std::make_shared<BasicAlpha>(),
        std::make_shared<BasicAngle>(),
        std::make_shared<BasicExpand>(),
        std::make_shared<BasicInvert>(),
        std::make_shared<AudioFadeFilter>(),
        std::make_shared<AudioMonoFilter>(),
        std::make_shared<AudioVolume>(),
    };
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzSupport::roundTripSection(data, size, scratch(), prototypes());
    return 0;
}
