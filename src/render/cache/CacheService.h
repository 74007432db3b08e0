#pragma once
#include <mutex>

#include "core/AlignedBuffer.h"
#include "core/ServiceHolder.h"
#include "media/audio/RawAudioBuffer.h"
#include "media/image/BitmapInfoHeader.h"
#include "render/cache/AudioCache.h"
#include "render/cache/ImageCache.h"

// The media caches every source reads through, and the scratch buffers the
// plug-in readers and writers share: one for video and one for audio on each
// side, each locked for the whole of one read or write.
namespace Cache {

class CacheService {
public:
    struct VideoScratch {
        std::mutex mutex;
        System::AlignedBuffer buffer;
        Media::BitmapInfoHeader header{};
    };
    struct AudioScratch {
        std::mutex mutex;
        Media::RawAudioBuffer block;
    };

    CacheService();
    ~CacheService();
    CacheService(const CacheService&) = delete;
    CacheService& operator=(const CacheService&) = delete;

    static CacheService* get() { return System::ServiceSlot<CacheService>::instance; }

    // Installed at start-up by the input service's side and the render side.
    void setMediaInput(MediaInput* input);
    void setSceneSource(SceneSource* scenes);

    // The process-wide scratch buffers; null while no cache service exists.
    static VideoScratch* videoScratch() { return videoScratch_; }
    static AudioScratch* audioScratch() { return audioScratch_; }
    static VideoScratch* outputVideoScratch() { return outputVideoScratch_; }
    static AudioScratch* outputAudioScratch() { return outputAudioScratch_; }

    VideoScratch readVideo;
    AudioScratch readAudio;
    VideoScratch writeVideo;
    AudioScratch writeAudio;
    ImageCache imageCache;
    AudioCache audioCache;  // declared last: destroyed first

private:
    static inline VideoScratch* videoScratch_ = nullptr;
    static inline AudioScratch* audioScratch_ = nullptr;
    static inline VideoScratch* outputVideoScratch_ = nullptr;
    static inline AudioScratch* outputAudioScratch_ = nullptr;
};

// Mix-in base of the classes that read through the caches.
class CacheInstance {
public:
    CacheInstance() : cacheService(CacheService::get()) {}
    CacheService* cacheService;
};

}  // namespace Cache
