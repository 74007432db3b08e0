#include "media/gpu/FrameReadBack.h"

#include <cstring>

#include "core/Exception.h"
#include "media/gpu/CpuAccessBuffer.h"
#include "media/gpu/Direct3DService.h"
#include "media/image/ImageBuffer.h"

namespace Media {

ReadBackPool::~ReadBackPool() = default;

std::unique_ptr<CpuAccessBuffer> ReadBackPool::take(uint32_t width, uint32_t height, int32_t format) {
    std::vector<std::unique_ptr<CpuAccessBuffer>> dropped;
    {
        Platform::os::MutexLock lock(mutex_);
        while (!spare_.empty()) {
            std::unique_ptr<CpuAccessBuffer> buffer = std::move(spare_.back());
            spare_.pop_back();
            const Platform::gpu::StagingTexture& texture = *buffer->texture;
            if (texture.width() == width && texture.height() == height && texture.format() == format) return buffer;
            dropped.push_back(std::move(buffer));
        }
        ++made_;
    }
    return std::make_unique<CpuAccessBuffer>(width, height, format);
}

void ReadBackPool::give(std::unique_ptr<CpuAccessBuffer> buffer) {
    if (!buffer) return;
    Platform::os::MutexLock lock(mutex_);
    spare_.push_back(std::move(buffer));
}

size_t ReadBackPool::madeCount() const {
    Platform::os::MutexLock lock(mutex_);
    return made_;
}

std::shared_ptr<ImageBuffer> ReadBackPool::takeImage(int32_t format, uint32_t width, uint32_t height, uint32_t pitch) {
    std::unique_ptr<ImageBuffer> image;
    std::vector<std::unique_ptr<ImageBuffer>> dropped;
    {
        Platform::os::MutexLock lock(mutex_);
        while (!spareImages_.empty() && !image) {
            std::unique_ptr<ImageBuffer> spare = std::move(spareImages_.back());
            spareImages_.pop_back();
            if (spare->format == format && spare->width == width && spare->height == height && spare->pitch == pitch)
                image = std::move(spare);
            else
                dropped.push_back(std::move(spare));
        }
        if (!image) ++imagesMade_;
    }
    if (!image) {
        image = std::make_unique<ImageBuffer>(format, 0, 0);
        image->create(width, height, pitch);
    }
    return std::shared_ptr<ImageBuffer>(image.release(), [owner = weak_from_this()](ImageBuffer* released) {
        std::unique_ptr<ImageBuffer> back(released);
        if (const std::shared_ptr<ReadBackPool> pool = owner.lock()) pool->keepImage(std::move(back));
    });
}

void ReadBackPool::keepImage(std::unique_ptr<ImageBuffer> image) {
    std::unique_ptr<ImageBuffer> oldest;
    Platform::os::MutexLock lock(mutex_);
    if (spareImages_.size() >= kSpareImages) {
        oldest = std::move(spareImages_.front());
        spareImages_.erase(spareImages_.begin());
    }
    spareImages_.push_back(std::move(image));
}

size_t ReadBackPool::imagesMade() const {
    Platform::os::MutexLock lock(mutex_);
    return imagesMade_;
}

FrameReadBack::FrameReadBack(std::shared_ptr<ReadBackPool> pool, std::unique_ptr<CpuAccessBuffer> staging,
                             uint64_t ticket)
    : pool_(std::move(pool)), staging_(std::move(staging)), ticket_(ticket) {}

FrameReadBack::FrameReadBack(std::shared_ptr<ImageBuffer> ready) : image_(std::move(ready)) {}

// A copy never waited for may still be writing the staging memory: it is not
// given back for another copy, only released once the GPU is done with it.
FrameReadBack::~FrameReadBack() {
    Platform::os::MutexLock lock(mutex_);
    if (waited_ && pool_ && staging_) pool_->give(std::move(staging_));
}

void FrameReadBack::waitLocked() {
    if (Platform::failed(failure_))
        throw System::hresultException("Direct3D.context->Map", "Media::FrameReadBack::image", failure_);
    if (waited_ || !staging_) return;
    if (const Platform::Result hr =
            Direct3DService::get()->device->mapSubmitted(*staging_->texture, ticket_, map_);
        Platform::failed(hr)) {
        failure_ = hr;
        throw System::hresultException("Direct3D.context->Map", "Media::FrameReadBack::image", hr);
    }
    waited_ = true;
}

std::shared_ptr<ImageBuffer> FrameReadBack::image() {
    Platform::os::MutexLock lock(mutex_);
    waitLocked();
    if (image_ || !staging_) return image_;
    const Platform::gpu::StagingTexture& texture = *staging_->texture;
    std::shared_ptr<ImageBuffer> image;
    if (pool_) {
        image = pool_->takeImage(texture.format(), texture.width(), texture.height(), map_.rowPitch);
    } else {
        image = std::make_shared<ImageBuffer>(texture.format(), 0, 0);
        image->create(texture.width(), texture.height(), map_.rowPitch);
    }
    std::memcpy(image->data(), map_.data, static_cast<size_t>(image->pitch) * texture.height());
    image_ = std::move(image);
    if (pool_) pool_->give(std::move(staging_));
    staging_.reset();
    pool_.reset();
    return image_;
}

FrameReadBack::Rows FrameReadBack::rows() {
    Platform::os::MutexLock lock(mutex_);
    waitLocked();
    if (image_) return {image_->data(), image_->pitch, image_->height};
    if (!staging_) return {};
    return {static_cast<const uint8_t*>(map_.data), map_.rowPitch, staging_->texture->height()};
}

}  // namespace Media
