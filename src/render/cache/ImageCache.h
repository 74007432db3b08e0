#pragma once
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>

#include "core/ConfigInt.h"
#include "core/ConfigParameterBinding.h"
#include "core/ConfigParameterGroup.h"
#include "render/cache/CacheKey.h"
#include "render/cache/PreLoadCache.h"

namespace Media {
class ImageBuffer;
}

// Decoded still images and movie frames by path and frame, within the
// "ImageCacheSize" budget (megabytes). Frames of files load on the cache's
// worker; frames of scenes ("*" and the id) are drawn by the video render
// worker and handed back.
namespace Cache {

class MediaInput;
class SceneSource;

class ImageCache {
public:
    using Store = System::PreLoadCache<ImageCacheKey, Media::ImageBuffer, CacheKeyHash>;

    ImageCache();
    ~ImageCache();
    ImageCache(const ImageCache&) = delete;
    ImageCache& operator=(const ImageCache&) = delete;

    void setMediaInput(MediaInput* input) { input_.store(input); }
    void setSceneSource(SceneSource* scenes) { scenes_.store(scenes); }
    SceneSource* sceneSource() const { return scenes_.load(); }

    std::shared_ptr<Media::ImageBuffer> getImage(const std::wstring& path);
    void preloadImage(const std::wstring& path);
    // The frame shown at t seconds; empty when there is none.
    std::shared_ptr<Media::ImageBuffer> getMovieFrame(const std::wstring& path, double seconds);
    void preloadMovieFrame(const std::wstring& path, double seconds);

    // Frames of a file read frame after frame that stay cached behind the one
    // asked for last; the ones before are dropped.
    static constexpr int32_t kFramesKeptBehind = 2;

    // Megabytes.
    int32_t sizeSetting() const { return imageCacheSize_; }
    void setByteLimit(uint64_t bytes) { store_->setByteLimit(bytes); }
    // Stores the setting and trims the cache to its budget, least recently used first.
    void setSizeSetting(int32_t megabytes) {
        imageCacheSize_ = megabytes;
        setByteLimit(static_cast<uint64_t>(megabytes) * 1048576);
    }
    // Drops every cached frame of the scene (the scene-changed listener).
    void dropScene(int32_t sceneId);
    Store& store() { return *store_; }

private:
    // The file frame for t (and the file's frame count), or false when the file does not open.
    bool fileFrame(const std::wstring& path, double seconds, int32_t& frame, int32_t* frameCount = nullptr);
    void loadFrame(const ImageCacheKey& key);
    void preloadFileFrame(const std::wstring& path, int32_t frame);
    // The frame after `frame` when the file is being read frame after frame
    // (the frame before was the last one asked for ahead), else -1;
    // `sequential` tells whether it is read so.
    int32_t frameToReadAhead(const std::wstring& path, int32_t frame, int32_t frameCount, bool& sequential);

    std::atomic<MediaInput*> input_{nullptr};
    std::atomic<SceneSource*> scenes_{nullptr};
    System::Config::ParameterGroup group_{"Cache"};
    int32_t imageCacheSize_ = 768;
    System::Config::Int imageCacheSizeParameter_{group_, "ImageCacheSize", &imageCacheSize_, 768};
    System::Config::ParameterBinding binding_;
    std::unique_ptr<Store> store_;
    std::mutex readAheadMutex_;
    std::unordered_map<std::wstring, int32_t> lastPreloaded_;  // by file path
    std::shared_ptr<std::atomic<ImageCache*>> alive_;          // the scene listener's way back; cleared on destruction
};

}  // namespace Cache
