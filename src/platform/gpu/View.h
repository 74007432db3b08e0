#pragma once
#include <cstdint>

#include "platform/gpu/VulkanFwd.h"

namespace Platform::gpu {

class Texture;

// The three roles a texture can be bound in.
enum class ViewKind : uint8_t { ShaderResource = 0, RenderTarget = 1, UnorderedAccess = 2 };

// A view of a texture in one role. Views belong to their texture, are made on
// first request and live as long as it does.
class View {
public:
    Texture& texture() const { return *texture_; }
    ViewKind kind() const { return kind_; }
    VkImageView handle() const { return handle_; }

private:
    friend class Texture;
    Texture* texture_ = nullptr;
    VkImageView handle_ = nullptr;
    ViewKind kind_ = ViewKind::ShaderResource;
};

}  // namespace Platform::gpu
