#include "render/cache/CacheBytes.h"

#include "media/audio/AudioBuffer.h"
#include "media/image/ImageBuffer.h"

namespace Cache {

uint64_t cacheBytes(const Media::ImageBuffer& image) { return static_cast<uint64_t>(image.pitch) * image.height; }

uint64_t cacheBytes(const Media::AudioBuffer& block) {
    const int32_t channels = block.channels > 0 ? block.channels : 0;
    const int32_t samples = block.samples > 0 ? block.samples : 0;
    return static_cast<uint64_t>(channels) * 4u * static_cast<uint64_t>(samples);
}

}  // namespace Cache
