// Effect sections (project, alias and default-parameter files) read into
// every built-in source, output and control: what was read is written,
// read into a fresh instance and written again, and both texts must agree.
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "../tests/support/TestModelQueries.h"
#include "effect/EffectBase.h"
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
#include "support/ScratchFolder.h"
#include "support/SectionRoundTrip.h"

namespace {

TestModelQueries gModelQueries;
const Effect::ModelQueriesScope gModelQueriesInstalled{gModelQueries};

const std::string& scratch() {
    static const std::string folder = FuzzSupport::makeScratch("/tmp/velmo-fuzz-builtin-XXXXXX");
    return folder;
}

std::vector<std::shared_ptr<Effect::EffectBase>> prototypes() {
    using namespace Effect;
    return {std::make_shared<MovieLoad>(),      std::make_shared<ImageLoad>(),
            std::make_shared<AudioLoad>(),      std::make_shared<TextInput>(),
            std::make_shared<FigureLoad>(),     std::make_shared<SceneLoad>(),
            std::make_shared<FrameLoad>(),      std::make_shared<BeforeObjectLoad>(),
            std::make_shared<VideoOutput>(),    std::make_shared<AudioOutput>(),
            std::make_shared<MovieOutput>(),    std::make_shared<SimpleOutput>(),
            std::make_shared<ParticleOutput>(), std::make_shared<PartEffect>(),
            std::make_shared<GroupControl>(),   std::make_shared<GroupAudioControl>(),
            std::make_shared<CameraControl>(),  std::make_shared<WaveImageInput>(),
            std::make_shared<SceneChange>()};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzSupport::roundTripSection(data, size, scratch(), prototypes());
    return 0;
}
