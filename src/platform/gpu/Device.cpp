#include "platform/gpu/Device.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <vulkan/vulkan.h>

#include "platform/gpu/Context.h"
#include "platform/gpu/PipelineCache.h"
#include "platform/gpu/SpirvPatch.h"

namespace Platform::gpu {

struct Device::MemoryTypes {
    VkPhysicalDeviceMemoryProperties properties{};
};

Result resultFromVulkan(int32_t vkResult) {
    switch (vkResult) {
    case VK_SUCCESS: return kOk;
    case VK_ERROR_OUT_OF_HOST_MEMORY:
    case VK_ERROR_OUT_OF_DEVICE_MEMORY: return kOutOfMemory;
    case VK_ERROR_DEVICE_LOST: return kDeviceRemoved;
    case VK_ERROR_FORMAT_NOT_SUPPORTED:
    case VK_ERROR_FEATURE_NOT_PRESENT: return kInvalidArg;
    default: return vkResult < 0 ? kFail : kOk;
    }
}

namespace {

VKAPI_ATTR VkBool32 VKAPI_CALL onValidationMessage(VkDebugUtilsMessageSeverityFlagBitsEXT,
                                                   VkDebugUtilsMessageTypeFlagsEXT,
                                                   const VkDebugUtilsMessengerCallbackDataEXT* data, void* user) {
    static_cast<Device*>(user)->addValidationMessage(data && data->pMessage ? data->pMessage : "?");
    return VK_FALSE;
}

bool hasExtension(const std::vector<VkExtensionProperties>& list, const char* name) {
    for (const auto& e : list) {
        if (std::strcmp(e.extensionName, name) == 0) return true;
    }
    return false;
}

int deviceRank(VkPhysicalDeviceType type) {
    switch (type) {
    case VK_PHYSICAL_DEVICE_TYPE_DISCRETE_GPU: return 4;
    case VK_PHYSICAL_DEVICE_TYPE_INTEGRATED_GPU: return 3;
    case VK_PHYSICAL_DEVICE_TYPE_VIRTUAL_GPU: return 2;
    case VK_PHYSICAL_DEVICE_TYPE_CPU: return 1;
    default: return 0;
    }
}

constexpr uint32_t alignUp(uint32_t v, uint32_t a) { return (v + a - 1) / a * a; }

}  // namespace

Result Device::create(const DeviceOptions& options, std::unique_ptr<Device>& out) {
    out.reset();
    std::unique_ptr<Device> device(new Device());
    Result r = device->init(options);
    if (failed(r)) return r;
    out = std::move(device);
    return kOk;
}

Result Device::init(const DeviceOptions& options) {
    memoryTypes_ = std::make_unique<MemoryTypes>();

    VkApplicationInfo app{VK_STRUCTURE_TYPE_APPLICATION_INFO};
    app.pApplicationName = "velmo2";
    app.apiVersion = VK_API_VERSION_1_3;
    std::vector<const char*> layers;
    std::vector<const char*> instanceExtensions;
    if (options.validation) {
        uint32_t count = 0;
        vkEnumerateInstanceLayerProperties(&count, nullptr);
        std::vector<VkLayerProperties> available(count);
        vkEnumerateInstanceLayerProperties(&count, available.data());
        for (const auto& l : available) {
            if (std::strcmp(l.layerName, "VK_LAYER_KHRONOS_validation") == 0) {
                layers.push_back("VK_LAYER_KHRONOS_validation");
                instanceExtensions.push_back(VK_EXT_DEBUG_UTILS_EXTENSION_NAME);
                validationEnabled_ = true;
            }
        }
    }
    VkInstanceCreateInfo ici{VK_STRUCTURE_TYPE_INSTANCE_CREATE_INFO};
    ici.pApplicationInfo = &app;
    ici.enabledLayerCount = static_cast<uint32_t>(layers.size());
    ici.ppEnabledLayerNames = layers.data();
    ici.enabledExtensionCount = static_cast<uint32_t>(instanceExtensions.size());
    ici.ppEnabledExtensionNames = instanceExtensions.data();
    VkResult vr = vkCreateInstance(&ici, nullptr, &instance_);
    if (vr != VK_SUCCESS) return resultFromVulkan(vr);

    if (validationEnabled_) {
        auto createMessenger = reinterpret_cast<PFN_vkCreateDebugUtilsMessengerEXT>(
            vkGetInstanceProcAddr(instance_, "vkCreateDebugUtilsMessengerEXT"));
        VkDebugUtilsMessengerCreateInfoEXT mci{VK_STRUCTURE_TYPE_DEBUG_UTILS_MESSENGER_CREATE_INFO_EXT};
        mci.messageSeverity =
            VK_DEBUG_UTILS_MESSAGE_SEVERITY_WARNING_BIT_EXT | VK_DEBUG_UTILS_MESSAGE_SEVERITY_ERROR_BIT_EXT;
        mci.messageType = VK_DEBUG_UTILS_MESSAGE_TYPE_VALIDATION_BIT_EXT |
                          VK_DEBUG_UTILS_MESSAGE_TYPE_PERFORMANCE_BIT_EXT | VK_DEBUG_UTILS_MESSAGE_TYPE_GENERAL_BIT_EXT;
        mci.pfnUserCallback = onValidationMessage;
        mci.pUserData = this;
        if (createMessenger) createMessenger(instance_, &mci, nullptr, &messenger_);
    }

    // A real GPU when one is present, else the software driver; both need Vulkan 1.3.
    uint32_t count = 0;
    vkEnumeratePhysicalDevices(instance_, &count, nullptr);
    std::vector<VkPhysicalDevice> devices(count);
    vkEnumeratePhysicalDevices(instance_, &count, devices.data());
    int bestRank = 0;
    for (VkPhysicalDevice pd : devices) {
        VkPhysicalDeviceProperties props;
        vkGetPhysicalDeviceProperties(pd, &props);
        if (props.apiVersion < VK_API_VERSION_1_3) continue;
        uint32_t n = 0;
        vkEnumerateDeviceExtensionProperties(pd, nullptr, &n, nullptr);
        std::vector<VkExtensionProperties> exts(n);
        vkEnumerateDeviceExtensionProperties(pd, nullptr, &n, exts.data());
        if (!hasExtension(exts, VK_KHR_PUSH_DESCRIPTOR_EXTENSION_NAME) ||
            !hasExtension(exts, VK_EXT_ROBUSTNESS_2_EXTENSION_NAME))
            continue;
        int rank = deviceRank(props.deviceType);
        if (rank > bestRank) {
            bestRank = rank;
            physical_ = pd;
        }
    }
    if (!physical_) return kFail;

    VkPhysicalDeviceProperties props;
    vkGetPhysicalDeviceProperties(physical_, &props);
    adapterName_ = props.deviceName;
    software_ = props.deviceType == VK_PHYSICAL_DEVICE_TYPE_CPU;
    // The compiler cannot ask for fragment-shader interlock, so only the
    // software driver's in-order fragments keep ordered views in order.
    orderByDraws_ = options.orderByDraws || !software_;
    sampleCounts_ = props.limits.framebufferColorSampleCounts;
    vkGetPhysicalDeviceMemoryProperties(physical_, &memoryTypes_->properties);

    uint32_t familyCount = 0;
    vkGetPhysicalDeviceQueueFamilyProperties(physical_, &familyCount, nullptr);
    std::vector<VkQueueFamilyProperties> families(familyCount);
    vkGetPhysicalDeviceQueueFamilyProperties(physical_, &familyCount, families.data());
    bool found = false;
    for (uint32_t i = 0; i < familyCount; ++i) {
        if ((families[i].queueFlags & (VK_QUEUE_GRAPHICS_BIT | VK_QUEUE_COMPUTE_BIT)) ==
            (VK_QUEUE_GRAPHICS_BIT | VK_QUEUE_COMPUTE_BIT)) {
            queueFamily_ = i;
            found = true;
            break;
        }
    }
    if (!found) return kFail;

    // Features: what the program's Direct3D behaviour needs.
    VkPhysicalDeviceRobustness2FeaturesEXT robust{VK_STRUCTURE_TYPE_PHYSICAL_DEVICE_ROBUSTNESS_2_FEATURES_EXT};
    VkPhysicalDeviceVulkan13Features v13{VK_STRUCTURE_TYPE_PHYSICAL_DEVICE_VULKAN_1_3_FEATURES};
    VkPhysicalDeviceVulkan12Features v12{VK_STRUCTURE_TYPE_PHYSICAL_DEVICE_VULKAN_1_2_FEATURES};
    VkPhysicalDeviceFeatures2 features{VK_STRUCTURE_TYPE_PHYSICAL_DEVICE_FEATURES_2};
    features.pNext = &v12;
    v12.pNext = &v13;
    v13.pNext = &robust;
    vkGetPhysicalDeviceFeatures2(physical_, &features);
    if (!v13.dynamicRendering || !v13.synchronization2 || !robust.robustImageAccess2 || !robust.nullDescriptor ||
        !v12.scalarBlockLayout || !v12.timelineSemaphore || !features.features.dualSrcBlend)
        return kFail;

    VkPhysicalDeviceFeatures2 enable{VK_STRUCTURE_TYPE_PHYSICAL_DEVICE_FEATURES_2};
    enable.features.dualSrcBlend = VK_TRUE;
    enable.features.fillModeNonSolid = features.features.fillModeNonSolid;
    enable.features.shaderStorageImageWriteWithoutFormat = features.features.shaderStorageImageWriteWithoutFormat;
    enable.features.shaderStorageImageReadWithoutFormat = features.features.shaderStorageImageReadWithoutFormat;
    enable.features.robustBufferAccess = features.features.robustBufferAccess;
    enable.features.independentBlend = features.features.independentBlend;
    enable.features.fragmentStoresAndAtomics = features.features.fragmentStoresAndAtomics;
    enable.features.shaderImageGatherExtended = features.features.shaderImageGatherExtended;
    VkPhysicalDeviceVulkan12Features e12{VK_STRUCTURE_TYPE_PHYSICAL_DEVICE_VULKAN_1_2_FEATURES};
    e12.samplerMirrorClampToEdge = v12.samplerMirrorClampToEdge;
    // Constant buffers keep the program's packing, which only scalar layout allows.
    e12.scalarBlockLayout = v12.scalarBlockLayout;
    // Another thread waits for a submission of the context through its serial.
    e12.timelineSemaphore = VK_TRUE;
    VkPhysicalDeviceVulkan13Features e13{VK_STRUCTURE_TYPE_PHYSICAL_DEVICE_VULKAN_1_3_FEATURES};
    e13.dynamicRendering = VK_TRUE;
    e13.synchronization2 = VK_TRUE;
    VkPhysicalDeviceRobustness2FeaturesEXT eRobust{VK_STRUCTURE_TYPE_PHYSICAL_DEVICE_ROBUSTNESS_2_FEATURES_EXT};
    eRobust.robustImageAccess2 = VK_TRUE;
    eRobust.nullDescriptor = VK_TRUE;
    eRobust.robustBufferAccess2 = features.features.robustBufferAccess && robust.robustBufferAccess2;
    enable.pNext = &e12;
    e12.pNext = &e13;
    e13.pNext = &eRobust;
    std::vector<const char*> extensions = {VK_KHR_PUSH_DESCRIPTOR_EXTENSION_NAME, VK_EXT_ROBUSTNESS_2_EXTENSION_NAME};

    float priority = 1.0f;
    VkDeviceQueueCreateInfo qci{VK_STRUCTURE_TYPE_DEVICE_QUEUE_CREATE_INFO};
    qci.queueFamilyIndex = queueFamily_;
    qci.queueCount = 1;
    qci.pQueuePriorities = &priority;
    VkDeviceCreateInfo dci{VK_STRUCTURE_TYPE_DEVICE_CREATE_INFO};
    dci.pNext = &enable;
    dci.queueCreateInfoCount = 1;
    dci.pQueueCreateInfos = &qci;
    dci.enabledExtensionCount = static_cast<uint32_t>(extensions.size());
    dci.ppEnabledExtensionNames = extensions.data();
    vr = vkCreateDevice(physical_, &dci, nullptr, &device_);
    if (vr != VK_SUCCESS) return resultFromVulkan(vr);
    vkGetDeviceQueue(device_, queueFamily_, 0, &queue_);
    pushDescriptor_ = vkGetDeviceProcAddr(device_, "vkCmdPushDescriptorSetKHR");
    if (!pushDescriptor_) return kFail;

    VkCommandPoolCreateInfo pci{VK_STRUCTURE_TYPE_COMMAND_POOL_CREATE_INFO};
    pci.flags = VK_COMMAND_POOL_CREATE_TRANSIENT_BIT;
    pci.queueFamilyIndex = queueFamily_;
    vr = vkCreateCommandPool(device_, &pci, nullptr, &uploadPool_);
    if (vr != VK_SUCCESS) return resultFromVulkan(vr);

    pipelines_ = std::make_unique<PipelineCache>(*this);
    VkSemaphoreTypeCreateInfo timelineType{VK_STRUCTURE_TYPE_SEMAPHORE_TYPE_CREATE_INFO};
    timelineType.semaphoreType = VK_SEMAPHORE_TYPE_TIMELINE;
    timelineType.initialValue = 0;
    VkSemaphoreCreateInfo sci{VK_STRUCTURE_TYPE_SEMAPHORE_CREATE_INFO};
    sci.pNext = &timelineType;
    vr = vkCreateSemaphore(device_, &sci, nullptr, &timeline_);
    if (vr != VK_SUCCESS) return resultFromVulkan(vr);
    context_.reset(new Context(*this));
    return context_->init();
}

Device::~Device() {
    if (device_) {
        vkDeviceWaitIdle(device_);
        context_.reset();
        pipelines_.reset();
        reclaimUploads(true);
        for (const SpareUpload& spare : spareUploads_) {
            vkDestroyBuffer(device_, spare.buffer, nullptr);
            vkFreeMemory(device_, spare.memory, nullptr);
        }
        completedSerial_ = UINT64_MAX;
        collectRetired();
        if (uploadPool_) vkDestroyCommandPool(device_, uploadPool_, nullptr);
        if (timeline_) vkDestroySemaphore(device_, timeline_, nullptr);
        vkDestroyDevice(device_, nullptr);
    }
    if (messenger_) {
        auto destroyMessenger = reinterpret_cast<PFN_vkDestroyDebugUtilsMessengerEXT>(
            vkGetInstanceProcAddr(instance_, "vkDestroyDebugUtilsMessengerEXT"));
        if (destroyMessenger) destroyMessenger(instance_, messenger_, nullptr);
    }
    if (instance_) vkDestroyInstance(instance_, nullptr);
}

Result Device::mapSubmitted(StagingTexture& staging, uint64_t ticket, MappedTexture& out) {
    out = {};
    if (ticket == 0 || ticket >= recordingSerial_.load()) return kInvalidArg;
    VkSemaphoreWaitInfo wait{VK_STRUCTURE_TYPE_SEMAPHORE_WAIT_INFO};
    wait.semaphoreCount = 1;
    wait.pSemaphores = &timeline_;
    wait.pValues = &ticket;
    if (const VkResult vr = vkWaitSemaphores(device_, &wait, UINT64_MAX); vr != VK_SUCCESS)
        return failed(resultFromVulkan(vr)) ? resultFromVulkan(vr) : kFail;
    staging.read(out);
    return kOk;
}

int32_t Device::memoryType(uint32_t typeBits, uint32_t wanted) const {
    const auto& p = memoryTypes_->properties;
    for (uint32_t i = 0; i < p.memoryTypeCount; ++i) {
        if ((typeBits & (1u << i)) && (p.memoryTypes[i].propertyFlags & wanted) == wanted)
            return static_cast<int32_t>(i);
    }
    return -1;
}

bool Device::memoryTypeCoherent(int32_t type) const {
    return type >= 0 &&
           (memoryTypes_->properties.memoryTypes[type].propertyFlags & VK_MEMORY_PROPERTY_HOST_COHERENT_BIT) != 0;
}

Result Device::checkFormatSupport(int32_t format, uint32_t& support) const {
    support = 0;
    const FormatInfo* info = FormatTable::find(format);
    if (!info) return kInvalidArg;
    VkFormatProperties fp;
    vkGetPhysicalDeviceFormatProperties(physical_, static_cast<VkFormat>(info->vkFormat), &fp);
    const VkFormatFeatureFlags f = fp.optimalTilingFeatures;
    if (f & VK_FORMAT_FEATURE_SAMPLED_IMAGE_BIT) support |= kFormatSupportTexture2D | kFormatSupportShaderLoad;
    if (f & VK_FORMAT_FEATURE_SAMPLED_IMAGE_FILTER_LINEAR_BIT) support |= kFormatSupportShaderSample;
    if (f & VK_FORMAT_FEATURE_COLOR_ATTACHMENT_BIT) {
        support |= kFormatSupportRenderTarget;
        if (sampleCounts_ & ~1u) support |= kFormatSupportMultisampleRenderTarget | kFormatSupportMultisampleResolve;
    }
    if (f & VK_FORMAT_FEATURE_COLOR_ATTACHMENT_BLEND_BIT) support |= kFormatSupportBlendable;
    if (f & VK_FORMAT_FEATURE_STORAGE_IMAGE_BIT) support |= kFormatSupportTypedUnorderedAccess;
    if (f & VK_FORMAT_FEATURE_TRANSFER_SRC_BIT) support |= kFormatSupportCpuLockable;
    return kOk;
}

bool Device::linearFilterSupported(int32_t format) const {
    uint32_t support = 0;
    return succeeded(checkFormatSupport(format, support)) && (support & kFormatSupportShaderSample);
}

Result Device::createTexture(const TextureDesc& desc, const InitialData* initial, std::unique_ptr<Texture>& out) {
    out.reset();
    const FormatInfo* info = FormatTable::find(desc.format);
    if (!info || desc.width == 0 || desc.height == 0 || desc.width > kMaxTextureSize || desc.height > kMaxTextureSize)
        return kInvalidArg;
    const uint32_t samples = desc.sampleCount;
    if (samples == 0 || (samples & (samples - 1)) || !(sampleCounts_ & samples)) return kInvalidArg;
    if (samples > 1 && (desc.bindFlags != kBindRenderTarget || initial)) return kInvalidArg;
    if (desc.bindFlags == 0 || (desc.bindFlags & ~(kBindShaderResource | kBindRenderTarget | kBindUnorderedAccess)))
        return kInvalidArg;
    if (initial && (!initial->data || initial->rowPitch < FormatTable::minCpuRowBytes(*info, desc.width)))
        return kInvalidArg;

    VkFormatProperties fp;
    vkGetPhysicalDeviceFormatProperties(physical_, static_cast<VkFormat>(info->vkFormat), &fp);
    const VkFormatFeatureFlags f = fp.optimalTilingFeatures;
    VkImageUsageFlags usage = VK_IMAGE_USAGE_TRANSFER_SRC_BIT | VK_IMAGE_USAGE_TRANSFER_DST_BIT;
    if (desc.bindFlags & kBindShaderResource) {
        if (!(f & VK_FORMAT_FEATURE_SAMPLED_IMAGE_BIT)) return kInvalidArg;
        usage |= VK_IMAGE_USAGE_SAMPLED_BIT;
    }
    if (desc.bindFlags & kBindRenderTarget) {
        if (!(f & VK_FORMAT_FEATURE_COLOR_ATTACHMENT_BIT)) return kInvalidArg;
        usage |= VK_IMAGE_USAGE_COLOR_ATTACHMENT_BIT;
    }
    if (desc.bindFlags & kBindUnorderedAccess) {
        if (!(f & VK_FORMAT_FEATURE_STORAGE_IMAGE_BIT)) return kInvalidArg;
        usage |= VK_IMAGE_USAGE_STORAGE_BIT;
    }

    std::unique_ptr<Texture> texture(new Texture(*this, desc, *info));
    VkImageCreateInfo ici{VK_STRUCTURE_TYPE_IMAGE_CREATE_INFO};
    ici.imageType = VK_IMAGE_TYPE_2D;
    ici.format = static_cast<VkFormat>(info->vkFormat);
    ici.extent = {desc.width, desc.height, 1};
    ici.mipLevels = 1;
    ici.arrayLayers = 1;
    ici.samples = static_cast<VkSampleCountFlagBits>(samples);
    ici.tiling = VK_IMAGE_TILING_OPTIMAL;
    ici.usage = usage;
    ici.sharingMode = VK_SHARING_MODE_EXCLUSIVE;
    ici.initialLayout = VK_IMAGE_LAYOUT_UNDEFINED;
    VkResult vr = vkCreateImage(device_, &ici, nullptr, &texture->image_);
    if (vr != VK_SUCCESS) return resultFromVulkan(vr);
    VkMemoryRequirements req;
    vkGetImageMemoryRequirements(device_, texture->image_, &req);
    int32_t type = memoryType(req.memoryTypeBits, VK_MEMORY_PROPERTY_DEVICE_LOCAL_BIT);
    if (type < 0) type = memoryType(req.memoryTypeBits, 0);
    VkMemoryAllocateInfo mai{VK_STRUCTURE_TYPE_MEMORY_ALLOCATE_INFO};
    mai.allocationSize = req.size;
    mai.memoryTypeIndex = static_cast<uint32_t>(type);
    vr = vkAllocateMemory(device_, &mai, nullptr, &texture->memory_);
    if (vr != VK_SUCCESS) return resultFromVulkan(vr);
    vr = vkBindImageMemory(device_, texture->image_, texture->memory_, 0);
    if (vr != VK_SUCCESS) return resultFromVulkan(vr);
    texture->track_.layout = VK_IMAGE_LAYOUT_UNDEFINED;

    if (initial) {
        Result r = upload(*texture, *initial);
        if (failed(r)) return r;
    }
    out = std::move(texture);
    return kOk;
}

// Initial pixels go through a staging buffer and a submission of their own; the
// image is left as a copy destination, so the context's first use of it waits
// for the copy (it is earlier in submission order on the one queue).
Result Device::upload(Texture& texture, const InitialData& initial) {
    const FormatInfo& info = texture.formatInfo();
    const uint32_t w = texture.width(), h = texture.height();
    const uint64_t rowBytes = static_cast<uint64_t>(w) * info.gpuBytesPerPixel;
    const uint64_t bytes = rowBytes * h;
    Upload up{};
    {
        Platform::os::MutexLock lock(uploadMutex_);
        reclaimUploads(false);
        for (size_t i = 0; i < spareUploads_.size(); ++i) {
            const SpareUpload& spare = spareUploads_[i];
            if (spare.size >= bytes && spare.size <= bytes * 2) {
                up.buffer = spare.buffer;
                up.memory = spare.memory;
                up.size = spare.size;
                up.mapped = spare.mapped;
                spareUploads_.erase(spareUploads_.begin() + static_cast<std::ptrdiff_t>(i));
                break;
            }
        }
    }
    if (!up.buffer) {
        VkBufferCreateInfo bci{VK_STRUCTURE_TYPE_BUFFER_CREATE_INFO};
        bci.size = bytes;
        bci.usage = VK_BUFFER_USAGE_TRANSFER_SRC_BIT;
        VkResult vr = vkCreateBuffer(device_, &bci, nullptr, &up.buffer);
        if (vr != VK_SUCCESS) return resultFromVulkan(vr);
        VkMemoryRequirements req;
        vkGetBufferMemoryRequirements(device_, up.buffer, &req);
        int32_t type =
            memoryType(req.memoryTypeBits, VK_MEMORY_PROPERTY_HOST_VISIBLE_BIT | VK_MEMORY_PROPERTY_HOST_COHERENT_BIT);
        VkMemoryAllocateInfo mai{VK_STRUCTURE_TYPE_MEMORY_ALLOCATE_INFO};
        mai.allocationSize = req.size;
        mai.memoryTypeIndex = static_cast<uint32_t>(type);
        vr = type < 0 ? VK_ERROR_OUT_OF_DEVICE_MEMORY : vkAllocateMemory(device_, &mai, nullptr, &up.memory);
        if (vr == VK_SUCCESS) vr = vkBindBufferMemory(device_, up.buffer, up.memory, 0);
        if (vr == VK_SUCCESS) vr = vkMapMemory(device_, up.memory, 0, VK_WHOLE_SIZE, 0, &up.mapped);
        if (vr != VK_SUCCESS) {
            vkDestroyBuffer(device_, up.buffer, nullptr);
            if (up.memory) vkFreeMemory(device_, up.memory, nullptr);
            return resultFromVulkan(vr);
        }
        up.size = bytes;
    }
    const uint8_t* src = static_cast<const uint8_t*>(initial.data);
    uint8_t* dst = static_cast<uint8_t*>(up.mapped);
    for (uint32_t y = 0; y < h; ++y)
        FormatTable::expandRow(info, src + static_cast<size_t>(y) * initial.rowPitch, dst + y * rowBytes, w,
                               initial.rowPitch);
    VkResult vr;

    Platform::os::MutexLock lock(uploadMutex_);
    VkCommandBufferAllocateInfo cai{VK_STRUCTURE_TYPE_COMMAND_BUFFER_ALLOCATE_INFO};
    cai.commandPool = uploadPool_;
    cai.level = VK_COMMAND_BUFFER_LEVEL_PRIMARY;
    cai.commandBufferCount = 1;
    vr = vkAllocateCommandBuffers(device_, &cai, &up.commands);
    VkFenceCreateInfo fci{VK_STRUCTURE_TYPE_FENCE_CREATE_INFO};
    if (vr == VK_SUCCESS) vr = vkCreateFence(device_, &fci, nullptr, &up.fence);
    if (vr != VK_SUCCESS) {
        if (up.commands) vkFreeCommandBuffers(device_, uploadPool_, 1, &up.commands);
        releaseUploadMemory(up.buffer, up.memory, up.size, up.mapped);
        return resultFromVulkan(vr);
    }
    VkCommandBufferBeginInfo begin{VK_STRUCTURE_TYPE_COMMAND_BUFFER_BEGIN_INFO};
    begin.flags = VK_COMMAND_BUFFER_USAGE_ONE_TIME_SUBMIT_BIT;
    vkBeginCommandBuffer(up.commands, &begin);
    VkImageMemoryBarrier2 barrier{VK_STRUCTURE_TYPE_IMAGE_MEMORY_BARRIER_2};
    barrier.dstStageMask = VK_PIPELINE_STAGE_2_ALL_TRANSFER_BIT;
    barrier.dstAccessMask = VK_ACCESS_2_TRANSFER_WRITE_BIT;
    barrier.oldLayout = VK_IMAGE_LAYOUT_UNDEFINED;
    barrier.newLayout = VK_IMAGE_LAYOUT_TRANSFER_DST_OPTIMAL;
    barrier.srcQueueFamilyIndex = barrier.dstQueueFamilyIndex = VK_QUEUE_FAMILY_IGNORED;
    barrier.image = texture.image();
    barrier.subresourceRange = {VK_IMAGE_ASPECT_COLOR_BIT, 0, 1, 0, 1};
    VkDependencyInfo dep{VK_STRUCTURE_TYPE_DEPENDENCY_INFO};
    dep.imageMemoryBarrierCount = 1;
    dep.pImageMemoryBarriers = &barrier;
    vkCmdPipelineBarrier2(up.commands, &dep);
    VkBufferImageCopy region{};
    region.imageSubresource = {VK_IMAGE_ASPECT_COLOR_BIT, 0, 0, 1};
    region.imageExtent = {w, h, 1};
    vkCmdCopyBufferToImage(up.commands, up.buffer, texture.image(), VK_IMAGE_LAYOUT_TRANSFER_DST_OPTIMAL, 1, &region);
    vkEndCommandBuffer(up.commands);
    VkSubmitInfo si{VK_STRUCTURE_TYPE_SUBMIT_INFO};
    si.commandBufferCount = 1;
    si.pCommandBuffers = &up.commands;
    {
        Platform::os::MutexLock q(queueMutex_);
        vr = vkQueueSubmit(queue_, 1, &si, up.fence);
    }
    if (vr != VK_SUCCESS) {
        vkFreeCommandBuffers(device_, uploadPool_, 1, &up.commands);
        vkDestroyFence(device_, up.fence, nullptr);
        releaseUploadMemory(up.buffer, up.memory, up.size, up.mapped);
        return resultFromVulkan(vr);
    }
    up.ticket = nextTicket_++;
    texture.uploadTicket_ = up.ticket;
    texture.track_ = {VK_IMAGE_LAYOUT_TRANSFER_DST_OPTIMAL, VK_PIPELINE_STAGE_2_ALL_TRANSFER_BIT,
                      VK_ACCESS_2_TRANSFER_WRITE_BIT, true};
    uploads_.push_back(up);
    return kOk;
}

// Frees finished uploads (uploadMutex_ held).
void Device::reclaimUploads(bool wait) {
    size_t keep = 0;
    for (size_t i = 0; i < uploads_.size(); ++i) {
        Upload& up = uploads_[i];
        VkResult status =
            wait ? vkWaitForFences(device_, 1, &up.fence, VK_TRUE, UINT64_MAX) : vkGetFenceStatus(device_, up.fence);
        if (status == VK_SUCCESS || status == VK_ERROR_DEVICE_LOST) {
            vkFreeCommandBuffers(device_, uploadPool_, 1, &up.commands);
            vkDestroyFence(device_, up.fence, nullptr);
            releaseUploadMemory(up.buffer, up.memory, up.size, up.mapped);
        } else {
            uploads_[keep++] = up;
        }
    }
    uploads_.resize(keep);
}

// Keeps a little staging memory for later uploads (uploadMutex_ held).
void Device::releaseUploadMemory(VkBuffer buffer, VkDeviceMemory memory, uint64_t size, void* mapped) {
    constexpr size_t kSpares = 4;
    if (spareUploads_.size() < kSpares) {
        spareUploads_.push_back({buffer, memory, size, mapped});
        return;
    }
    vkDestroyBuffer(device_, buffer, nullptr);
    vkFreeMemory(device_, memory, nullptr);
}

void Device::waitUpload(uint64_t ticket) {
    if (ticket == 0) return;
    Platform::os::MutexLock lock(uploadMutex_);
    for (Upload& up : uploads_) {
        if (up.ticket == ticket) {
            vkWaitForFences(device_, 1, &up.fence, VK_TRUE, UINT64_MAX);
            break;
        }
    }
    reclaimUploads(false);
}

Result Device::createStagingTexture(uint32_t width, uint32_t height, int32_t format,
                                    std::unique_ptr<StagingTexture>& out) {
    out.reset();
    const FormatInfo* info = FormatTable::find(format);
    if (!info || width == 0 || height == 0 || width > kMaxTextureSize || height > kMaxTextureSize) return kInvalidArg;
    std::unique_ptr<StagingTexture> staging(new StagingTexture(*this, width, height, *info));
    staging->gpuPitch_ = alignUp(width * info->gpuBytesPerPixel, 32);
    if (info->emulation == Emulation::Alpha8 || info->emulation == Emulation::Yuy2) {
        staging->cpuPitch_ = alignUp(FormatTable::cpuRowBytes(*info, width), 32);
        staging->converted_.reset(new (std::nothrow) uint8_t[static_cast<size_t>(staging->cpuPitch_) * height]);
        if (!staging->converted_) return kOutOfMemory;
    } else {
        staging->cpuPitch_ = staging->gpuPitch_;
    }
    VkBufferCreateInfo bci{VK_STRUCTURE_TYPE_BUFFER_CREATE_INFO};
    bci.size = static_cast<VkDeviceSize>(staging->gpuPitch_) * height;
    bci.usage = VK_BUFFER_USAGE_TRANSFER_DST_BIT;
    VkResult vr = vkCreateBuffer(device_, &bci, nullptr, &staging->buffer_);
    if (vr != VK_SUCCESS) return resultFromVulkan(vr);
    VkMemoryRequirements req;
    vkGetBufferMemoryRequirements(device_, staging->buffer_, &req);
    int32_t type =
        memoryType(req.memoryTypeBits, VK_MEMORY_PROPERTY_HOST_VISIBLE_BIT | VK_MEMORY_PROPERTY_HOST_CACHED_BIT);
    if (type < 0) type = memoryType(req.memoryTypeBits, VK_MEMORY_PROPERTY_HOST_VISIBLE_BIT);
    if (type < 0) return kOutOfMemory;
    staging->coherent_ = memoryTypeCoherent(type);
    VkMemoryAllocateInfo mai{VK_STRUCTURE_TYPE_MEMORY_ALLOCATE_INFO};
    mai.allocationSize = req.size;
    mai.memoryTypeIndex = static_cast<uint32_t>(type);
    vr = vkAllocateMemory(device_, &mai, nullptr, &staging->memory_);
    if (vr == VK_SUCCESS) vr = vkBindBufferMemory(device_, staging->buffer_, staging->memory_, 0);
    void* mapped = nullptr;
    if (vr == VK_SUCCESS) vr = vkMapMemory(device_, staging->memory_, 0, VK_WHOLE_SIZE, 0, &mapped);
    if (vr != VK_SUCCESS) return resultFromVulkan(vr);
    staging->mapped_ = static_cast<uint8_t*>(mapped);
    out = std::move(staging);
    return kOk;
}

Result Device::createBuffer(BufferKind kind, uint32_t size, const void* initialData, std::unique_ptr<Buffer>& out) {
    out.reset();
    if (size == 0) return kInvalidArg;
    if (kind == BufferKind::Constant && (size % 16 != 0 || size > 65536)) return kInvalidArg;
    std::unique_ptr<Buffer> buffer(new (std::nothrow) Buffer(kind, size));
    if (!buffer) return kOutOfMemory;
    if (initialData) std::memcpy(buffer->mutableContents(), initialData, size);
    out = std::move(buffer);
    return kOk;
}

Result Device::createShader(ShaderStage stage, const void* code, size_t length, std::unique_ptr<Shader>& out) {
    out.reset();
    std::unique_ptr<Shader> shader(new Shader(*this, nextObjectId_++));
    Result r = ShaderReflection::reflect(code, length, shader->reflection_);
    if (failed(r)) return r;
    if (shader->reflection_.stage != stage) return kInvalidArg;
    shader->spirv_ = shader->reflection_.spirv;
    shader->reflection_.spirv.clear();
    SpirvPatch::stripHlslDecorations(shader->spirv_);
    out = std::move(shader);
    return kOk;
}

Result Device::createInputLayout(const InputElement* elements, uint32_t count, const void* vertexCode, size_t length,
                                 std::unique_ptr<InputLayout>& out) {
    out.reset();
    ShaderReflection vs;
    Result r = ShaderReflection::reflect(vertexCode, length, vs);
    if (failed(r)) return r;
    if (vs.stage != ShaderStage::Vertex || (count && !elements)) return kInvalidArg;
    std::vector<InputElement> list(elements, elements + count);
    uint32_t offset = 0;
    for (InputElement& e : list) {
        const uint32_t bytes = InputLayout::elementBytes(e.format);
        if (bytes == 0) return kInvalidArg;
        if (e.offset == kAppendAligned) e.offset = offset;
        offset = e.offset + bytes;
    }
    // Every input the shader reads must be fed.
    for (const InterfaceVariable& in : vs.stageInputs) {
        bool fed = false;
        for (const InputElement& e : list) {
            std::string upper = e.semanticName;
            for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
            if (upper == in.semantic && e.semanticIndex == in.semanticIndex) fed = true;
        }
        if (!fed) return kInvalidArg;
    }
    out = std::make_unique<InputLayout>(nextObjectId_++, std::move(list));
    return kOk;
}

Result Device::createBlendState(const BlendDesc& desc, std::unique_ptr<BlendState>& out) {
    out.reset();
    auto factorOk = [](uint8_t f) {
        return (f >= kBlendZero && f <= kBlendSrcAlphaSat) || (f >= kBlendFactor && f <= kBlendInvSrc1Alpha);
    };
    auto opOk = [](uint8_t o) { return o >= kBlendOpAdd && o <= kBlendOpMax; };
    if (desc.enable && (!factorOk(desc.src) || !factorOk(desc.dst) || !factorOk(desc.srcAlpha) ||
                        !factorOk(desc.dstAlpha) || !opOk(desc.op) || !opOk(desc.opAlpha)))
        return kInvalidArg;
    out = std::make_unique<BlendState>(desc);
    return kOk;
}

Result Device::createRasterizerState(const RasterizerDesc& desc, std::unique_ptr<RasterizerState>& out) {
    out.reset();
    if ((desc.fill != kFillSolid && desc.fill != kFillWireframe) || desc.cull < kCullNone || desc.cull > kCullBack)
        return kInvalidArg;
    out = std::make_unique<RasterizerState>(desc);
    return kOk;
}

Result Device::createSamplerState(const SamplerDesc& desc, std::unique_ptr<SamplerState>& out) {
    out.reset();
    auto address = [](uint8_t a, VkSamplerAddressMode& m) {
        switch (a) {
        case kAddressWrap: m = VK_SAMPLER_ADDRESS_MODE_REPEAT; return true;
        case kAddressMirror: m = VK_SAMPLER_ADDRESS_MODE_MIRRORED_REPEAT; return true;
        case kAddressClamp: m = VK_SAMPLER_ADDRESS_MODE_CLAMP_TO_EDGE; return true;
        case kAddressBorder: m = VK_SAMPLER_ADDRESS_MODE_CLAMP_TO_BORDER; return true;
        case kAddressMirrorOnce: m = VK_SAMPLER_ADDRESS_MODE_MIRROR_CLAMP_TO_EDGE; return true;
        default: return false;
        }
    };
    VkSamplerCreateInfo ci{VK_STRUCTURE_TYPE_SAMPLER_CREATE_INFO};
    if (desc.filter != kFilterPoint && desc.filter != kFilterLinear) return kInvalidArg;
    if (!address(desc.addressU, ci.addressModeU) || !address(desc.addressV, ci.addressModeV) ||
        !address(desc.addressW, ci.addressModeW))
        return kInvalidArg;
    const VkFilter filter = desc.filter == kFilterLinear ? VK_FILTER_LINEAR : VK_FILTER_NEAREST;
    ci.magFilter = ci.minFilter = filter;
    ci.mipmapMode = desc.filter == kFilterLinear ? VK_SAMPLER_MIPMAP_MODE_LINEAR : VK_SAMPLER_MIPMAP_MODE_NEAREST;
    ci.compareOp = VK_COMPARE_OP_ALWAYS;
    ci.minLod = 0;
    ci.maxLod = 0;
    const float* b = desc.border;
    if (b[3] == 0)
        ci.borderColor = VK_BORDER_COLOR_FLOAT_TRANSPARENT_BLACK;
    else if (b[0] == 0 && b[1] == 0 && b[2] == 0)
        ci.borderColor = VK_BORDER_COLOR_FLOAT_OPAQUE_BLACK;
    else
        ci.borderColor = VK_BORDER_COLOR_FLOAT_OPAQUE_WHITE;
    std::unique_ptr<SamplerState> s(new SamplerState(*this, desc));
    VkResult vr = vkCreateSampler(device_, &ci, nullptr, &s->sampler_);
    if (vr != VK_SUCCESS) return resultFromVulkan(vr);
    out = std::move(s);
    return kOk;
}

void Device::retire(const Retired& objects) {
    // Work being recorded may still use the objects; work submitted before it
    // may too, until it completes.
    // The flag is read before the serial: a submission ends by raising the
    // serial and then clearing the flag, so a flag seen clear comes with the
    // serial after the one just submitted, never the one before it.
    Retired r = objects;
    const bool recording = recording_.load();
    const uint64_t serial = recordingSerial_.load();
    r.serial = recording ? serial : serial - 1;
    {
        Platform::os::MutexLock lock(retireMutex_);
        retired_.push_back(r);
    }
    collectRetired();
}

void Device::destroyRetired(const Retired& r) {
    for (VkImageView v : r.views) {
        if (v) vkDestroyImageView(device_, v, nullptr);
    }
    if (r.image) vkDestroyImage(device_, r.image, nullptr);
    if (r.buffer) vkDestroyBuffer(device_, r.buffer, nullptr);
    if (r.memory) vkFreeMemory(device_, r.memory, nullptr);
    if (r.sampler) vkDestroySampler(device_, r.sampler, nullptr);
    if (r.pipeline) vkDestroyPipeline(device_, r.pipeline, nullptr);
    if (r.pipelineLayout) vkDestroyPipelineLayout(device_, r.pipelineLayout, nullptr);
    if (r.setLayout) vkDestroyDescriptorSetLayout(device_, r.setLayout, nullptr);
}

void Device::collectRetired() {
    const uint64_t done = completedSerial_.load();
    Platform::os::MutexLock lock(retireMutex_);
    size_t keep = 0;
    for (size_t i = 0; i < retired_.size(); ++i) {
        if (retired_[i].serial <= done)
            destroyRetired(retired_[i]);
        else
            retired_[keep++] = retired_[i];
    }
    retired_.resize(keep);
}

void Device::addValidationMessage(const char* text) {
    Platform::os::MutexLock lock(messageMutex_);
    ++messageCount_;
    if (messages_.size() < 16384) {
        messages_ += text;
        messages_ += '\n';
    }
}

uint32_t Device::validationMessageCount() const {
    Platform::os::MutexLock lock(messageMutex_);
    return messageCount_;
}

std::string Device::validationMessages() const {
    Platform::os::MutexLock lock(messageMutex_);
    return messages_;
}

void Device::clearValidationMessages() {
    Platform::os::MutexLock lock(messageMutex_);
    messageCount_ = 0;
    messages_.clear();
}

}  // namespace Platform::gpu
