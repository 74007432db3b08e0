// Feeds arbitrary bytes as compressed video frames and audio blocks to a few
// decoders. The first bytes choose the decoder and the stream's shape.
#include <algorithm>
#include <bit>
#include <cstdint>
#include <exception>

#include "core/Log.h"
#include "media/decode/AudioDecompressor.h"
#include "media/decode/VideoDecompressor.h"

namespace {

constexpr const char* kVideo[] = {"MJPG", "YUY2", "XVID", "MSVC", "CRAM", "mrle", "ULY0", "ULRG", "FFV1", "HFYU"};
constexpr uint16_t kAudio[] = {2, 0x11, 6, 7, 0x31, 0x55, 0x160, 0x161};

void video(uint32_t pick, const uint8_t* data, size_t size) {
    if (size < 3) return;
    const char* name = kVideo[pick % std::size(kVideo)];
    Media::BitmapInfoHeader source;
    source.biSize = 40;
    source.biWidth = 1 + data[0] % 64;
    source.biHeight = (data[1] & 0x80 ? -1 : 1) * (1 + data[1] % 48);
    source.biPlanes = 1;
    source.biBitCount = name[0] == 'm' ? 8 : 24;
    source.biCompression = Media::fourCC(*reinterpret_cast<const char(*)[5]>(name));
    const uint8_t choice = data[2];
    // The private data after the header in the format record comes from the file too.
    const size_t extra = std::min<size_t>(size - 3, choice >> 2);
    auto* codec = Platform::codecs::openVideoCodec(0, std::bit_cast<Platform::codecs::BitmapHeader>(source),
                                                   extra ? data + 3 : nullptr, extra);
    if (!codec) return;
    Media::VideoDecompressor d(&source, codec);
    const bool begun = choice % 3 == 0   ? d.begin(Media::fourCC("YUY2"), 16)
                       : choice % 3 == 1 ? d.begin(0, 32)
                                         : d.begin(0, 24);
    if (!begun) return;
    data += 3 + extra;
    size -= 3 + extra;
    // Frames of varying length, the key-frame flag from the length byte.
    while (size > 0) {
        const size_t n = std::min<size_t>(size - 1, data[0] * 8u + 1);
        try {
            d.decode(data + 1, static_cast<uint32_t>(n), data[0] & 1);
        } catch (const std::exception&) {
        }
        data += 1 + n;
        size -= 1 + n;
    }
}

void audio(uint32_t pick, const uint8_t* data, size_t size) {
    if (size < 4) return;
    Platform::codecs::WaveFormat source;
    source.formatTag = kAudio[pick % std::size(kAudio)];
    source.channels = 1 + data[0] % 2;
    source.samplesPerSec = 8000u + data[1] * 100u;
    source.blockAlign = static_cast<uint16_t>(1 + data[2] * 4);
    source.avgBytesPerSec = source.samplesPerSec;
    source.bitsPerSample = data[3] % 2 ? 4 : 8;
    // The format's extra bytes come from the file too (coefficient tables, codec set-up).
    const size_t extra = std::min<size_t>(size - 4, data[3] >> 1);
    source.extra.assign(data + 4, data + 4 + extra);
    Media::AudioDecompressor d(&source);
    if (!d.open()) return;
    data += 4 + extra;
    size -= 4 + extra;
    while (size > 0) {
        const size_t n = std::min<size_t>(size, 1 + data[0] * 16u);
        try {
            d.insertSourceData(data, n);
            d.decode();
        } catch (const std::exception&) {
        }
        data += n;
        size -= n;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    System::Log::setHandler([](const System::Log::Type&, const char*, const char*) {});
    if (size < 1) return 0;
    const uint8_t pick = data[0];
    if (pick & 0x80)
        audio(pick & 0x7F, data + 1, size - 1);
    else
        video(pick, data + 1, size - 1);
    return 0;
}
