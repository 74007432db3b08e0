#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace Platform::gpu {

// Element formats with the program's format numbers.
inline constexpr int32_t kElementR32G32B32A32Float = 2;
inline constexpr int32_t kElementR32G32B32A32Uint = 3;
inline constexpr int32_t kElementR32G32B32A32Sint = 4;
inline constexpr int32_t kElementR32G32B32Float = 6;
inline constexpr int32_t kElementR32G32B32Uint = 7;
inline constexpr int32_t kElementR32G32B32Sint = 8;
inline constexpr int32_t kElementR32G32Float = 16;
inline constexpr int32_t kElementR32G32Uint = 17;
inline constexpr int32_t kElementR32G32Sint = 18;
inline constexpr int32_t kElementR32Float = 41;
inline constexpr int32_t kElementR32Uint = 42;
inline constexpr int32_t kElementR32Sint = 43;
inline constexpr uint32_t kAppendAligned = 0xFFFFFFFFu;

struct InputElement {
    std::string semanticName;
    uint32_t semanticIndex = 0;
    int32_t format = 0;
    uint32_t offset = kAppendAligned;  // bytes from the vertex start, or after the previous element
};

// Vertex elements in buffer slot 0, matched to a vertex shader's inputs by semantic.
class InputLayout {
public:
    InputLayout(uint64_t id, std::vector<InputElement> elements) : id_(id), elements_(std::move(elements)) {}
    const std::vector<InputElement>& elements() const { return elements_; }  // offsets resolved
    uint64_t id() const { return id_; }
    // The bytes one element takes (0 for an unknown format) and its Vulkan format.
    static uint32_t elementBytes(int32_t format);
    static uint32_t vulkanFormat(int32_t format);

private:
    uint64_t id_;
    std::vector<InputElement> elements_;
};

}  // namespace Platform::gpu
