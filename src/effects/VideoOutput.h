#pragma once
#include "effects/BasicOutput.h"

namespace Effect {

// The standard drawing of a video object into the frame.
class VideoOutput : public BasicOutput {
public:
    static constexpr const wchar_t* kName = L"標準描画";

    VideoOutput();
    std::shared_ptr<EffectBase> createInstance() const override;
};

}  // namespace Effect
