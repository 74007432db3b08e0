#pragma once
#include <cstdint>

namespace Media {
class AudioBuffer;
}

namespace Effect {

// An audio block as the audio filters walk it: the left and right planes in
// whole groups of eight samples, ((samples + 7) / 8) groups. A mono block has
// one plane, which serves as both channels (left == right).
class AudioGroups {
public:
    using Float8 = float __attribute__((vector_size(32)));
    static constexpr int32_t kGroup = 8;

    explicit AudioGroups(const Media::AudioBuffer& audio);

    bool mono() const { return left == right; }
    Float8* leftGroups() const { return reinterpret_cast<Float8*>(left); }
    Float8* rightGroups() const { return reinterpret_cast<Float8*>(right); }

    // Multiplies sample k of every distinct plane by start + k * step: the
    // first group by start .. start + 7 step, each later one 8 step more. A
    // mono block is scaled once.
    void ramp(float start, float step) const;

    float* left = nullptr;
    float* right = nullptr;
    int32_t groups = 0;
};

}  // namespace Effect
