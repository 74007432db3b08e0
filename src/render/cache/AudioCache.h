#pragma once
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "core/ConfigInt.h"
#include "core/ConfigParameterBinding.h"
#include "core/ConfigParameterGroup.h"
#include "render/cache/CacheKey.h"
#include "render/cache/PreLoadCache.h"

namespace Media {
class AudioBuffer;
class AudioBlockBuffer;
}  // namespace Media

// Decoded sound in one-second blocks by path and block number, within the
// "AudioCacheSize" budget (megabytes), and the resampling of a span of blocks
// to the rate and speed a render asks for.
namespace Cache {

class MediaInput;
class SceneSource;

class AudioCache {
public:
    using Store = System::PreLoadCache<AudioCacheKey, Media::AudioBlockBuffer, CacheKeyHash>;

    struct RenderPosition {
        int64_t sample = 0;
        uint32_t rate = 0;
    };
    // Where a render sample lies in the medium, in 1/positionRate media samples.
    struct AudioPosition {
        int32_t block = 0;
        int32_t sampleInBlock = 0;
        int32_t fraction = 0;
        int32_t positionRate = 0;
        int32_t mediaRate = 0;
        int32_t step = 0;
    };

    AudioCache();
    ~AudioCache();
    AudioCache(const AudioCache&) = delete;
    AudioCache& operator=(const AudioCache&) = delete;

    void setMediaInput(MediaInput* input) { input_.store(input); }
    void setSceneSource(SceneSource* scenes) { scenes_.store(scenes); }

    // A stereo buffer of count samples from the position on, or none when the
    // medium has no audio. Each output sample averages the media samples its
    // span covers; a negative speed reads the span forward and reverses it.
    std::unique_ptr<Media::AudioBuffer> getAudio(const std::wstring& path, RenderPosition position, int32_t count,
                                                 double offset, double speed);
    void preloadAudio(const std::wstring& path, RenderPosition position, int32_t count, double offset, double speed);
    int32_t sampleRateOf(const std::wstring& path);
    static AudioPosition locate(int64_t sample, int64_t positionRate, int64_t mediaRate, double offset, double speed);

    int32_t sizeSetting() const { return audioCacheSize_; }
    void setByteLimit(uint64_t bytes) { store_->setByteLimit(bytes); }
    // Stores the setting and trims the cache to its budget, least recently used first.
    void setSizeSetting(int32_t megabytes) {
        audioCacheSize_ = megabytes;
        setByteLimit(static_cast<uint64_t>(megabytes) * 1048576);
    }
    void dropScene(int32_t sceneId);
    Store& store() { return *store_; }

private:
    std::shared_ptr<Media::AudioBlockBuffer> readBlock(const std::wstring& path, int32_t block);
    void loadBlock(const AudioCacheKey& key);

    std::atomic<MediaInput*> input_{nullptr};
    std::atomic<SceneSource*> scenes_{nullptr};
    System::Config::ParameterGroup group_{"Cache"};
    int32_t audioCacheSize_ = 64;
    System::Config::Int audioCacheSizeParameter_{group_, "AudioCacheSize", &audioCacheSize_, 64};
    System::Config::ParameterBinding binding_;
    std::unique_ptr<Store> store_;
    std::shared_ptr<std::atomic<AudioCache*>> alive_;
};

}  // namespace Cache
