#include "media/decode/AudioDecompressor.h"

#include <cstring>
#include <mutex>

#include "core/Exception.h"

namespace Media {

namespace Codecs = Platform::codecs;

namespace {

AudioDecompressor::DriverTable& table() {
    static AudioDecompressor::DriverTable drivers;
    return drivers;
}

}  // namespace

AudioDecompressor::AudioDecompressor(const Codecs::WaveFormat* source) : source_(source) {
    destination_.formatTag = Codecs::kWaveFormatPcm;
    if (source_) {
        destination_.channels = source_->channels;
        destination_.samplesPerSec = source_->samplesPerSec;
    }
    destination_.bitsPerSample = 16;
    destination_.blockAlign = static_cast<uint16_t>(destination_.channels * 2);
    destination_.avgBytesPerSec = destination_.blockAlign * destination_.samplesPerSec;
}

AudioDecompressor::~AudioDecompressor() { close(); }

const AudioDecompressor::DriverTable& AudioDecompressor::driverTable() {
    static std::once_flag once;
    std::call_once(once, [] { Codecs::enumDrivers(&AudioDecompressor::driverCallback, &table()); });
    return table();
}

bool AudioDecompressor::driverCallback(uint32_t driverId, void* context, uint32_t support) {
    if (!(support & Codecs::kDriverSupportCodec)) return true;
    Codecs::AudioDriver* driver = nullptr;
    if (Codecs::openDriver(driver, driverId) != Codecs::kMmOk) return true;
    Codecs::enumFormatTags(driver, &AudioDecompressor::formatTagCallback, context);
    Codecs::closeDriver(driver);
    return true;
}

bool AudioDecompressor::formatTagCallback(uint32_t driverId, uint16_t formatTag, void* context) {
    if (formatTag == Codecs::kWaveFormatPcm || formatTag == Codecs::kWaveFormatIeeeFloat) return true;
    uint32_t priority = 0;
    if (Codecs::driverMetric(driverId, Codecs::kMetricDriverPriority, priority) == Codecs::kMmOk)
        (*static_cast<DriverTable*>(context))[formatTag][priority] = driverId;
    return true;
}

bool AudioDecompressor::open() {
    if (!source_ || source_->formatTag == Codecs::kWaveFormatPcm || source_->formatTag == Codecs::kWaveFormatIeeeFloat)
        return false;
    close();
    const auto& drivers = driverTable();
    const auto found = drivers.find(source_->formatTag);
    if (found == drivers.end()) return false;
    // A format without a rate or channels has no two seconds to hold; one whose
    // bytes per second overflow 32 bits has a wrapped, far too small figure.
    const uint64_t perSecond = static_cast<uint64_t>(destination_.blockAlign) * destination_.samplesPerSec;
    if (perSecond != destination_.avgBytesPerSec) return false;
    const size_t size = static_cast<size_t>(perSecond) * 2;
    if (size == 0 || size > UINT32_MAX) return false;
    sourceBuffer_.allocMemory(size);
    destinationBuffer_.allocMemory(size);
    for (const auto& [priority, driverId] : found->second) {
        if (Codecs::openDriver(driver_, driverId) == Codecs::kMmOk &&
            Codecs::openStream(stream_, driver_, *source_, destination_, Codecs::kStreamOpenNonRealtime) ==
                Codecs::kMmOk) {
            header_ = {};
            header_.source = sourceBuffer_.data();
            header_.sourceLength = static_cast<uint32_t>(sourceBuffer_.capacity());
            header_.destination = destinationBuffer_.data();
            header_.destinationLength = static_cast<uint32_t>(destinationBuffer_.capacity());
            if (Codecs::prepareHeader(stream_, header_) == Codecs::kMmOk) {
                header_.sourceLength = 0;
                header_.destinationLengthUsed = 0;
                undelivered_ = 0;
                return true;
            }
        }
        close();
    }
    return false;
}

void AudioDecompressor::close() {
    if (header_.prepared) Codecs::unprepareHeader(stream_, header_);
    if (stream_) Codecs::closeStream(stream_);
    if (driver_) Codecs::closeDriver(driver_);
    stream_ = nullptr;
    driver_ = nullptr;
    header_ = {};
}

void AudioDecompressor::insertSourceData(const void* data, size_t size) {
    // Not open: there is no buffer to take the bytes.
    if (!stream_ || size > sourceBuffer_.capacity() - header_.sourceLength)
        throw System::messageException("Media::AudioDecompressor::insertSourceData", "not enough source buffer.");
    if (size) std::memcpy(sourceBuffer_.data() + header_.sourceLength, data, size);
    header_.sourceLength += static_cast<uint32_t>(size);
}

void AudioDecompressor::decode() {
    if (!stream_) throw System::messageException("Media::AudioDecompressor::decode", "acmStreamConvert failed.");
    header_.sourceLengthUsed = 0;
    header_.destinationLengthUsed = 0;
    const Codecs::MmResult result = guardedStreamConvert();
    if (result != Codecs::kMmOk)
        throw System::formatException("Media::AudioDecompressor::decode", "acmStreamConvert failed.", L"MMRESULT = %d",
                                      static_cast<int>(result));
    const uint32_t rest = header_.sourceLength - header_.sourceLengthUsed;
    if (rest) std::memmove(sourceBuffer_.data(), sourceBuffer_.data() + header_.sourceLengthUsed, rest);
    header_.sourceLength = rest;
    header_.sourceLengthUsed = 0;
}

Codecs::MmResult AudioDecompressor::guardedStreamConvert() {
    return System::guardedCall("acmStreamConvert", "Media::AudioDecompressor::decode",
                               [this] { return Codecs::convert(stream_, header_, Codecs::kConvertBlockAlign); });
}

}  // namespace Media
