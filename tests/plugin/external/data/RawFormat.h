/* The raw media format of the example plug-ins ("*.vraw"), little-endian:
 * a 40-byte header ("VRAW", then width, height, bit count (24 or 32), frame
 * count, rate, scale, sample rate, channels (0 without sound) and samples
 * per channel, each 32 bits), the frames as bottom-up bitmaps with rows
 * padded to 4 bytes, then the sound as interleaved 16-bit samples. */
#ifndef VELMO_TEST_RAW_FORMAT_H
#define VELMO_TEST_RAW_FORMAT_H
#include <stdint.h>

typedef struct RawHeader {
    char magic[4];
    uint32_t width, height, bitCount, frameCount, rate, scale, sampleRate, channels, samples;
} RawHeader;

static inline uint32_t rawRowSize(const RawHeader* h) { return (h->width * h->bitCount + 31) / 32 * 4; }
static inline uint32_t rawFrameSize(const RawHeader* h) { return rawRowSize(h) * h->height; }

#endif
