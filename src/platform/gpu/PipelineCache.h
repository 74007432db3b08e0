#pragma once
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

#include "platform/gpu/BlendState.h"
#include "platform/gpu/RasterizerState.h"
#include "platform/gpu/ShaderReflection.h"
#include "platform/gpu/VulkanFwd.h"
#include "platform/os/Result.h"
#include "platform/os/ThreadSafety.h"

namespace Platform::gpu {

class Device;
class InputLayout;
class Shader;

inline constexpr uint32_t kMaxUnorderedAccessSlots = 8;

// Everything a pipeline is built from, compared bytewise (it has no implicit padding).
struct PipelineKey {
    uint64_t shader0 = 0;  // vertex or compute shader
    uint64_t shader1 = 0;  // pixel shader
    uint64_t layout = 0;
    BlendDesc blend;
    RasterizerDesc rasterizer;
    uint8_t dualSource = 0;
    uint8_t padding[4] = {};
    uint32_t targetFormat = 0;
    uint32_t samples = 0;
    uint32_t topology = 0;
    uint32_t uavFormats[kMaxUnorderedAccessSlots] = {};  // Vulkan formats of the bound UAVs
    uint32_t padding2 = 0;
};
static_assert(sizeof(PipelineKey) == 88, "PipelineKey must have no implicit padding");

struct PipelineBinding {
    uint32_t binding;
    ResourceKind kind;
    ShaderStage stage;
    uint32_t slot;
};

struct Pipeline {
    VkPipeline pipeline = nullptr;
    VkPipelineLayout layout = nullptr;
    VkDescriptorSetLayout setLayout = nullptr;
    std::vector<PipelineBinding> bindings;  // only what the shaders use
    uint64_t shader0 = 0, shader1 = 0;
};

// Pipelines made on first use and kept until one of their shaders goes.
class PipelineCache {
public:
    explicit PipelineCache(Device& device) : device_(device) {}
    ~PipelineCache();
    PipelineCache(const PipelineCache&) = delete;
    PipelineCache& operator=(const PipelineCache&) = delete;

    Result graphics(const PipelineKey& key, const Shader& vs, const Shader& ps, const InputLayout* layout,
                    const Pipeline*& out);
    Result compute(const PipelineKey& key, const Shader& cs, const Pipeline*& out);
    void evict(uint64_t shaderId);

private:
    struct Hash {
        size_t operator()(const PipelineKey& k) const;
    };
    struct Equal {
        bool operator()(const PipelineKey& a, const PipelineKey& b) const;
    };
    Result makeLayout(const std::vector<PipelineBinding>& bindings, Pipeline& p);
    void destroy(Pipeline& p);
    // Keeps the pipeline made with result vr for the key, or destroys it when that failed.
    Result keep(const PipelineKey& key, std::unique_ptr<Pipeline> p, int32_t vr, const Pipeline*& out) REQUIRES(mutex_);

    Device& device_;
    Platform::os::Mutex mutex_;
    std::unordered_map<PipelineKey, std::unique_ptr<Pipeline>, Hash, Equal> map_ GUARDED_BY(mutex_);
};

}  // namespace Platform::gpu
