#pragma once
#include <cstdint>
#include <string>

// Keys of the image and audio caches: a media path (a file, or "*" and a
// scene id) and a frame or one-second block number. Paths compare code unit
// by code unit, without case folding or normalising.
namespace Cache {

struct ImageCacheKey {
    std::wstring path;
    int32_t frame = 0;
    bool operator==(const ImageCacheKey& other) const { return frame == other.frame && path == other.path; }
};

struct AudioCacheKey {
    std::wstring path;
    int32_t block = 0;
    bool operator==(const AudioCacheKey& other) const { return block == other.block && path == other.path; }
};

// FNV-1a 64-bit of the index (sign-extended, 8 little-endian bytes) XOR that of
// the path's UTF-16 code units (2 little-endian bytes each); an int key hashes
// its 4 little-endian bytes.
struct CacheKeyHash {
    static uint64_t hashIndex(int64_t index);
    static uint64_t hashPath(const std::wstring& path);
    size_t operator()(const ImageCacheKey& key) const { return hashIndex(key.frame) ^ hashPath(key.path); }
    size_t operator()(const AudioCacheKey& key) const { return hashIndex(key.block) ^ hashPath(key.path); }
    size_t operator()(int32_t key) const;
};

}  // namespace Cache
