#pragma once
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/gpu/BlendState.h"
#include "platform/gpu/Buffer.h"
#include "platform/gpu/InputLayout.h"
#include "platform/gpu/RasterizerState.h"
#include "platform/gpu/SamplerState.h"
#include "platform/gpu/Shader.h"
#include "platform/gpu/StagingTexture.h"
#include "platform/gpu/Texture.h"
#include "platform/gpu/VulkanFwd.h"
#include "platform/os/Result.h"
#include "platform/os/ThreadSafety.h"

namespace Platform::gpu {

class Context;
class PipelineCache;

struct DeviceOptions {
    // Load the validation layer and collect its messages (tests).
    bool validation = false;
    // Keep rasterizer-ordered views in order by drawing quad by quad even where
    // the driver already runs fragments in order (tests of that path).
    bool orderByDraws = false;
};

// Answer bits of checkFormatSupport, with the numbers the program knows.
inline constexpr uint32_t kFormatSupportTexture2D = 0x20;
inline constexpr uint32_t kFormatSupportShaderLoad = 0x100;
inline constexpr uint32_t kFormatSupportShaderSample = 0x200;
inline constexpr uint32_t kFormatSupportRenderTarget = 0x4000;
inline constexpr uint32_t kFormatSupportBlendable = 0x8000;
inline constexpr uint32_t kFormatSupportCpuLockable = 0x20000;
inline constexpr uint32_t kFormatSupportMultisampleResolve = 0x40000;
inline constexpr uint32_t kFormatSupportMultisampleRenderTarget = 0x200000;
inline constexpr uint32_t kFormatSupportTypedUnorderedAccess = 0x2000000;

// The feature level the program asks for; the layer offers exactly it.
inline constexpr uint32_t kFeatureLevel11_1 = 0xb100;

// Result of a lost device.
inline constexpr Result kDeviceRemoved = static_cast<Result>(0x887A0005u);

// The graphics device: a real GPU when one is present, else Mesa's software
// driver. Creating objects is thread-safe; the immediate context it owns is used
// by one thread at a time.
class Device {
public:
    static Result create(const DeviceOptions& options, std::unique_ptr<Device>& out);
    ~Device();
    Device(const Device&) = delete;
    Device& operator=(const Device&) = delete;

    Context& context() { return *context_; }

    const std::string& adapterName() const { return adapterName_; }
    bool isSoftware() const { return software_; }
    uint32_t featureLevel() const { return kFeatureLevel11_1; }
    // Rasterizer-ordered views work on every device: the software driver runs
    // the fragments of a pixel in order, elsewhere the context draws quad by quad.
    bool rasterizerOrderedViews() const { return true; }
    // Draws with rasterizer-ordered views go quad by quad.
    bool ordersByDraws() const { return orderByDraws_; }

    Result checkFormatSupport(int32_t format, uint32_t& support) const;
    bool linearFilterSupported(int32_t format) const;

    // Textures: width and height 1..16384, a known format, sample count 1 or one the
    // device renders with (then render target only). Initial data only for count 1.
    Result createTexture(const TextureDesc& desc, const InitialData* initial, std::unique_ptr<Texture>& out);
    Result createStagingTexture(uint32_t width, uint32_t height, int32_t format, std::unique_ptr<StagingTexture>& out);
    // Constant buffers: a size that is a non-zero multiple of 16.
    Result createBuffer(BufferKind kind, uint32_t size, const void* initialData, std::unique_ptr<Buffer>& out);

    // Shaders from the layer's shader code (HlslCompiler, the built-in shaders).
    // Fails with kInvalidArg when the code is not of the expected stage.
    Result createShader(ShaderStage stage, const void* code, size_t length, std::unique_ptr<Shader>& out);
    // Elements fed to a vertex shader; every input of the shader needs one.
    Result createInputLayout(const InputElement* elements, uint32_t count, const void* vertexCode, size_t length,
                             std::unique_ptr<InputLayout>& out);
    Result createBlendState(const BlendDesc& desc, std::unique_ptr<BlendState>& out);
    Result createRasterizerState(const RasterizerDesc& desc, std::unique_ptr<RasterizerState>& out);
    Result createSamplerState(const SamplerDesc& desc, std::unique_ptr<SamplerState>& out);

    // Any thread: waits until the context's submission with the ticket (from
    // Context::submitReadBack) has run, then gives the staging texture's rows.
    // kInvalidArg for a ticket not yet submitted; kDeviceRemoved when the
    // device is lost. The caller reads the staging texture alone meanwhile.
    Result mapSubmitted(StagingTexture& staging, uint64_t ticket, MappedTexture& out);

    // Validation messages collected since the last clear (DeviceOptions::validation).
    bool validationEnabled() const { return validationEnabled_; }
    uint32_t validationMessageCount() const;
    std::string validationMessages() const;
    void clearValidationMessages();

