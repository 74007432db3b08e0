#include "platform/gpu/Texture.h"

#include <vulkan/vulkan.h>

#include "platform/gpu/Device.h"

namespace Platform::gpu {

Texture::Texture(Device& device, const TextureDesc& desc, const FormatInfo& info)
    : device_(device), desc_(desc), info_(&info) {
    for (int i = 0; i < 3; ++i) {
        views_[i].texture_ = this;
        views_[i].kind_ = static_cast<ViewKind>(i);
    }
}

Texture::~Texture() {
    device_.waitUpload(uploadTicket_);
    Device::Retired r;
    r.image = image_;
    r.memory = memory_;
    for (int i = 0; i < 3; ++i) r.views[i] = views_[i].handle_;
    device_.retire(r);
}

Result Texture::view(ViewKind kind, View*& out) {
    out = nullptr;
    const uint32_t need = kind == ViewKind::ShaderResource ? kBindShaderResource
                          : kind == ViewKind::RenderTarget ? kBindRenderTarget
                                                           : kBindUnorderedAccess;
    if (!(desc_.bindFlags & need)) return kInvalidArg;
    Platform::os::MutexLock lock(viewMutex_);
    View& v = views_[static_cast<int>(kind)];
    if (!v.handle_) {
        VkImageViewUsageCreateInfo usage{VK_STRUCTURE_TYPE_IMAGE_VIEW_USAGE_CREATE_INFO};
        usage.usage = kind == ViewKind::ShaderResource ? VK_IMAGE_USAGE_SAMPLED_BIT
                      : kind == ViewKind::RenderTarget ? VK_IMAGE_USAGE_COLOR_ATTACHMENT_BIT
                                                       : VK_IMAGE_USAGE_STORAGE_BIT;
        VkImageViewCreateInfo ci{VK_STRUCTURE_TYPE_IMAGE_VIEW_CREATE_INFO};
        ci.pNext = &usage;
        ci.image = image_;
        ci.viewType = VK_IMAGE_VIEW_TYPE_2D;
        ci.format = static_cast<VkFormat>(info_->vkFormat);
        ci.subresourceRange = {VK_IMAGE_ASPECT_COLOR_BIT, 0, 1, 0, 1};
        // Emulated formats read as the program's format would.
        if (kind == ViewKind::ShaderResource) {
            if (info_->emulation == Emulation::Alpha8)
                ci.components = {VK_COMPONENT_SWIZZLE_ZERO, VK_COMPONENT_SWIZZLE_ZERO, VK_COMPONENT_SWIZZLE_ZERO,
                                 VK_COMPONENT_SWIZZLE_A};
            else if (info_->emulation == Emulation::Bgrx || info_->emulation == Emulation::Yuy2)
                ci.components.a = VK_COMPONENT_SWIZZLE_ONE;
        }
        VkResult vr = vkCreateImageView(device_.vkDevice(), &ci, nullptr, &v.handle_);
        if (vr != VK_SUCCESS) {
            v.handle_ = nullptr;
            return resultFromVulkan(vr);
        }
    }
    out = &v;
    return kOk;
}

}  // namespace Platform::gpu
