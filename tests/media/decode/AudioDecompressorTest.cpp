#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "media/decode/AudioDecompressor.h"

namespace {

namespace C = Platform::codecs;

// mu-law (tag 7): 0xFF is silence, 0x80 the loudest positive, 0x00 the loudest negative.
C::WaveFormat muLaw(uint16_t channels, uint32_t rate) {
    C::WaveFormat f;
    f.formatTag = 7;
    f.channels = channels;
    f.samplesPerSec = rate;
    f.avgBytesPerSec = rate * channels;
    f.blockAlign = channels;
    f.bitsPerSample = 8;
    return f;
}

TEST(AudioDecompressorTest, DestinationIsPcm16OfTheSourceShape) {
    const auto source = muLaw(2, 1000);
    Media::AudioDecompressor d(&source);
    const auto& out = d.destinationFormat();
    EXPECT_EQ(out.formatTag, 1);
    EXPECT_EQ(out.channels, 2);
    EXPECT_EQ(out.samplesPerSec, 1000u);
    EXPECT_EQ(out.bitsPerSample, 16);
    EXPECT_EQ(out.blockAlign, 4);
    EXPECT_EQ(out.avgBytesPerSec, 4000u);
}

TEST(AudioDecompressorTest, DecodesAndKeepsAPartialBlockPending) {
    const auto source = muLaw(2, 1000);
    Media::AudioDecompressor d(&source);
    ASSERT_TRUE(d.open());
    const uint8_t bytes[] = {0xFF, 0x80, 0x00, 0xFF, 0x80};
    d.insertSourceData(bytes, sizeof bytes);
    d.decode();
    ASSERT_EQ(d.decodedSize(), 8u);
    const auto* s = reinterpret_cast<const int16_t*>(d.decodedData());
    EXPECT_EQ(s[0], 0);
    EXPECT_GT(s[1], 30000);
    EXPECT_LT(s[2], -30000);
    EXPECT_EQ(s[3], 0);
    EXPECT_EQ(d.pendingSourceSize(), 1u);
    const uint8_t rest[] = {0x00};
    d.insertSourceData(rest, 1);
    d.decode();
    ASSERT_EQ(d.decodedSize(), 4u);
    EXPECT_GT(s[0], 30000);
    EXPECT_LT(s[1], -30000);
    EXPECT_EQ(d.pendingSourceSize(), 0u);
}

TEST(AudioDecompressorTest, SourceBeyondTwoSecondsThrows) {
    const auto source = muLaw(1, 100);  // buffers of 2 x 200 bytes
    Media::AudioDecompressor d(&source);
    ASSERT_TRUE(d.open());
    const std::vector<uint8_t> bytes(400, 0xFF);
    d.insertSourceData(bytes.data(), 300);
    try {
        d.insertSourceData(bytes.data(), 101);
        FAIL();
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find("not enough source buffer."), std::string::npos);
        EXPECT_NE(std::string(e.what()).find("Media::AudioDecompressor::insertSourceData"), std::string::npos);
    }
    d.insertSourceData(bytes.data(), 100);
}

TEST(AudioDecompressorTest, CompressedBlocksLargerThanTheDestinationAreNotLost) {
    // 4 source bytes become 8 decoded ones: a full source buffer decodes over two calls.
    const auto source = muLaw(1, 100);
    Media::AudioDecompressor d(&source);
    ASSERT_TRUE(d.open());
    const std::vector<uint8_t> bytes(400, 0x80);
    d.insertSourceData(bytes.data(), bytes.size());
    size_t total = 0;
    for (int i = 0; i < 4; ++i) {
        d.decode();
        total += d.decodedSize();
    }
    EXPECT_EQ(total, 800u);
}

TEST(AudioDecompressorTest, FormatsWithoutADecoderDoNotOpen) {
    auto pcm = muLaw(1, 8000);
    pcm.formatTag = 1;
    auto unknown = muLaw(1, 8000);
    unknown.formatTag = 0xFFFE - 1;
    auto noRate = muLaw(1, 0);
    // 16 bytes x (2^29 + 1) per second does not fit 32 bits; wrapped it would be 16.
    auto hugeRate = muLaw(8, (1u << 29) + 1);
    for (const auto* f : {&pcm, &unknown, &noRate, &hugeRate}) {
        Media::AudioDecompressor d(f);
        EXPECT_FALSE(d.open()) << f->formatTag;
        EXPECT_THROW(d.insertSourceData("x", 1), std::runtime_error);
        EXPECT_THROW(d.decode(), std::runtime_error);
    }
    const auto& table = Media::AudioDecompressor::driverTable();
    EXPECT_EQ(table.count(1), 0u);
    EXPECT_EQ(table.count(3), 0u);
    EXPECT_EQ(table.count(7), 1u);
}

}  // namespace
