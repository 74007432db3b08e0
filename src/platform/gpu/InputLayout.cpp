#include "platform/gpu/InputLayout.h"

#include <vulkan/vulkan.h>

namespace Platform::gpu {

uint32_t InputLayout::elementBytes(int32_t format) {
    switch (format) {
    case kElementR32G32B32A32Float:
    case kElementR32G32B32A32Uint:
    case kElementR32G32B32A32Sint: return 16;
    case kElementR32G32B32Float:
    case kElementR32G32B32Uint:
    case kElementR32G32B32Sint: return 12;
    case kElementR32G32Float:
    case kElementR32G32Uint:
    case kElementR32G32Sint: return 8;
    case kElementR32Float:
    case kElementR32Uint:
    case kElementR32Sint: return 4;
    default: return 0;
    }
}

uint32_t InputLayout::vulkanFormat(int32_t format) {
    switch (format) {
    case kElementR32G32B32A32Float: return VK_FORMAT_R32G32B32A32_SFLOAT;
    case kElementR32G32B32A32Uint: return VK_FORMAT_R32G32B32A32_UINT;
    case kElementR32G32B32A32Sint: return VK_FORMAT_R32G32B32A32_SINT;
    case kElementR32G32B32Float: return VK_FORMAT_R32G32B32_SFLOAT;
    case kElementR32G32B32Uint: return VK_FORMAT_R32G32B32_UINT;
    case kElementR32G32B32Sint: return VK_FORMAT_R32G32B32_SINT;
    case kElementR32G32Float: return VK_FORMAT_R32G32_SFLOAT;
    case kElementR32G32Uint: return VK_FORMAT_R32G32_UINT;
    case kElementR32G32Sint: return VK_FORMAT_R32G32_SINT;
    case kElementR32Float: return VK_FORMAT_R32_SFLOAT;
    case kElementR32Uint: return VK_FORMAT_R32_UINT;
    case kElementR32Sint: return VK_FORMAT_R32_SINT;
    default: return VK_FORMAT_UNDEFINED;
    }
}

}  // namespace Platform::gpu
