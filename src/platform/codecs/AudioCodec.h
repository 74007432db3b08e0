#pragma once
#include <cstdint>
#include <vector>

#include "platform/audio/WaveFormat.h"

// Audio decoders as drivers: every decoder that knows a wave format tag is a
// driver with that one tag. A stream turns whole source blocks into 16-bit PCM.
namespace Platform::codecs {

using MmResult = uint32_t;
inline constexpr MmResult kMmOk = 0;
inline constexpr MmResult kMmError = 1;
inline constexpr MmResult kMmInvalidHandle = 5;
inline constexpr MmResult kMmNoMemory = 7;
inline constexpr MmResult kMmInvalidParam = 11;
inline constexpr MmResult kAcmNotPossible = 512;

inline constexpr uint16_t kWaveFormatPcm = 1;
inline constexpr uint16_t kWaveFormatIeeeFloat = 3;
inline constexpr uint32_t kDriverSupportCodec = 1;
inline constexpr uint32_t kMetricDriverPriority = 101;
inline constexpr uint32_t kStreamOpenNonRealtime = 4;
inline constexpr uint32_t kConvertBlockAlign = 4;

// The wave format header of the audio layer and the codec's own bytes.
struct WaveFormat : Platform::audio::WaveFormat {
    std::vector<uint8_t> extra;  // the bytes behind the 18-byte header
};

// Source and destination of one conversion and what it used of each.
struct StreamHeader {
    uint8_t* source = nullptr;
    uint32_t sourceLength = 0;
    uint32_t sourceLengthUsed = 0;
    uint8_t* destination = nullptr;
    uint32_t destinationLength = 0;
    uint32_t destinationLengthUsed = 0;
    bool prepared = false;
};

struct AudioDriver;
struct AudioStream;

using DriverEnumCallback = bool (*)(uint32_t driverId, void* context, uint32_t support);
using FormatTagEnumCallback = bool (*)(uint32_t driverId, uint16_t formatTag, void* context);

MmResult enumDrivers(DriverEnumCallback callback, void* context);
MmResult openDriver(AudioDriver*& driver, uint32_t driverId);
MmResult enumFormatTags(AudioDriver* driver, FormatTagEnumCallback callback, void* context);
MmResult driverMetric(uint32_t driverId, uint32_t metric, uint32_t& value);
MmResult closeDriver(AudioDriver* driver);

// Only a destination of 16-bit PCM with the source's channels and rate.
MmResult openStream(AudioStream*& stream, AudioDriver* driver, const WaveFormat& source, const WaveFormat& destination,
                    uint32_t flags);
MmResult prepareHeader(AudioStream* stream, StreamHeader& header);
MmResult unprepareHeader(AudioStream* stream, StreamHeader& header);
// Decodes whole source blocks while the destination has room; decoded samples
// that do not fit are kept by the stream and delivered first next time.
MmResult convert(AudioStream* stream, StreamHeader& header, uint32_t flags);
MmResult closeStream(AudioStream* stream);

}  // namespace Platform::codecs