    // Inside the layer.
    VkDevice vkDevice() const { return device_; }
    VkPhysicalDevice vkPhysicalDevice() const { return physical_; }
    VkQueue queue() const REQUIRES(queueMutex_) { return queue_; }
    uint32_t queueFamily() const { return queueFamily_; }
    Platform::os::Mutex& queueMutex() RETURN_CAPABILITY(queueMutex_) { return queueMutex_; }
    // A memory type index with the wanted property flags (or -1).
    int32_t memoryType(uint32_t typeBits, uint32_t wanted) const;
    bool memoryTypeCoherent(int32_t type) const;
    uint32_t maxSampleCountMask() const { return sampleCounts_; }
    // Serial of the submission being recorded (objects destroyed now may be used by
    // it) and the newest serial known to be complete.
    std::atomic<uint64_t>& recordingSerial() { return recordingSerial_; }
    std::atomic<uint64_t>& completedSerial() { return completedSerial_; }
    // Whether the context has a submission open for recording.
    std::atomic<bool>& recording() { return recording_; }
    // Device objects whose destruction waits until the GPU is done with them.
    struct Retired {
        uint64_t serial = 0;
        VkImage image = nullptr;
        VkImageView views[3] = {};
        VkBuffer buffer = nullptr;
        VkDeviceMemory memory = nullptr;
        VkSampler sampler = nullptr;
        VkPipeline pipeline = nullptr;
        VkPipelineLayout pipelineLayout = nullptr;
        VkDescriptorSetLayout setLayout = nullptr;
    };
    PipelineCache& pipelineCache() { return *pipelines_; }
    void (*pushDescriptorFunction() const)() { return pushDescriptor_; }
    void retire(const Retired& objects);
    // Reaches each serial when the context's submission of that serial is done.
    VkSemaphore submissionTimeline() const { return timeline_; }
    void collectRetired();
    void waitUpload(uint64_t ticket);
    void addValidationMessage(const char* text);

private:
    Device() = default;
    Result init(const DeviceOptions& options);
    Result upload(Texture& texture, const InitialData& initial);
    void reclaimUploads(bool wait) REQUIRES(uploadMutex_);
    void destroyRetired(const Retired& r);

    VkInstance instance_ = nullptr;
    VkDebugUtilsMessengerEXT messenger_ = nullptr;
    VkPhysicalDevice physical_ = nullptr;
    VkDevice device_ = nullptr;
    mutable Platform::os::Mutex queueMutex_;
    VkQueue queue_ GUARDED_BY(queueMutex_) = nullptr;
    uint32_t queueFamily_ = 0;
    std::string adapterName_;
    bool software_ = false;
    bool validationEnabled_ = false;
    bool orderByDraws_ = false;
    uint32_t sampleCounts_ = 1;
    struct MemoryTypes;
    std::unique_ptr<MemoryTypes> memoryTypes_;
    std::atomic<uint64_t> recordingSerial_{1};
    std::atomic<uint64_t> completedSerial_{0};
    std::atomic<bool> recording_{false};
    VkSemaphore timeline_ = nullptr;

    Platform::os::Mutex retireMutex_;
    std::vector<Retired> retired_ GUARDED_BY(retireMutex_);

    struct Upload {
        uint64_t ticket;
        VkFence fence;
        VkCommandBuffer commands;
        VkBuffer buffer;
        VkDeviceMemory memory;
        uint64_t size;
        void* mapped;
    };
    // Staging memory of finished uploads, kept for the next ones (a source
    // uploads a frame of the same size again and again).
    struct SpareUpload {
        VkBuffer buffer;
        VkDeviceMemory memory;
        uint64_t size;
        void* mapped;
    };
    void releaseUploadMemory(VkBuffer buffer, VkDeviceMemory memory, uint64_t size, void* mapped)
        REQUIRES(uploadMutex_);
    Platform::os::Mutex uploadMutex_;
    std::vector<SpareUpload> spareUploads_ GUARDED_BY(uploadMutex_);
    VkCommandPool uploadPool_ GUARDED_BY(uploadMutex_) = nullptr;
    std::vector<Upload> uploads_ GUARDED_BY(uploadMutex_);
    uint64_t nextTicket_ GUARDED_BY(uploadMutex_) = 1;

    mutable Platform::os::Mutex messageMutex_;
    uint32_t messageCount_ GUARDED_BY(messageMutex_) = 0;
    std::string messages_ GUARDED_BY(messageMutex_);

    std::atomic<uint64_t> nextObjectId_{1};
    void (*pushDescriptor_)() = nullptr;
    std::unique_ptr<PipelineCache> pipelines_;
    std::unique_ptr<Context> context_;
};

// A Vulkan result as the layer's result code.
Result resultFromVulkan(int32_t vkResult);

}  // namespace Platform::gpu
