#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

// The two 256 x 256 single-channel float textures that scene changes and
// noise filters read: a permutation of k / 65535 and a smooth noise spanning
// -0.5..0.5, both made the same on every run from one fixed seed.
namespace Media {
class ResourceBuffer;
}

namespace Resource {

class NoiseTexture {
public:
    static constexpr uint32_t kSize = 256;
    static constexpr uint64_t kSeed = 0xe6664c4f32c445c6ull;

    // One step of the generator: the new state, which is also the result.
    static uint64_t next(uint64_t& state);
    // Row by row, kSize x kSize values.
    static std::vector<float> permutation();
    static std::vector<float> smoothNoise();
    // The values (kSize x kSize) as an R32_FLOAT resource buffer.
    static std::shared_ptr<Media::ResourceBuffer> upload(const std::vector<float>& values);
};

// A texture made by its creator on first use and shared after; first users
// on several threads make it once.
class SharedTexture {
public:
    using Creator = std::function<void(std::shared_ptr<Media::ResourceBuffer>&)>;
    explicit SharedTexture(Creator creator) : creator_(std::move(creator)) {}
    std::shared_ptr<Media::ResourceBuffer> get();

private:
    std::mutex mutex_;
    std::shared_ptr<Media::ResourceBuffer> buffer_;
    Creator creator_;
};

}  // namespace Resource
