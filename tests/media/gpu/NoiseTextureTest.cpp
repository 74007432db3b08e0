// The noise textures: the generator's steps, the permutation holding each
// k / 65535 once at fixed places, the smooth noise spanning -0.5..0.5 with
// wrapped edges, and one shared upload per texture.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <future>
#include <thread>
#include <vector>

#include "media/gpu/MediaFixture.h"
#include "media/gpu/NoiseTexture.h"
#include "media/gpu/ResourceBuffer.h"

namespace {

using Resource::NoiseTexture;

TEST(NoiseTextureValues, GeneratorStepsFromTheSeed) {
    uint64_t s = NoiseTexture::kSeed;
    EXPECT_EQ(0xe8683e430d4620d0ull, NoiseTexture::next(s));
    EXPECT_EQ(0xe8683e430d4620d0ull, s);
    EXPECT_EQ(0xcaf3851f5c44d153ull, NoiseTexture::next(s));
    EXPECT_EQ(0xc1864a115e866363ull, NoiseTexture::next(s));
}

TEST(NoiseTextureValues, PermutationHoldsEachValueOnceAtFixedPlaces) {
    const auto v = NoiseTexture::permutation();
    ASSERT_EQ(65536u, v.size());
    // Places fixed by the seed.
    const std::pair<size_t, int> places[] = {{0, 8159}, {1, 50037}, {2, 56234}, {3, 13543}, {65535, 49838}};
    for (const auto& [i, k] : places) EXPECT_FLOAT_EQ(float(k / 65535.0), v[i]) << i;
    auto sorted = v;
    std::sort(sorted.begin(), sorted.end());
    for (size_t k = 0; k < sorted.size(); ++k) ASSERT_FLOAT_EQ(float(k / 65535.0), sorted[k]) << k;
    EXPECT_EQ(v, NoiseTexture::permutation()) << "the same on every call";
}

TEST(NoiseTextureValues, SmoothNoiseSpansExactlyHalfEitherWayAndWrapsAtTheEdges) {
    const auto n = NoiseTexture::smoothNoise();
    ASSERT_EQ(65536u, n.size());
    const auto [lo, hi] = std::minmax_element(n.begin(), n.end());
    EXPECT_FLOAT_EQ(-0.5f, *lo);
    EXPECT_FLOAT_EQ(0.5f, *hi);
    EXPECT_EQ(n, NoiseTexture::smoothNoise());
    // Neighbours share most of their kernel: the texture is smooth, across the wrap too.
    double inner = 0, wrapped = 0;
    for (uint32_t y = 0; y < 256; ++y) {
        inner += std::abs(n[y * 256 + 100] - n[y * 256 + 101]);
        wrapped += std::abs(n[y * 256 + 255] - n[y * 256 + 0]);
    }
    EXPECT_LT(inner / 256, 0.2);
    EXPECT_LT(wrapped / 256, 0.2) << "column 0 is smoothed with column 255";
}

class SharedTextureTest : public MediaTest {};

TEST_F(SharedTextureTest, MadeOnceForEveryUserAndUploadedAsFloats) {
    int made = 0;
    Resource::SharedTexture texture([&](std::shared_ptr<Media::ResourceBuffer>& out) {
        ++made;
        out = NoiseTexture::upload(NoiseTexture::permutation());
    });
    std::promise<void> go;
    std::shared_future<void> gate = go.get_future().share();
    std::vector<std::future<std::shared_ptr<Media::ResourceBuffer>>> users;
    for (int i = 0; i < 4; ++i)
        users.push_back(std::async(std::launch::async, [&, gate] {
            gate.wait();
            return texture.get();
        }));
    go.set_value();
    std::vector<std::shared_ptr<Media::ResourceBuffer>> got;
    for (auto& u : users) got.push_back(u.get());
    EXPECT_EQ(1, made);
    for (const auto& g : got) EXPECT_EQ(got[0], g);
    ASSERT_NE(nullptr, got[0]);
    EXPECT_EQ(41, got[0]->format);
    const auto px = readBack(*got[0]->texture);
    ASSERT_EQ(65536u * 4, px.size());
    float first;
    std::memcpy(&first, px.data(), 4);
    EXPECT_FLOAT_EQ(float(8159 / 65535.0), first);
}

}  // namespace
