#include "effects/BuiltinCatalog.h"

#include "effects/AudioLoad.h"
#include "effects/AudioOutput.h"
#include "effects/BeforeObjectLoad.h"
#include "effects/CameraControl.h"
#include "effects/FigureLoad.h"
#include "effects/FrameLoad.h"
#include "effects/GroupAudioControl.h"
#include "effects/GroupControl.h"
#include "effects/ImageLoad.h"
#include "effects/MovieLoad.h"
#include "effects/MovieOutput.h"
#include "effects/ParticleOutput.h"
#include "effects/PartEffect.h"
#include "effects/SceneChange.h"
#include "effects/SceneLoad.h"
#include "effects/SimpleOutput.h"
#include "effects/TextInput.h"
#include "effects/VideoOutput.h"
#include "effects/WaveImageInput.h"

namespace Effect {

void BuiltinCatalog::registerLeading(EffectService& service) {
    service.registerEffect<MovieLoad>();
    service.registerEffect<ImageLoad>();
    service.registerEffect<AudioLoad>();
    service.registerEffect<TextInput>();
    service.registerEffect<FigureLoad>();
    service.registerEffect<SceneLoad>();
    service.registerEffect<FrameLoad>();
    service.registerEffect<BeforeObjectLoad>();
    service.registerEffect<VideoOutput>();
    service.registerEffect<AudioOutput>();
    service.registerEffect<MovieOutput>();
    service.registerEffect<SimpleOutput>();
    service.registerEffect<ParticleOutput>();
    service.registerEffect<PartEffect>();
    service.registerEffect<GroupControl>();
    service.registerEffect<GroupAudioControl>();
    service.registerEffect<CameraControl>();
    service.registerEffect<WaveImageInput>();
    registerImageFilters(service);
    service.registerEffect<SceneChange>();
    registerAnimationFilters(service);
}

void BuiltinCatalog::registerTrailing(EffectService& service) { registerTrailingFilters(service); }

}  // namespace Effect
