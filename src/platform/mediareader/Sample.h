#pragma once
#include <cstdint>
#include <vector>

// One decoded sample: a frame in the stream's current format, or a run of
// interleaved audio frames. Times in 100-nanosecond units from the start; a
// video frame lasts until the next one starts.
namespace Platform::mediareader {

struct Sample {
    int64_t time = 0;
    int64_t duration = 0;
    std::vector<uint8_t> bytes;
};

}  // namespace Platform::mediareader
