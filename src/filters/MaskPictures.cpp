#include "filters/MaskPictures.h"

#include "edit/Scene.h"
#include "effect/EffectService.h"
#include "effect/RenderContext.h"
#include "filters/AngleClipFilter.h"
#include "filters/BokashiFilter.h"
#include "filters/LineClipFilter.h"
#include "media/figure/FigureList.h"
#include "media/gpu/ResourceBuffer.h"
#include "media/gpu/ResourceService.h"
#include "render/ResourceCache.h"
#include "render/cache/CacheService.h"
#include "render/cache/ScenePath.h"
#include "render/cache/SceneSource.h"

namespace Effect {
namespace {

Cache::ImageCache* imageCache() {
    Cache::CacheService* caches = Cache::CacheService::get();
    return caches ? &caches->imageCache : nullptr;
}

std::shared_ptr<Media::ResourceBuffer> upload(const std::shared_ptr<Media::ImageBuffer>& image) {
    return Media::ResourceBuffer::createFromImageBuffer(image);
}

}  // namespace

MaskPictures::MaskPictures(const EffectService& effects) : effects_(effects) {
    Resource::MaskSource::installed = this;
    MaskImageSource::installed = this;
}

MaskPictures::~MaskPictures() {
    if (Resource::MaskSource::installed == this) Resource::MaskSource::installed = nullptr;
    if (MaskImageSource::installed == this) MaskImageSource::installed = nullptr;
}

std::shared_ptr<Media::ImageBuffer> MaskPictures::getImage(const std::wstring& path) const {
    Cache::ImageCache* cache = imageCache();
    return cache ? cache->getImage(path) : nullptr;
}

void MaskPictures::clipSector(Media::ResourceBuffer& mask, float baseAngle, float rangeAngle, int32_t blur) const {
    effects_.getDefaultEffect<AngleClipFilter>().clipSector(mask, baseAngle, rangeAngle, 0, 0, blur, false);
}

void MaskPictures::clipLine(Media::ResourceBuffer& mask, float angle, float offsetX, float offsetY,
                            int32_t blur) const {
    effects_.getDefaultEffect<LineClipFilter>().clipLine(mask, angle, 0, offsetX, offsetY, blur);
}

std::unique_ptr<Media::ResourceBuffer> MaskPictures::blur(Media::ResourceBuffer& mask, int32_t size) const {
    // The blur hands on images of its own round; the caller owns its mask alone.
    std::shared_ptr<Media::ResourceBuffer> borrowed(&mask, [](Media::ResourceBuffer*) {});
    auto blurred = effects_.getDefaultEffect<BokashiFilter>().blurImage(borrowed, size, 0, 2);
    if (!blurred || blurred == borrowed) return nullptr;
    return blurred->clone();
}

std::shared_ptr<Media::ResourceBuffer> MaskPictures::figure(int32_t index, uint32_t width, uint32_t height) const {
    const Resource::ResourceService* resources = Resource::ResourceService::get();
    if (!resources || !resources->figures) return nullptr;
    return resources->figures->createMask(index, width, height);
}

std::shared_ptr<Media::ResourceBuffer> MaskPictures::file(const std::wstring& path) const {
    Cache::ImageCache* cache = imageCache();
    return cache ? upload(cache->getImage(path)) : nullptr;
}

std::shared_ptr<Media::ResourceBuffer> MaskPictures::named(const Render::RenderContext& context,
                                                           const std::string& name) const {
    if (!context.resourceCache) return nullptr;
    const auto found = context.resourceCache->find(name);
    return found ? std::shared_ptr<Media::ResourceBuffer>(found->clone()) : nullptr;
}

std::shared_ptr<Media::ResourceBuffer> MaskPictures::sceneFrame(int32_t sceneId, double seconds) const {
    Cache::ImageCache* cache = imageCache();
    return cache ? upload(cache->getMovieFrame(Cache::makeScenePath(sceneId), seconds)) : nullptr;
}

bool MaskPictures::sceneSeconds(int32_t sceneId, double& seconds) const {
    Cache::ImageCache* cache = imageCache();
    Cache::SceneSource* scenes = cache ? cache->sceneSource() : nullptr;
    const auto scene = scenes && sceneId > 0 ? scenes->findScene(sceneId) : nullptr;
    if (!scene || scene->videoRate <= 0 || scene->videoScale <= 0) return false;
    seconds = static_cast<double>(scene->length) * scene->videoScale / scene->videoRate;
    return true;
}

void MaskPictures::preloadFile(const std::wstring& path) const {
    if (Cache::ImageCache* cache = imageCache()) cache->preloadImage(path);
}

void MaskPictures::preloadSceneFrame(int32_t sceneId, double seconds) const {
    if (Cache::ImageCache* cache = imageCache()) cache->preloadMovieFrame(Cache::makeScenePath(sceneId), seconds);
}

}  // namespace Effect
