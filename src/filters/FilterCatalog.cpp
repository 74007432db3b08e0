#include "filters/FilterCatalog.h"

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

namespace Effect {

// "色調補正" to "ワイプ": colour, clipping, blur, light, decoration, keys,
// deformation, processing, placement and transitions.
void FilterCatalog::registerImageFilters(EffectService& service) {
    service.registerEffect<ColorFilter>();
    service.registerEffect<GradationFilter>();
    service.registerEffect<MonochromeFilter>();
    service.registerEffect<ColorChangeFilter>();
    service.registerEffect<ClipFilter>();
    service.registerEffect<LineClipFilter>();
    service.registerEffect<AngleClipFilter>();
    service.registerEffect<MaskFilter>();
    service.registerEffect<BokashiFilter>();
    service.registerEffect<BokehFilter>();
    service.registerEffect<BlurFilter>();
    service.registerEffect<BlurDirectionFilter>();
    service.registerEffect<BorderBlurFilter>();
    service.registerEffect<GlowFilter>();
    service.registerEffect<BloomFilter>();
    service.registerEffect<FlashFilter>();
    service.registerEffect<DiffusionFilter>();
    service.registerEffect<LightFilter>();
    service.registerEffect<ColorShiftFilter>();
    service.registerEffect<BorderFilter>();
    service.registerEffect<DropShadowFilter>();
    service.registerEffect<BevelFilter>();
    service.registerEffect<ChromaKeyFilter>();
    service.registerEffect<LuminanceKeyFilter>();
    service.registerEffect<ColorKeyFilter>();
    service.registerEffect<EdgeFilter>();
    service.registerEffect<RippleFilter>();
    service.registerEffect<RasterFilter>();
    service.registerEffect<PolarFilter>();
    service.registerEffect<DisplacementFilter>();
    service.registerEffect<ResizeFilter>();
    service.registerEffect<ShapeFilter>();
    service.registerEffect<NoiseReductionFilter>();
    service.registerEffect<DeinterlaceFilter>();
    service.registerEffect<NoiseFilter>();
    service.registerEffect<MosaicFilter>();
    service.registerEffect<TempDraw>();
    service.registerEffect<ImageLoop>();
    service.registerEffect<ObjectDivide>();
    service.registerEffect<FadeFilter>();
    service.registerEffect<WipeFilter>();
}

void FilterCatalog::registerAnimationFilters(EffectService& service) { service.registerEffect<QuakeFilter>(); }

// "スクリプト制御", the camera effects, the basic effects and the audio filters.
void FilterCatalog::registerTrailingFilters(EffectService& service) {
    service.registerEffect<ScriptEdit>();
    service.registerEffect<CameraLight>();
    service.registerEffect<CameraLightAmbient>();
    service.registerEffect<CameraLightBloom>();
    service.registerEffect<MaterialSetting>();
    service.registerEffect<CameraOption>();
    service.registerEffect<BasicMove>();
    service.registerEffect<BasicScale>();
    service.registerEffect<BasicAlpha>();
    service.registerEffect<BasicAngle>();
    service.registerEffect<BasicExpand>();
    service.registerEffect<BasicInvert>();
    service.registerEffect<AudioFadeFilter>();
    service.registerEffect<AudioMonoFilter>();
    service.registerEffect<AudioVolume>();
}

}  // namespace Effect
