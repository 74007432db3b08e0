#pragma once
#include <cstdint>
#include <list>
#include <memory>
#include <unordered_map>

// The store of a preload cache: values by key, most recently used first, kept
// within a byte budget. Sizes are what the producer says an entry costs; the
// store never measures values itself. Not locked: the owner locks.
namespace System {

template <class Key, class Value, class Hash>
class LruCache {
public:
    struct Entry {
        uint64_t bytes = 0;
        std::shared_ptr<Value> value;
        Key key;
    };

    // The cached value moved to the front, or empty.
    std::shared_ptr<Value> find(const Key& key) {
        auto it = map_.find(key);
        if (it == map_.end()) return nullptr;
        entries_.splice(entries_.begin(), entries_, it->second);
        return it->second->value;
    }
    // Without changing the order.
    bool contains(const Key& key) const { return map_.count(key) != 0; }

    void put(const Key& key, std::shared_ptr<Value> value, uint64_t bytes) {
        if (auto it = map_.find(key); it != map_.end()) {
            total_ -= it->second->bytes;
            entries_.erase(it->second);
            map_.erase(it);
        }
        entries_.push_front(Entry{bytes, std::move(value), key});
        map_[key] = entries_.begin();
        total_ += bytes;
        trim();
    }

    void trim() {
        while (total_ > limit_ && !entries_.empty()) {
            Entry& last = entries_.back();
            total_ -= last.bytes;
            map_.erase(last.key);
            entries_.pop_back();
        }
    }

    template <class Predicate>
    void removeIf(Predicate&& accepts) {
        for (auto it = entries_.begin(); it != entries_.end();) {
            if (accepts(it->key)) {
                total_ -= it->bytes;
                map_.erase(it->key);
                it = entries_.erase(it);
            } else {
                ++it;
            }
        }
    }

    void clear() {
        map_.clear();
        entries_.clear();
        total_ = 0;
    }

    void setLimit(uint64_t bytes) { limit_ = bytes; }
    uint64_t limit() const { return limit_; }
    uint64_t total() const { return total_; }
    size_t size() const { return entries_.size(); }

private:
    std::list<Entry> entries_;
    std::unordered_map<Key, typename std::list<Entry>::iterator, Hash> map_;
    uint64_t limit_ = 0;
    uint64_t total_ = 0;
};

}  // namespace System
