#pragma once
#include <cstddef>
#include <cstdint>
#include <map>

#include "media/decode/DataBuffer.h"
#include "platform/codecs/AudioCodec.h"

// Turns a compressed audio stream into 16-bit PCM through the installed
// decoders. The reader owns the source format and feeds compressed bytes.
namespace Media {

class AudioDecompressor {
public:
    // Format tag -> driver priority (ascending) -> driver id, filled once.
    using DriverTable = std::map<uint16_t, std::map<uint32_t, uint32_t>>;

    explicit AudioDecompressor(const Platform::codecs::WaveFormat* source);
    ~AudioDecompressor();
    AudioDecompressor(const AudioDecompressor&) = delete;
    AudioDecompressor& operator=(const AudioDecompressor&) = delete;

    // Fills the process-wide driver table on first call (never for PCM or
    // IEEE-float streams, which are read directly) and returns it.
    static const DriverTable& driverTable();
    static bool driverCallback(uint32_t driverId, void* context, uint32_t support);
    static bool formatTagCallback(uint32_t driverId, uint16_t formatTag, void* context);

    bool open();
    void close();
    void insertSourceData(const void* data, size_t size);
    void decode();
    Platform::codecs::MmResult guardedStreamConvert();

    const Platform::codecs::WaveFormat& destinationFormat() const { return destination_; }
    const uint8_t* decodedData() const { return destinationBuffer_.data(); }
    size_t decodedSize() const { return header_.destinationLengthUsed; }
    size_t pendingSourceSize() const { return header_.sourceLength; }
    // Decoded bytes not yet taken by the reader.
    size_t& undelivered() { return undelivered_; }

private:
    const Platform::codecs::WaveFormat* source_;
    Platform::codecs::WaveFormat destination_;
    Platform::codecs::AudioDriver* driver_ = nullptr;
    Platform::codecs::AudioStream* stream_ = nullptr;
    Platform::codecs::StreamHeader header_;
    System::DataBuffer sourceBuffer_;
    System::DataBuffer destinationBuffer_;
    size_t undelivered_ = 0;
};

}  // namespace Media
