#include "media/image/ImageBuffer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <numeric>
#include <utility>
#include <vector>

#include "support/LogCapture.h"

using Media::BitmapInfoHeader;
using Media::ImageBuffer;

namespace {

TEST(ImageBuffer, DefaultPitchRaisesRowsTo32Bytes) {
    struct Case {
        int32_t format;
        uint32_t width, pitch;
    };
    const Case cases[] = {
        {107, 1, 32}, {107, 16, 32}, {107, 17, 64}, {10, 4, 32}, {10, 5, 64}, {11, 4, 32}, {13, 5, 64},
        {28, 8, 32},  {87, 9, 64},   {88, 1, 32},   {10, 0, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.pitch, ImageBuffer::getDefaultPitchSize(c.format, c.width)) << c.format << " " << c.width;
        ImageBuffer image(c.format, c.width, 3);
        EXPECT_EQ(c.pitch, image.pitch);
        EXPECT_EQ(c.pitch * 3, image.usedSize());
        EXPECT_EQ(0u, reinterpret_cast<uintptr_t>(image.data()) % 32);
    }
    ImageBuffer empty(10, 0, 0);
    EXPECT_EQ(0u, empty.pitch);
    EXPECT_EQ(0u, empty.pixels.capacity());
}

TEST(ImageBuffer, StoreOnlyGrowsAndKeepsTheFormat) {
    ImageBuffer image(87, 64, 64);
    uint8_t* before = image.data();
    image.create(8, 8, 0);
    EXPECT_EQ(before, image.data());
    EXPECT_EQ(32u * 8, image.usedSize());
    image.create(8, 8, 100);
    EXPECT_EQ(100u, image.pitch);
    EXPECT_EQ(87, image.format);
}

TEST(ImageBuffer, SizesBeyondTheStoreFailAsAnAllocation) {
    // Rows or stores of 4 GiB or more would wrap to a small store that the
    // image's writers then overrun.
    LogCapture log;
    struct Case {
        int32_t format;
        uint32_t width, height, pitch;
    };
    const Case cases[] = {{87, 32768, 32768, 0}, {10, 16384, 32768, 0}, {10, 0x20000000, 1, 0}, {107, 1, 0x80000, 0x2000}};
    for (const Case& c : cases) {
        ImageBuffer image(c.format, 2, 2);
        try {
            image.create(c.width, c.height, c.pitch);
            ADD_FAILURE() << c.width << "x" << c.height;
        } catch (const std::exception& e) {
            EXPECT_NE(std::string::npos, std::string(e.what()).find("System::AlignedBuffer::allocMemory()")) << e.what();
        }
        // The image is left as it was.
        EXPECT_EQ(2u, image.width);
        EXPECT_EQ(2u, image.height);
        EXPECT_LE(image.usedSize(), image.pixels.capacity());
    }
    EXPECT_THROW(ImageBuffer(87, 32768, 32768), std::exception);
}

TEST(ImageBuffer, UnknownFormatsAreRejected) {
    LogCapture log;
    try {
        ImageBuffer::getDefaultPitchSize(41, 4);
        FAIL();
    } catch (const std::exception& e) {
        EXPECT_STREQ("image format not supported.\n\n[Note]\ndxgi format = 41\n\n[Place]\n"
                     "Media::ImageBuffer::getDefaultPitchSize()",
                     e.what());
    }
    BitmapInfoHeader header{};
    try {
        ImageBuffer::getBitmapInfoHeader(28, 4, 4, header);
        FAIL();
    } catch (const std::exception& e) {
        EXPECT_NE(std::string(e.what()).find("Media::ImageBuffer::getBitmapInfoHeader()"), std::string::npos);
    }
}

TEST(ImageBuffer, BitmapHeadersByFormat) {
    struct Case {
        int32_t format;
        uint32_t width, height;
        const char* code;  // null: BI_RGB
        uint16_t bits;
        uint32_t sizeImage;
    };
    const Case cases[] = {
        {10, 3, 2, "HF64", 64, 48}, {11, 1, 1, "PA64", 64, 8}, {13, 3, 2, "YC48", 48, 40}, {87, 2, 2, nullptr, 32, 16},
        {88, 1, 1, nullptr, 24, 4}, {88, 5, 2, nullptr, 24, 32}, {107, 3, 2, "YUY2", 16, 16},
    };
    for (const Case& c : cases) {
        BitmapInfoHeader h{};
        h.biXPelsPerMeter = 77;
        ImageBuffer::getBitmapInfoHeader(c.format, c.width, c.height, h);
        EXPECT_EQ(40u, h.biSize);
        EXPECT_EQ(static_cast<int32_t>(c.width), h.biWidth);
        EXPECT_EQ(static_cast<int32_t>(c.height), h.biHeight);
        EXPECT_EQ(1, h.biPlanes);
        EXPECT_EQ(c.bits, h.biBitCount) << c.format;
        uint32_t code = 0;
        if (c.code) std::memcpy(&code, c.code, 4);
        EXPECT_EQ(code, h.biCompression) << c.format;
        EXPECT_EQ(c.sizeImage, h.biSizeImage) << c.format << " " << c.width << "x" << c.height;
        EXPECT_EQ(77, h.biXPelsPerMeter);
    }
}

// DIB rows of a 3 x 2 image: bytes counting up from 1, row padding 0xEE.
std::vector<uint8_t> dibBits(const BitmapInfoHeader& h) {
    const uint32_t row = h.biSizeImage / h.biHeight;
    const uint32_t used = h.biWidth * h.biBitCount / 8;
    std::vector<uint8_t> bits(h.biSizeImage, 0xEE);
    uint8_t v = 1;
    for (int32_t y = 0; y < h.biHeight; ++y)
        for (uint32_t i = 0; i < used; ++i) bits[y * row + i] = v++;
    return bits;
}

TEST(ImageBuffer, BitmapRowsAndPixelsMapByBitCount) {
    // The image row 0 comes from DIB row `firstRow`; each pixel takes `take`
    // bytes of the DIB and fills `size` bytes of the image with zeros after them.
    struct Case {
        int32_t format;
        int firstRow;
        uint32_t take, size;
    };
    const Case cases[] = {{107, 0, 4, 4}, {88, 1, 3, 4}, {87, 1, 4, 4}, {13, 0, 6, 8}, {10, 0, 8, 8}, {11, 0, 8, 8}};
    const uint32_t w = 2, h = 2;
    for (const Case& c : cases) {
        BitmapInfoHeader header{};
        ImageBuffer::getBitmapInfoHeader(c.format, w, h, header);
        const std::vector<uint8_t> bits = dibBits(header);
        ImageBuffer image(c.format, w, h);
        image.copyFromBitmap(header, bits.data());
        const uint32_t row = header.biSizeImage / h;
        const uint32_t pixels = c.format == 107 ? 1 : w;  // one 4-byte YUY2 pair per row
        for (uint32_t y = 0; y < h; ++y) {
            const uint32_t dibRow = c.firstRow == 0 ? y : h - 1 - y;
            for (uint32_t x = 0; x < pixels; ++x) {
                const uint8_t* got = image.data() + y * image.pitch + x * c.size;
                const uint8_t* want = bits.data() + dibRow * row + x * c.take;
                EXPECT_EQ(0, std::memcmp(got, want, c.take)) << c.format << " at " << x << "," << y;
                for (uint32_t k = c.take; k < c.size; ++k) EXPECT_EQ(0, got[k]) << c.format;
            }
        }
        // And back: the DIB comes out as it went in, padding aside.
        std::vector<uint8_t> out(header.biSizeImage, 0xEE);
        image.copyToBitmap(header, out.data());
        for (uint32_t y = 0; y < h; ++y)
            EXPECT_EQ(0, std::memcmp(out.data() + y * row, bits.data() + y * row, w * header.biBitCount / 8))
                << c.format << " row " << y;
    }
}

TEST(ImageBuffer, TwentyFourBitRowsOfEveryWidthMapPixelForPixel) {
    // Widths around the sixteen-pixel steps of the row copies and their tails.
    for (const uint32_t w : {1u, 3u, 4u, 5u, 15u, 16u, 17u, 31u, 32u, 33u, 50u, 64u, 67u}) {
        const uint32_t h = 3;
        BitmapInfoHeader header{};
        ImageBuffer::getBitmapInfoHeader(88, w, h, header);
        const uint32_t row = header.biSizeImage / h;
        ImageBuffer image(88, w, h);
        for (uint32_t y = 0; y < h; ++y)
            for (uint32_t i = 0; i < image.pitch; ++i) image.data()[y * image.pitch + i] = static_cast<uint8_t>(y * 101 + i * 7 + 1);
        // The row padding past the pixels stays as the caller left it.
        std::vector<uint8_t> out(header.biSizeImage + 64, 0xEE);
        image.copyToBitmap(header, out.data());
        for (uint32_t y = 0; y < h; ++y)
            for (uint32_t x = 0; x < w; ++x)
                for (uint32_t c = 0; c < 3; ++c)
                    ASSERT_EQ(out[(h - 1 - y) * row + 3 * x + c], image.data()[y * image.pitch + 4 * x + c])
                        << "width " << w << " at " << x << "," << y;
        for (uint32_t y = 0; y < h; ++y)
            for (uint32_t i = 3 * w; i < row; ++i) ASSERT_EQ(out[y * row + i], 0xEE) << "width " << w;
        for (size_t i = header.biSizeImage; i < out.size(); ++i) ASSERT_EQ(out[i], 0xEE) << "width " << w;
        // And back, with the fourth byte of every pixel zero.
        ImageBuffer back(88, w, h);
        back.copyFromBitmap(header, out.data());
        for (uint32_t y = 0; y < h; ++y)
            for (uint32_t x = 0; x < w; ++x)
                for (uint32_t c = 0; c < 4; ++c)
                    ASSERT_EQ(back.data()[y * back.pitch + 4 * x + c], c == 3 ? 0 : image.data()[y * image.pitch + 4 * x + c])
                        << "width " << w << " at " << x << "," << y;
    }
}

TEST(ImageBuffer, MismatchedBitmapsZeroFillAndWriteNothing) {
    BitmapInfoHeader header{};
    ImageBuffer::getBitmapInfoHeader(87, 4, 4, header);
    std::vector<uint8_t> bits(header.biSizeImage, 0x55);
    struct Case {
        const char* what;
        int32_t format;
        uint32_t w, h;
    };
    const Case cases[] = {
        {"32-bit DIB into YUY2", 107, 4, 4},
        {"wider DIB than the image", 87, 2, 4},
        {"taller DIB than the image", 87, 4, 2},
    };
    for (const Case& c : cases) {
        ImageBuffer image(c.format, c.w, c.h);
        std::memset(image.data(), 0x77, image.usedSize());
        image.copyFromBitmap(header, bits.data());
        for (uint32_t i = 0; i < image.usedSize(); ++i) ASSERT_EQ(0, image.data()[i]) << c.what;
        std::vector<uint8_t> out(header.biSizeImage, 0x11);
        image.copyToBitmap(header, out.data());
        for (uint8_t b : out) ASSERT_EQ(0x11, b) << c.what;
    }
}

TEST(ImageBuffer, BitmapWithNegativeWidthIsAMismatch) {
    // A negative width is no DIB: its row length would be taken as huge.
    for (int32_t format : {87, 88, 107, 13, 10}) {
        BitmapInfoHeader header{};
        ImageBuffer::getBitmapInfoHeader(format, 4, 2, header);
        std::vector<uint8_t> bits(header.biSizeImage, 0x55);
        header.biWidth = -4;
        ImageBuffer image(format, 4, 2);
        std::memset(image.data(), 0x77, image.usedSize());
        image.copyFromBitmap(header, bits.data());
        for (uint32_t i = 0; i < image.usedSize(); ++i) ASSERT_EQ(0, image.data()[i]) << format;
        image.copyToBitmap(header, bits.data());
        for (uint8_t b : bits) ASSERT_EQ(0x55, b) << format;
    }
}

TEST(ImageBuffer, BitmapsWithoutPixelsCopyNothing) {
    // A DIB of zero width or height has no bits (a null pointer from its
    // sender) and the image no store: nothing is copied either way.
    for (int32_t format : {87, 88, 107, 13, 10, 11}) {
        for (const auto& [w, h] : {std::pair<uint32_t, uint32_t>{0, 3}, {3, 0}, {0, 0}}) {
            BitmapInfoHeader header{};
            ImageBuffer::getBitmapInfoHeader(format, w, h, header);
            ImageBuffer image(format, w, h);
            image.copyFromBitmap(header, nullptr);
            image.copyToBitmap(header, nullptr);
            EXPECT_EQ(0u, image.usedSize()) << format << " " << w << "x" << h;
        }
    }
}

TEST(ImageBuffer, PackYuy2TakesTheFirstPixelsChromaAndRepeatsAnOddLastPixel) {
    // Source pixels Y, U, V, x: pixel i of row r has Y = 10 r + i, U = 100 + i, V = 200 + i.
    const uint32_t w = 3, h = 2, sourcePitch = 16;
    std::vector<uint8_t> source(sourcePitch * h, 0xAB);
    for (uint32_t r = 0; r < h; ++r)
        for (uint32_t i = 0; i < w; ++i) {
            uint8_t* p = &source[r * sourcePitch + 4 * i];
            p[0] = static_cast<uint8_t>(10 * r + i);
            p[1] = static_cast<uint8_t>(100 + i);
            p[2] = static_cast<uint8_t>(200 + i);
        }
    ImageBuffer image(107, w, h);
    image.packYuy2(source.data(), w, h, sourcePitch);
    for (uint32_t r = 0; r < h; ++r) {
        const uint8_t* d = image.data() + r * image.pitch;
        const uint8_t r10 = static_cast<uint8_t>(10 * r);
        const std::vector<uint8_t> want = {r10, 100, static_cast<uint8_t>(r10 + 1), 200,
                                           static_cast<uint8_t>(r10 + 2), 102, static_cast<uint8_t>(r10 + 2), 202};
        EXPECT_EQ(want, std::vector<uint8_t>(d, d + 8)) << "row " << r;
    }
}

}  // namespace
