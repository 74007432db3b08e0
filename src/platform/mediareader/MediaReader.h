#pragma once
#include <cstdint>

#include "platform/mediareader/MediaType.h"
#include "platform/mediareader/Sample.h"
#include "platform/mediareader/SourceReader.h"
#include "platform/os/Result.h"

// The media source reader layer: opens a media file, negotiates an output
// format per stream (BGRX / YUY2 frames, float / 16-bit PCM audio) and hands
// out decoded samples with 100-nanosecond time stamps. Decoding is FFmpeg's.
namespace Platform::mediareader {

// Process-wide start and stop of the layer; both always succeed here.
Result startup(uint32_t version, uint32_t flags);
Result shutdown();

}  // namespace Platform::mediareader
