#pragma once
#include <cstdint>

#include "platform/imaging/FormatId.h"
#include "platform/imaging/SampleImages.h"
#include "platform/os/Result.h"

// Decodes file bytes through a memory stream, the decoder's frame 0 and a
// converter to straight RGBA, as the image service does.
namespace Samples {

struct Decoded {
    Platform::Result result = Platform::kOk;  // the first failure, of any step
    uint32_t width = 0, height = 0;
    Platform::imaging::FormatId native = Platform::imaging::FormatId::Undefined;
    Bytes rgba;
};

Decoded decode(const Bytes& bytes);

}  // namespace Samples
