#pragma once
#include <cstdint>

// The output format of one stream: what the caller asks for and what the
// reader reports as current.
namespace Platform::mediareader {

enum class MajorType : int32_t { Unknown, Video, Audio };
// Other stands for a native format no output is made in.
enum class Subtype : int32_t { Other, Rgb32, Yuy2, Float, Pcm };

struct MediaType {
    MajorType major = MajorType::Unknown;
    Subtype subtype = Subtype::Other;
    // Video.
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t frameRateNumerator = 0;
    uint32_t frameRateDenominator = 0;
    bool hasDefaultStride = false;
    int32_t defaultStride = 0;
    // Audio.
    uint32_t channels = 0;
    uint32_t samplesPerSecond = 0;
    uint32_t bitsPerSample = 0;
};

}  // namespace Platform::mediareader
