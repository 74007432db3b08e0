#pragma once
#include <cstdint>

namespace Render {

// The samples of one frame for one object.
struct AudioRange {
    int64_t offset = 0;  // from the object's start
    int32_t rate = 0;    // audio sampling rate
    int64_t first = 0;   // first scene sample of the frame
    int32_t count = 0;
};

}  // namespace Render
