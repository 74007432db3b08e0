#include "render/ResourceCache.h"

#include "media/gpu/ResourceBuffer.h"

namespace Render {

size_t ResourceCache::NameHash::operator()(std::string_view name) const noexcept {
    uint64_t hash = 14695981039346656037ull;
    for (const char c : name) {
        hash ^= static_cast<uint8_t>(c);
        hash *= 1099511628211ull;
    }
    return static_cast<size_t>(hash);
}

ResourceCache::ResourceCache(int64_t budget) : index_(8), budget_(budget) { index_.max_load_factor(1.0f); }

ResourceCache::Image ResourceCache::find(std::string_view name) {
    const auto found = index_.find(name);
    if (found == index_.end())
        return nullptr;
    entries_.splice(entries_.begin(), entries_, found->second);
    return found->second->image;
}

void ResourceCache::add(std::string_view name, Image image, int64_t size) {
    if (const auto found = index_.find(name); found != index_.end())
        erase(found->second);
    entries_.push_front(Entry{size, std::move(image), std::string(name)});
    index_.emplace(entries_.front().name, entries_.begin());
    used_ += size;
    trim();
}

void ResourceCache::trim() {
    while (used_ > budget_ && !entries_.empty())
        erase(std::prev(entries_.end()));
}

ResourceCache::Image ResourceCache::acquire(std::string_view name, int32_t width, int32_t height) {
    Image image = find(name);
    if (!image || static_cast<int64_t>(image->width) != width || static_cast<int64_t>(image->height) != height)
        image = std::make_shared<Media::ResourceBuffer>(static_cast<uint32_t>(width), static_cast<uint32_t>(height));
    add(name, image, static_cast<int64_t>(width) * height);
    return image;
}

void ResourceCache::erase(List::iterator at) {
    used_ -= at->size;
    index_.erase(index_.find(std::string_view(at->name)));
    entries_.erase(at);
}

}  // namespace Render
