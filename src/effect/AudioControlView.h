#pragma once

namespace Effect {

// The channel factors an audio group control keeps for the current frame.
// The audio pass scales each object's sound by those of its innermost audio
// group; the control effect implements this beside its effect base.
class AudioControlView {
public:
    virtual ~AudioControlView() = default;
    virtual float getLeftFactor() const = 0;
    virtual float getRightFactor() const = 0;
};

}  // namespace Effect
