#pragma once
#include <cstdint>

namespace Media {
class ImageBuffer;
class AudioBuffer;
}  // namespace Media

// What an entry costs against a cache's budget: an image its pitch times its
// height, a block four bytes per sample of each channel.
namespace Cache {

uint64_t cacheBytes(const Media::ImageBuffer& image);
uint64_t cacheBytes(const Media::AudioBuffer& block);

}  // namespace Cache
