#pragma once
#include <cstdint>
#include <string_view>

namespace Plugin {

// 64-bit FNV-1a over the bytes of a narrow text, for the script host's maps.
struct Fnv1aHash {
    size_t operator()(std::string_view text) const {
        uint64_t hash = 14695981039346656037ull;
        for (const char c : text) {
            hash ^= static_cast<uint8_t>(c);
            hash *= 1099511628211ull;
        }
        return static_cast<size_t>(hash);
    }
};

}  // namespace Plugin
