#pragma once
#include "effect/EffectClass.h"
#include "effects/BasicOutput.h"

namespace Effect {

// The standard drawing of a video object into the frame.
class VideoOutput : public EffectClass<VideoOutput, BasicOutput> {
public:
    static constexpr const wchar_t* kName = L"標準描画";

    VideoOutput();
};

}  // namespace Effect
