#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/channel_layout.h>
}

#include "platform/codecs/Codecs.h"

namespace C = Platform::codecs;

namespace {

constexpr uint32_t tag4(const char (&s)[5]) {
    return uint32_t(uint8_t(s[0])) | uint32_t(uint8_t(s[1])) << 8 | uint32_t(uint8_t(s[2])) << 16 |
           uint32_t(uint8_t(s[3])) << 24;
}

// One MJPEG frame, top half light, bottom half dark.
std::vector<uint8_t> encodeJpeg(int width, int height) {
    const AVCodec* encoder = avcodec_find_encoder(AV_CODEC_ID_MJPEG);
    AVCodecContext* c = avcodec_alloc_context3(encoder);
    c->width = width;
    c->height = height;
    c->pix_fmt = AV_PIX_FMT_YUVJ420P;
    c->time_base = {1, 25};
    EXPECT_EQ(avcodec_open2(c, encoder, nullptr), 0);
    AVFrame* f = av_frame_alloc();
    f->format = c->pix_fmt;
    f->width = width;
    f->height = height;
    av_frame_get_buffer(f, 0);
    for (int y = 0; y < height; ++y) std::memset(f->data[0] + y * f->linesize[0], y < height / 2 ? 230 : 20, width);
    for (int p = 1; p < 3; ++p)
        for (int y = 0; y < height / 2; ++y) std::memset(f->data[p] + y * f->linesize[p], 128, width / 2);
    AVPacket* pkt = av_packet_alloc();
    EXPECT_EQ(avcodec_send_frame(c, f), 0);
    EXPECT_EQ(avcodec_receive_packet(c, pkt), 0);
    std::vector<uint8_t> out(pkt->data, pkt->data + pkt->size);
    av_packet_free(&pkt);
    av_frame_free(&f);
    avcodec_free_context(&c);
    return out;
}

// IMA ADPCM blocks of a 440 Hz tone, mono 8000 Hz.
std::vector<uint8_t> encodeAdpcm(int seconds, int& blockAlign) {
    const AVCodec* encoder = avcodec_find_encoder(AV_CODEC_ID_ADPCM_IMA_WAV);
    AVCodecContext* c = avcodec_alloc_context3(encoder);
    c->sample_rate = 8000;
    av_channel_layout_default(&c->ch_layout, 1);
    c->sample_fmt = encoder->sample_fmts[0];
    EXPECT_EQ(avcodec_open2(c, encoder, nullptr), 0);
    blockAlign = c->block_align;
    std::vector<uint8_t> out;
    AVFrame* f = av_frame_alloc();
    AVPacket* pkt = av_packet_alloc();
    int t = 0;
    for (int n = 0; n < seconds * 8000 / c->frame_size; ++n) {
        f->format = c->sample_fmt;
        f->nb_samples = c->frame_size;
        av_channel_layout_copy(&f->ch_layout, &c->ch_layout);
        av_frame_get_buffer(f, 0);
        auto* s = reinterpret_cast<int16_t*>(f->data[0]);
        for (int i = 0; i < c->frame_size; ++i, ++t) s[i] = int16_t(8000 * std::sin(t * 2 * M_PI * 440 / 8000));
        EXPECT_EQ(avcodec_send_frame(c, f), 0);
        while (avcodec_receive_packet(c, pkt) == 0) {
            out.insert(out.end(), pkt->data, pkt->data + pkt->size);
            av_packet_unref(pkt);
        }
        av_frame_unref(f);
    }
    av_packet_free(&pkt);
    av_frame_free(&f);
    avcodec_free_context(&c);
    return out;
}

C::BitmapHeader header(int w, int h, uint16_t bits, uint32_t compression) {
    C::BitmapHeader b;
    b.biSize = 40;
    b.biWidth = w;
    b.biHeight = h;
    b.biPlanes = 1;
    b.biBitCount = bits;
    b.biCompression = compression;
    return b;
}

TEST(VideoCodecTest, DecodesJpegIntoBottomUpRgb) {
    const auto frame = encodeJpeg(16, 16);
    C::BitmapHeader in = header(16, 16, 24, tag4("MJPG"));
    in.biSizeImage = uint32_t(frame.size());
    C::VideoCodec* codec = C::openVideoCodec(0, in);
    ASSERT_NE(codec, nullptr);
    for (uint16_t bits : {24, 32}) {
        const C::BitmapHeader out = header(16, 16, bits, C::kBiRgb);
        ASSERT_EQ(C::decompressBegin(codec, in, out), C::kIcOk);
        const uint32_t stride = C::outputStride(out);
        std::vector<uint8_t> pixels(stride * 16, 0x55);
        C::Decompress record{0, &in, frame.data(), &out, pixels.data(), 0};
        ASSERT_EQ(C::decompress(codec, record), C::kIcOk);
        // Row 0 of a bottom-up bitmap is the dark bottom of the picture.
        EXPECT_LT(pixels[0], 60) << bits;
        EXPECT_GT(pixels[stride * 15], 200) << bits;
    }
    EXPECT_EQ(C::decompressEnd(codec), C::kIcOk);
    EXPECT_EQ(C::closeVideoCodec(codec), C::kIcOk);
}

TEST(VideoCodecTest, RefusesOutputsItCannotWrite) {
    const C::BitmapHeader in = header(16, 16, 24, tag4("MJPG"));
    C::VideoCodec* codec = C::openVideoCodec(tag4("MJPG"), in);
    ASSERT_NE(codec, nullptr);
    const C::BitmapHeader outs[] = {
        header(16, 16, 8, C::kBiRgb), header(16, 16, 24, tag4("YUY2")), header(16, 16, 16, C::kBiRgb),
        header(8, 16, 32, C::kBiRgb), header(16, 8, 32, C::kBiRgb),     header(16, 16, 32, tag4("MJPG")),
    };
    for (const auto& out : outs) EXPECT_NE(C::decompressQuery(codec, in, out), C::kIcOk) << out.biBitCount;
    EXPECT_EQ(C::decompressQuery(codec, in, header(16, 16, 16, tag4("YUY2"))), C::kIcOk);
    C::closeVideoCodec(codec);
}

TEST(VideoCodecTest, UnknownOrHugeSourcesOpenNoCodec) {
    EXPECT_EQ(C::openVideoCodec(tag4("ZZZZ"), header(16, 16, 24, tag4("ZZZZ"))), nullptr);
    EXPECT_EQ(C::openVideoCodec(0, header(16, 16, 24, C::kBiRgb)), nullptr);
    EXPECT_EQ(C::openVideoCodec(0, header(0x40000000, 16, 24, tag4("MJPG"))), nullptr);
    EXPECT_EQ(C::openVideoCodec(0, header(16, int32_t(0x80000000), 24, tag4("MJPG"))), nullptr);
}

TEST(VideoCodecTest, DamagedOrResizedFramesFailWithoutWriting) {
    const auto frame = encodeJpeg(32, 32);  // larger than the stream says
    C::BitmapHeader in = header(16, 16, 24, tag4("MJPG"));
    C::VideoCodec* codec = C::openVideoCodec(0, in);
    ASSERT_NE(codec, nullptr);
    const C::BitmapHeader out = header(16, 16, 32, C::kBiRgb);
    std::vector<uint8_t> pixels(C::outputStride(out) * 16, 0x55);
    const std::vector<uint8_t> garbage(100, 0xFF);
    for (const auto* data : {&frame, &garbage}) {
        in.biSizeImage = uint32_t(data->size());
        C::Decompress record{0, &in, data->data(), &out, pixels.data(), 0};
        EXPECT_NE(C::decompress(codec, record), C::kIcOk);
    }
    EXPECT_EQ(pixels, std::vector<uint8_t>(pixels.size(), 0x55));
    C::closeVideoCodec(codec);
}

uint32_t driverFor(uint16_t tag) {
    struct Found {
        uint16_t tag;
        uint32_t id = 0;
    } found{tag};
    C::enumDrivers(
        [](uint32_t id, void* context, uint32_t) {
            C::AudioDriver* driver = nullptr;
            EXPECT_EQ(C::openDriver(driver, id), C::kMmOk);
            C::enumFormatTags(
                driver,
                [](uint32_t id, uint16_t tag, void* context) {
                    auto* f = static_cast<Found*>(context);
                    if (tag == f->tag) f->id = id;
                    return true;
                },
                context);
            C::closeDriver(driver);
            return true;
        },
        &found);
    return found.id;
}

C::WaveFormat adpcmFormat(int blockAlign) {
    C::WaveFormat f;
    f.formatTag = 0x11;
    f.channels = 1;
    f.samplesPerSec = 8000;
    f.avgBytesPerSec = 4055;
    f.blockAlign = uint16_t(blockAlign);
    f.bitsPerSample = 4;
    return f;
}

C::WaveFormat pcm16(uint16_t channels, uint32_t rate) {
    C::WaveFormat f;
    f.formatTag = 1;
    f.channels = channels;
    f.samplesPerSec = rate;
    f.bitsPerSample = 16;
    f.blockAlign = uint16_t(channels * 2);
    f.avgBytesPerSec = rate * f.blockAlign;
    return f;
}

TEST(AudioCodecTest, DecodesAdpcmBlocksThroughASmallDestination) {
    int blockAlign = 0;
    auto data = encodeAdpcm(1, blockAlign);
    ASSERT_GT(blockAlign, 0);
    const uint32_t id = driverFor(0x11);
    ASSERT_NE(id, 0u);
    C::AudioDriver* driver = nullptr;
    ASSERT_EQ(C::openDriver(driver, id), C::kMmOk);
    C::AudioStream* stream = nullptr;
    ASSERT_EQ(C::openStream(stream, driver, adpcmFormat(blockAlign), pcm16(1, 8000), C::kStreamOpenNonRealtime),
              C::kMmOk);
    const size_t blocks = data.size() / blockAlign;
    data.resize(data.size() + blockAlign / 2);  // half a block stays unused
    std::vector<uint8_t> out(1000);             // smaller than one block decodes to
    std::vector<int16_t> samples;
    C::StreamHeader h{data.data(), uint32_t(data.size()), 0, out.data(), uint32_t(out.size()), 0};
    ASSERT_EQ(C::prepareHeader(stream, h), C::kMmOk);
    for (int i = 0; i < 1000; ++i) {
        h.destinationLengthUsed = 0;
        ASSERT_EQ(C::convert(stream, h, C::kConvertBlockAlign), C::kMmOk);
        if (h.destinationLengthUsed == 0) break;
        const auto* s = reinterpret_cast<const int16_t*>(out.data());
        samples.insert(samples.end(), s, s + h.destinationLengthUsed / 2);
    }
    EXPECT_EQ(data.size() - h.sourceLengthUsed, size_t(blockAlign / 2));
    // Mono IMA blocks: a 4-byte header with one sample, then two samples a byte.
    EXPECT_EQ(samples.size(), blocks * ((blockAlign - 4) * 2 + 1));
    double peak = 0;
    for (auto s : samples) peak = std::max(peak, std::abs(double(s)));
    EXPECT_NEAR(peak, 8000, 1000);
    C::unprepareHeader(stream, h);
    C::closeStream(stream);
    C::closeDriver(driver);
}

TEST(AudioCodecTest, StreamsOpenOnlyInto16BitPcmOfTheSameShape) {
    const uint32_t id = driverFor(0x11);
    ASSERT_NE(id, 0u);
    C::AudioDriver* driver = nullptr;
    ASSERT_EQ(C::openDriver(driver, id), C::kMmOk);
    auto noBlock = adpcmFormat(0);
    auto noChannels = adpcmFormat(256);
    noChannels.channels = 0;
    auto otherTag = adpcmFormat(256);
    otherTag.formatTag = 2;
    C::WaveFormat eightBit = pcm16(1, 8000);
    eightBit.bitsPerSample = 8;
    const struct {
        C::WaveFormat source, destination;
    } cases[] = {{adpcmFormat(256), pcm16(2, 8000)}, {adpcmFormat(256), pcm16(1, 44100)}, {adpcmFormat(256), eightBit},
                 {noBlock, pcm16(1, 8000)},          {noChannels, pcm16(0, 8000)},        {otherTag, pcm16(1, 8000)}};
    for (const auto& c : cases) {
        C::AudioStream* stream = reinterpret_cast<C::AudioStream*>(1);
        EXPECT_NE(C::openStream(stream, driver, c.source, c.destination, 0), C::kMmOk);
        EXPECT_EQ(stream, nullptr);
    }
    C::closeDriver(driver);
    C::AudioDriver* none = nullptr;
    EXPECT_NE(C::openDriver(none, 0), C::kMmOk);
    EXPECT_NE(C::openDriver(none, 0xFFFFFF), C::kMmOk);
}

}  // namespace
