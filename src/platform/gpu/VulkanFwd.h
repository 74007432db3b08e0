#pragma once
// Vulkan handle types for the layer's headers, so that code using the layer
// does not pull in the whole Vulkan header. The declarations are those of
// <vulkan/vulkan_core.h> on 64-bit targets (handles are pointers there).
struct VkInstance_T;
struct VkPhysicalDevice_T;
struct VkDevice_T;
struct VkQueue_T;
struct VkCommandBuffer_T;
struct VkCommandPool_T;
struct VkFence_T;
struct VkSemaphore_T;
struct VkImage_T;
struct VkImageView_T;
struct VkBuffer_T;
struct VkDeviceMemory_T;
struct VkDebugUtilsMessengerEXT_T;
struct VkShaderModule_T;
struct VkPipeline_T;
struct VkPipelineLayout_T;
struct VkDescriptorSetLayout_T;
struct VkSampler_T;
typedef VkInstance_T* VkInstance;
typedef VkPhysicalDevice_T* VkPhysicalDevice;
typedef VkDevice_T* VkDevice;
typedef VkQueue_T* VkQueue;
typedef VkCommandBuffer_T* VkCommandBuffer;
typedef VkCommandPool_T* VkCommandPool;
typedef VkFence_T* VkFence;
typedef VkSemaphore_T* VkSemaphore;
typedef VkImage_T* VkImage;
typedef VkImageView_T* VkImageView;
typedef VkBuffer_T* VkBuffer;
typedef VkDeviceMemory_T* VkDeviceMemory;
typedef VkDebugUtilsMessengerEXT_T* VkDebugUtilsMessengerEXT;
typedef VkShaderModule_T* VkShaderModule;
typedef VkPipeline_T* VkPipeline;
typedef VkPipelineLayout_T* VkPipelineLayout;
typedef VkDescriptorSetLayout_T* VkDescriptorSetLayout;
typedef VkSampler_T* VkSampler;
