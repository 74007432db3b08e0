#include "render/cache/CacheKey.h"

namespace Cache {
namespace {

constexpr uint64_t kOffsetBasis = 14695981039346656037ull;
constexpr uint64_t kPrime = 1099511628211ull;

uint64_t mix(uint64_t hash, uint8_t byte) { return (hash ^ byte) * kPrime; }

uint64_t mixUnit(uint64_t hash, uint32_t unit) { return mix(mix(hash, unit & 0xff), (unit >> 8) & 0xff); }

}  // namespace

uint64_t CacheKeyHash::hashIndex(int64_t index) {
    uint64_t hash = kOffsetBasis;
    const auto bits = static_cast<uint64_t>(index);
    for (int i = 0; i < 8; ++i) hash = mix(hash, static_cast<uint8_t>(bits >> (8 * i)));
    return hash;
}

uint64_t CacheKeyHash::hashPath(const std::wstring& path) {
    uint64_t hash = kOffsetBasis;
    for (const wchar_t c : path) {
        const auto code = static_cast<uint32_t>(c);
        if (code >= 0x10000 && code <= 0x10ffff) {
            const uint32_t v = code - 0x10000;
            hash = mixUnit(hash, 0xd800 + (v >> 10));
            hash = mixUnit(hash, 0xdc00 + (v & 0x3ff));
        } else {
            hash = mixUnit(hash, code);
        }
    }
    return hash;
}

size_t CacheKeyHash::operator()(int32_t key) const {
    uint64_t hash = kOffsetBasis;
    const auto bits = static_cast<uint32_t>(key);
    for (int i = 0; i < 4; ++i) hash = mix(hash, static_cast<uint8_t>(bits >> (8 * i)));
    return hash;
}

}  // namespace Cache
