#pragma once
#include "core/ServiceHolder.h"

// Starts the media reader layer once for the process and stops it with the service.
namespace Media {

class MediaService {
public:
    static constexpr uint32_t kVersion = 0x20070;
    static constexpr uint32_t kStartupLite = 1;

    MediaService();
    ~MediaService();
    MediaService(const MediaService&) = delete;
    MediaService& operator=(const MediaService&) = delete;

    static MediaService* get() { return System::ServiceSlot<MediaService>::instance; }
};

}  // namespace Media
