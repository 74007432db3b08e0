#pragma once
#include <cstddef>
#include <cstdint>

#include "platform/codecs/BitmapHeader.h"

// Video decoders found by FourCC; the output is a bottom-up 24- or 32-bit RGB
// bitmap or a top-down YUY2 image, rows raised to a multiple of 4 bytes.
namespace Platform::codecs {

using IcResult = int32_t;
inline constexpr IcResult kIcOk = 0;
inline constexpr IcResult kIcUnsupported = -1;
inline constexpr IcResult kIcBadFormat = -2;
inline constexpr IcResult kIcBadParam = -6;
inline constexpr IcResult kIcError = -100;

inline constexpr uint32_t kDecompressNotKeyFrame = 0x8000000;
inline constexpr uint32_t kBiRgb = 0;

struct VideoCodec;

struct Rect {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
};

struct Decompress {
    uint32_t flags = 0;
    const BitmapHeader* input = nullptr;
    const void* inputData = nullptr;
    const BitmapHeader* output = nullptr;
    void* outputData = nullptr;
    uint32_t chunkId = 0;
};

struct DecompressEx {
    uint32_t flags = 0;
    const BitmapHeader* source = nullptr;
    const void* sourceData = nullptr;
    const BitmapHeader* destination = nullptr;
    void* destinationData = nullptr;
    Rect destinationRect;
    Rect sourceRect;
};

// The row size of an output bitmap, 0 when the header is not one we write.
uint32_t outputStride(const BitmapHeader& header);

// nullptr when no decoder knows the FourCC (the source's compression when 0).
// extra: the codec's private data, the bytes that follow the header in the
// container's format record (lossless codecs keep their tables there).
VideoCodec* openVideoCodec(uint32_t fourCC, const BitmapHeader& source, const void* extra = nullptr,
                           size_t extraSize = 0);
IcResult decompressQuery(VideoCodec* codec, const BitmapHeader& source, const BitmapHeader& output);
IcResult decompressBegin(VideoCodec* codec, const BitmapHeader& source, const BitmapHeader& output);
IcResult decompressExBegin(VideoCodec* codec, const DecompressEx& record);
IcResult decompress(VideoCodec* codec, const Decompress& record);
IcResult decompressEx(VideoCodec* codec, const DecompressEx& record);
IcResult decompressEnd(VideoCodec* codec);
IcResult decompressExEnd(VideoCodec* codec);
IcResult closeVideoCodec(VideoCodec* codec);

}  // namespace Platform::codecs
