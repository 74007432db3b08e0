#pragma once
#include <cstddef>
#include <cstdint>
#include <list>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

namespace Media {
class ResourceBuffer;
}

namespace Render {

// Images the objects of one render share by name, kept from the most to the
// least recently used within a size budget (the callers count pixels). Every
// render makes its own cache, so there is no lock.
class ResourceCache {
public:
    using Image = std::shared_ptr<Media::ResourceBuffer>;

    explicit ResourceCache(int64_t budget);
    ResourceCache(const ResourceCache&) = delete;
    ResourceCache& operator=(const ResourceCache&) = delete;

    // The image stored under the name (now the most recent), or none.
    Image find(std::string_view name);
    // Stores the image under the name, replacing what was there, then evicts
    // the least recently used entries while the budget is exceeded; an entry
    // larger than the whole budget is evicted by its own insertion.
    void add(std::string_view name, Image image, int64_t size);
    void trim();
    // The image under the name when it has this size, else a new one in the
    // working format stored in its place.
    Image acquire(std::string_view name, int32_t width, int32_t height);

    int64_t budget() const { return budget_; }
    int64_t used() const { return used_; }
    size_t size() const { return entries_.size(); }

private:
    struct Entry {
        int64_t size;
        Image image;
        std::string name;
    };
    // FNV-1a over the name's bytes.
    struct NameHash {
        using is_transparent = void;
        size_t operator()(std::string_view name) const noexcept;
    };
    struct NameEqual {
        using is_transparent = void;
        bool operator()(std::string_view a, std::string_view b) const noexcept { return a == b; }
    };
    using List = std::list<Entry>;

    void erase(List::iterator at);

    List entries_;  // front: most recently used
    std::unordered_map<std::string, List::iterator, NameHash, NameEqual> index_;
    int64_t budget_;
    int64_t used_ = 0;
};

}  // namespace Render
