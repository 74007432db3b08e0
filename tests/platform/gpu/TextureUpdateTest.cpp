#include <cstdint>
#include <vector>

#include "GpuFixture.h"

using namespace Platform;
using namespace Platform::gpu;

namespace {

class TextureUpdateTest : public GpuTest {};

// Rows of `pitch` bytes whose used part counts up from seed; the padding is 0xEE.
std::vector<uint8_t> rows(uint32_t rowBytes, uint32_t pitch, uint32_t height, uint8_t seed) {
    std::vector<uint8_t> out(static_cast<size_t>(pitch) * height, 0xEE);
    for (uint32_t y = 0; y < height; ++y)
        for (uint32_t x = 0; x < rowBytes; ++x)
            out[y * pitch + x] = static_cast<uint8_t>(seed + 3 * (y * rowBytes + x));
    return out;
}

std::vector<uint8_t> packed(const std::vector<uint8_t>& padded, uint32_t rowBytes, uint32_t pitch, uint32_t height) {
    std::vector<uint8_t> out;
    for (uint32_t y = 0; y < height; ++y)
        out.insert(out.end(), padded.begin() + y * pitch, padded.begin() + y * pitch + rowBytes);
    return out;
}

TEST_F(TextureUpdateTest, UpdatesReplaceTheTexelsInRecordedOrder) {
    // Formats of their own layout and the emulated mask and YUY2 layouts.
    for (int32_t format : {10, 28, 65, 87, 107}) {
        SCOPED_TRACE(format);
        const uint32_t w = 6, h = 3;
        const uint32_t row = FormatTable::cpuRowBytes(*FormatTable::find(format), w);
        const uint32_t pitch = row + 8;
        const auto first = rows(row, pitch, h, 1), second = rows(row, pitch, h, 100);
        auto texture = makeTexture(w, h, format, kBindShaderResource, first.data(), pitch);
        auto before = makeTexture(w, h, format, kBindShaderResource);
        ASSERT_TRUE(texture && before);
        ASSERT_EQ(kOk, context().copyResource(*before, *texture));  // recorded before the update
        context().updateSubresource(*texture, second.data(), pitch);
        EXPECT_EQ(packed(second, row, pitch, h), readBack(*texture));
        EXPECT_EQ(packed(first, row, pitch, h), readBack(*before));
        // Again, after a read, into the same texture: steady use of one texture.
        context().updateSubresource(*texture, first.data(), pitch);
        EXPECT_EQ(packed(first, row, pitch, h), readBack(*texture));
    }
}

TEST_F(TextureUpdateTest, RowsTooShortOrMissingLeaveTheTextureAlone) {
    const uint32_t w = 4, h = 2;
    const auto pixels = rows(16, 16, h, 9);
    auto texture = makeTexture(w, h, 87, kBindShaderResource, pixels.data(), 16);
    ASSERT_TRUE(texture);
    const auto other = rows(16, 16, h, 200);
    context().updateSubresource(*texture, other.data(), 12);  // less than a row
    context().updateSubresource(*texture, nullptr, 16);
    EXPECT_EQ(pixels, readBack(*texture));
}

}  // namespace
