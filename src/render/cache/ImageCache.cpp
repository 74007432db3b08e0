#include "render/cache/ImageCache.h"

#include <cmath>

#include "core/SettingService.h"
#include "edit/Scene.h"
#include "media/image/ImageBuffer.h"
#include "render/cache/CacheBytes.h"
#include "render/cache/CacheSetup.h"
#include "render/cache/MediaInput.h"
#include "render/cache/ScenePath.h"
#include "render/cache/SceneSource.h"

namespace Cache {
namespace {

// Frame n of a rate over scale lies at n × scale / rate seconds; halves away from zero.
int64_t frameAt(double rate, double scale, double seconds) { return std::llround(rate * seconds / scale); }

int32_t toFrame(int64_t frame) {
    if (frame > INT32_MAX) return INT32_MAX;
    if (frame < INT32_MIN) return INT32_MIN;
    return static_cast<int32_t>(frame);
}

}  // namespace

ImageCache::ImageCache() : binding_(group_, Setting::SettingService::mainSettings()) {
    loadCacheGroup(group_);
    store_ = std::make_unique<Store>(static_cast<uint64_t>(imageCacheSize_ > 0 ? imageCacheSize_ : 0) << 20);
    alive_ = std::make_shared<std::atomic<ImageCache*>>(this);
    listenToScenes(alive_);
}

ImageCache::~ImageCache() {
    alive_->store(nullptr);
    store_->stop();
}

void ImageCache::dropScene(int32_t sceneId) { dropScenePath(*store_, sceneId); }

void ImageCache::loadFrame(const ImageCacheKey& key) {
    MediaInput* input = input_.load();
    if (input == nullptr) return;
    if (auto image = input->readVideo(key.path, key.frame)) store_->complete(key, image, cacheBytes(*image));
}

std::shared_ptr<Media::ImageBuffer> ImageCache::getImage(const std::wstring& path) {
    ImageCacheKey key{path, 0};
    return store_->get(key, [this, key] { loadFrame(key); });
}

void ImageCache::preloadImage(const std::wstring& path) {
    ImageCacheKey key{path, 0};
    store_->preload(key, [this, key] { loadFrame(key); });
}

bool ImageCache::fileFrame(const std::wstring& path, double seconds, int32_t& frame, int32_t* frameCount) {
    MediaInput* input = input_.load();
    MediaInput::VideoTiming timing;
    if (input == nullptr || !input->getVideoTiming(path, timing) || timing.scale == 0) return false;
    int64_t n = frameAt(timing.rate, timing.scale, seconds);
    if (n > static_cast<int64_t>(timing.frameCount) - 1)
        n = static_cast<int64_t>(timing.frameCount) - 1;
    else if (n < 0)
        n = 0;
    frame = toFrame(n);
    if (frameCount != nullptr) *frameCount = timing.frameCount;
    return true;
}

std::shared_ptr<Media::ImageBuffer> ImageCache::getMovieFrame(const std::wstring& path, double seconds) {
    if (isScenePath(path)) {
        const auto scene = sceneFromPath(scenes_.load(), path);
        if (!scene || scene->videoScale == 0) return nullptr;
        // Rendered only on request: a frame neither cached nor being drawn is
        // not waited for, and its next preload asks for it again.
        return store_->get(ImageCacheKey{path, toFrame(frameAt(scene->videoRate, scene->videoScale, seconds))},
                           nullptr);
    }
    int32_t frame = 0;
    if (!fileFrame(path, seconds, frame)) return nullptr;
    ImageCacheKey key{path, frame};
    return store_->get(key, [this, key] { loadFrame(key); });
}

void ImageCache::preloadMovieFrame(const std::wstring& path, double seconds) {
    if (isScenePath(path)) {
        SceneSource* scenes = scenes_.load();
        const auto scene = sceneFromPath(scenes, path);
        if (!scene || scene->videoScale == 0) return;
        const ImageCacheKey key{path, toFrame(frameAt(scene->videoRate, scene->videoScale, seconds))};
        store_->request(key, [this, scenes, scene](const ImageCacheKey& wanted) {
            scenes->renderSceneFrame(scene, wanted.frame, [this, wanted](std::shared_ptr<Media::ImageBuffer> image) {
                if (image)
                    store_->complete(wanted, image, cacheBytes(*image));
                else
                    store_->abandon(wanted);
            });
        });
        return;
    }
    int32_t frame = 0, frameCount = 0;
    if (!fileFrame(path, seconds, frame, &frameCount)) return;
    preloadFileFrame(path, frame);
    // A file read frame after frame (playing, exporting) has its next frame
    // decoded while the current one is drawn, and lets go of the frames it has
    // passed: a long read keeps a few frames, not the whole budget's worth.
    bool sequential = false;
    if (const int32_t next = frameToReadAhead(path, frame, frameCount, sequential); next >= 0)
        preloadFileFrame(path, next);
    if (sequential) {
        const int64_t passed = static_cast<int64_t>(frame) - kFramesKeptBehind;
        store_->removeIf([&](const ImageCacheKey& key) { return key.frame < passed && key.path == path; });
    }
}

void ImageCache::preloadFileFrame(const std::wstring& path, int32_t frame) {
    ImageCacheKey key{path, frame};
    store_->preload(key, [this, key] { loadFrame(key); });
}

int32_t ImageCache::frameToReadAhead(const std::wstring& path, int32_t frame, int32_t frameCount, bool& sequential) {
    std::lock_guard lock(readAheadMutex_);
    auto [it, added] = lastPreloaded_.try_emplace(path, frame);
    sequential = !added && it->second == frame - 1;
    if (!added && it->second != frame) it->second = frame;
    return sequential && frame < frameCount - 1 ? frame + 1 : -1;
}

}  // namespace Cache
