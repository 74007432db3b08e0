#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "MediaFixture.h"
#include "media/gpu/ResourceConvert.h"
#include "media/image/PixelFormat.h"

namespace {

class FrameUploadTest : public ResourceTest {};

TEST_F(FrameUploadTest, FrameAfterFrameEachArrivesWhileTheUploadTextureIsKept) {
    // Movie frames one after another into one buffer, with changes of shape between them.
    struct Frame {
        int32_t format;
        uint32_t width;
        uint8_t grey;  // every byte of the BGRX / BGRA pixels, or the Y of YUY2
    };
    const Frame frames[] = {
        {Media::PixelFormat::kB8G8R8X8Unorm, 4, 51},  {Media::PixelFormat::kB8G8R8X8Unorm, 4, 204},
        {Media::PixelFormat::kB8G8R8X8Unorm, 2, 102}, {Media::PixelFormat::kB8G8R8A8Unorm, 2, 255},
        {Media::PixelFormat::kYuy2, 2, 235},          {Media::PixelFormat::kYuy2, 2, 16},
        {Media::PixelFormat::kB8G8R8X8Unorm, 4, 0},
    };
    Media::ResourceBuffer target(0, 0);
    Platform::gpu::Texture* uploadTexture = nullptr;
    for (size_t i = 0; i < std::size(frames); ++i) {
        const Frame& f = frames[i];
        SCOPED_TRACE(i);
        auto image = Media::ImageBuffer::make(f.format, f.width, 1);
        image->create(f.width, 1, 0);
        if (f.format == Media::PixelFormat::kYuy2) {
            for (uint32_t p = 0; p < f.width / 2; ++p) {
                const uint8_t pair[4] = {f.grey, 128, f.grey, 128};
                std::memcpy(image->data() + 4 * p, pair, 4);
            }
        } else {
            std::memset(image->data(), f.grey, image->usedSize());
        }
        Media::ResourceConvert().convert(*image, target);
        const float want = f.format == Media::PixelFormat::kYuy2 ? (f.grey - 16) / 219.0f : f.grey / 255.0f;
        const auto px = pixelsOf(*target.texture);
        ASSERT_EQ(px.size(), 4u * f.width);
        for (uint32_t x = 0; x < f.width; ++x) EXPECT_NEAR(px[4 * x], want, 3e-3f) << x;
        Platform::gpu::Texture* now = d3d().uploadBuffer().texture.get();
        if (i == 1) {
            EXPECT_EQ(now, uploadTexture);  // the same shape again: no new texture
        }
        uploadTexture = now;
    }
}

}  // namespace
