#include "media/gpu/NoiseTexture.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "core/Exception.h"
#include "media/gpu/ResourceBuffer.h"

namespace Resource {

uint64_t NoiseTexture::next(uint64_t& s) {
    uint64_t t = s * 97555u - (s / 135829u) * 135829u;
    t = t ^ (t << 17) ^ 0x137bd137bd137bd1ull;
    t = t ^ (t >> 19) ^ 0x37bd137bd137bd13ull;
    t = t ^ (t << 41) ^ 0x7bd137bd137bd137ull;
    t = t ^ (t >> 47) ^ 0xbd137bd137bd137bull;
    s = t;
    return t;
}

std::vector<float> NoiseTexture::permutation() {
    constexpr uint32_t n = kSize * kSize;
    std::vector<float> v(n);
    for (uint32_t k = 0; k < n; ++k) v[k] = float(double(k) / 65535.0);
    uint64_t s = kSeed;
    for (uint32_t i = 0; i < n; ++i)
        for (int step = 0; step < 4; ++step) std::swap(v[i], v[next(s) & 0xffff]);
    return v;
}

std::vector<float> NoiseTexture::smoothNoise() {
    constexpr uint32_t n = kSize * kSize;
    std::vector<float> noise(n);
    uint64_t s = kSeed;
    for (uint32_t i = 0; i < n; ++i) noise[i] = float(double(next(s) % 4294967297ull) * (1.0 / 4294967296.0));
    auto at = [&](uint32_t x, uint32_t y) { return noise[(y % kSize) * kSize + (x % kSize)]; };
    std::vector<float> out(n);
    for (uint32_t y = 0; y < kSize; ++y)
        for (uint32_t x = 0; x < kSize; ++x) {
            const uint32_t l = x + kSize - 1, r = x + 1, u = y + kSize - 1, d = y + 1;
            out[y * kSize + x] = 4 * at(x, y) + 2 * (at(l, y) + at(r, y) + at(x, u) + at(x, d)) + at(l, u) + at(r, u) +
                                 at(l, d) + at(r, d);
        }
    const auto [lo, hi] = std::minmax_element(out.begin(), out.end());
    const float smallest = *lo, range = *hi - *lo;
    for (float& v : out) v = (v - smallest) / range - 0.5f;
    return out;
}

std::shared_ptr<Media::ResourceBuffer> NoiseTexture::upload(const std::vector<float>& values) {
    // Rows of 1024 bytes, uploaded as the texture's initial contents.
    std::shared_ptr<Media::ResourceBuffer> buffer = Media::ResourceBuffer::createBlank(0, 0, 41);
    buffer->width = kSize;
    buffer->height = kSize;
    const Platform::gpu::InitialData initial{values.data(), kSize * 4};
    buffer->createTexture2D(&initial);
    return buffer;
}

std::shared_ptr<Media::ResourceBuffer> SharedTexture::get() {
    std::lock_guard lock(mutex_);
    if (!buffer_) {
        if (!creator_) throw System::messageException("Resource::SharedTexture::get", "texture creator not set.");
        creator_(buffer_);
    }
    return buffer_;
}

}  // namespace Resource
