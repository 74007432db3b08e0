#pragma once
#include <cstdint>
#include <memory>

namespace Media {
class AudioBlockBuffer;
class RawAudioBuffer;
}  // namespace Media

// The planar block the input plug-ins of libraries and hosts hand on.
namespace Plugin {

// Mono 16-bit PCM, which the block conversion does not take, is widened to
// mono float first.
std::shared_ptr<Media::AudioBlockBuffer> makeAudioBlock(const Media::RawAudioBuffer& raw);
// Readies raw as one block (one second) of silence in the file's format; the
// block's size in bytes.
uint32_t prepareSilentBlock(Media::RawAudioBuffer& raw, int32_t formatTag, int32_t bitsPerSample, int32_t channels,
                            int32_t sampleRate);
// Whether makeAudioBlock takes the format: 16-bit PCM or 32-bit float, mono or stereo.
bool isBlockAudioFormat(int32_t formatTag, int32_t bitsPerSample, int32_t channels);

}  // namespace Plugin
