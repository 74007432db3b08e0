#include <gtest/gtest.h>

#include <bit>
#include <vector>

#include "media/decode/VideoDecompressor.h"

namespace {

namespace C = Platform::codecs;

Media::BitmapInfoHeader yuy2(int w, int h) {
    Media::BitmapInfoHeader b;
    b.biSize = 40;
    b.biWidth = w;
    b.biHeight = h;
    b.biPlanes = 1;
    b.biBitCount = 16;
    b.biCompression = Media::fourCC("YUY2");
    return b;
}

C::VideoCodec* openFor(const Media::BitmapInfoHeader& h) {
    return C::openVideoCodec(h.biCompression, std::bit_cast<C::BitmapHeader>(h));
}

TEST(VideoDecompressorTest, OutputHeaderRowsAreRaisedToFourBytes) {
    auto source = yuy2(3, 2);
    Media::VideoDecompressor d(&source, openFor(source));
    ASSERT_TRUE(d.isOpen());
    ASSERT_TRUE(d.begin(0, 24));
    const auto& out = d.outputHeader();
    EXPECT_EQ(out.biSize, 40u);
    EXPECT_EQ(out.biWidth, 3);
    EXPECT_EQ(out.biHeight, 2);
    EXPECT_EQ(out.biPlanes, 1);
    EXPECT_EQ(out.biBitCount, 24);
    EXPECT_EQ(out.biCompression, 0u);
    EXPECT_EQ(out.biSizeImage, 24u);
}

TEST(VideoDecompressorTest, DecodesIntoEachOutputTheReaderTries) {
    auto source = yuy2(4, 2);
    // Top row white, bottom row black.
    const std::vector<uint8_t> frame = {235, 128, 235, 128, 235, 128, 235, 128, 16, 128, 16, 128, 16, 128, 16, 128};
    const struct {
        uint32_t compression;
        uint16_t bits;
        size_t topRow;  // byte offset of the picture's top row
    } cases[] = {{Media::fourCC("YUY2"), 0, 0}, {0, 32, 16}, {0, 24, 12}};
    for (const auto& c : cases) {
        Media::VideoDecompressor d(&source, openFor(source));
        ASSERT_TRUE(d.begin(c.compression, c.bits));
        ASSERT_TRUE(d.decode(frame.data(), uint32_t(frame.size()), false));
        EXPECT_EQ(source.biSizeImage, frame.size());
        EXPECT_GT(d.outputData()[c.topRow], 200) << c.bits;
        EXPECT_LT(d.outputData()[(c.topRow + d.outputHeader().biSizeImage / 2) % d.outputHeader().biSizeImage], 40)
            << c.bits;
    }
}

// Rows land at whole strides: 6 pixels x 3 bytes are 18, padded to 20; a
// negative height keeps the picture top-down.
TEST(VideoDecompressorTest, RgbRowsSitAtPaddedStridesInTheHeadersOrder) {
    // Top row white, bottom row black.
    const std::vector<uint8_t> frame = {235, 128, 235, 128, 235, 128, 235, 128, 235, 128, 235, 128,
                                        16,  128, 16,  128, 16,  128, 16,  128, 16,  128, 16,  128};
    const struct {
        int height;
        uint16_t bits;
        size_t stride;
        size_t lastOfTop;  // last colour byte of the picture's top row
        size_t lastOfBottom;
    } cases[] = {{2, 24, 20, 20 + 17, 17}, {-2, 24, 20, 17, 20 + 17}, {2, 32, 24, 24 + 22, 22}};
    for (const auto& c : cases) {
        auto source = yuy2(6, c.height);
        Media::VideoDecompressor d(&source, openFor(source));
        ASSERT_TRUE(d.begin(0, c.bits)) << c.height << " " << c.bits;
        EXPECT_EQ(d.outputHeader().biSizeImage, 2 * c.stride);
        ASSERT_TRUE(d.decode(frame.data(), uint32_t(frame.size()), false));
        EXPECT_GT(d.outputData()[c.lastOfTop], 200) << c.height << " " << c.bits;
        EXPECT_LT(d.outputData()[c.lastOfBottom], 40) << c.height << " " << c.bits;
    }
}

TEST(VideoDecompressorTest, NothingIsDecodedBeforeBeginOrAfterClose) {
    auto source = yuy2(4, 2);
    const std::vector<uint8_t> frame(16, 128);
    Media::VideoDecompressor d(&source, openFor(source));
    EXPECT_FALSE(d.decode(frame.data(), 16, false));
    EXPECT_EQ(source.biSizeImage, 0u);
    EXPECT_FALSE(d.begin(Media::fourCC("MJPG"), 24));
    EXPECT_FALSE(d.begin(0, 8));
    ASSERT_TRUE(d.begin(0, 32));
    EXPECT_TRUE(d.decode(frame.data(), 16, true));
    EXPECT_FALSE(d.decode(frame.data(), 3, false));  // a short frame
    d.close();
    EXPECT_FALSE(d.isOpen());
    EXPECT_FALSE(d.decode(frame.data(), 16, false));
    Media::VideoDecompressor none(&source, nullptr);
    EXPECT_FALSE(none.begin(0, 32));
}

}  // namespace
