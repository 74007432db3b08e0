#include "platform/gpu/PipelineCache.h"

#include <cctype>
#include <cstring>
#include <vulkan/vulkan.h>

#include "platform/gpu/Device.h"
#include "platform/gpu/InputLayout.h"
#include "platform/gpu/Shader.h"
#include "platform/gpu/SpirvPatch.h"

namespace Platform::gpu {
namespace {

VkBlendFactor blendFactor(uint8_t f) {
    switch (f) {
    case kBlendZero: return VK_BLEND_FACTOR_ZERO;
    case kBlendOne: return VK_BLEND_FACTOR_ONE;
    case kBlendSrcColor: return VK_BLEND_FACTOR_SRC_COLOR;
    case kBlendInvSrcColor: return VK_BLEND_FACTOR_ONE_MINUS_SRC_COLOR;
    case kBlendSrcAlpha: return VK_BLEND_FACTOR_SRC_ALPHA;
    case kBlendInvSrcAlpha: return VK_BLEND_FACTOR_ONE_MINUS_SRC_ALPHA;
    case kBlendDestAlpha: return VK_BLEND_FACTOR_DST_ALPHA;
    case kBlendInvDestAlpha: return VK_BLEND_FACTOR_ONE_MINUS_DST_ALPHA;
    case kBlendDestColor: return VK_BLEND_FACTOR_DST_COLOR;
    case kBlendInvDestColor: return VK_BLEND_FACTOR_ONE_MINUS_DST_COLOR;
    case kBlendSrcAlphaSat: return VK_BLEND_FACTOR_SRC_ALPHA_SATURATE;
    case kBlendFactor: return VK_BLEND_FACTOR_CONSTANT_COLOR;
    case kBlendInvBlendFactor: return VK_BLEND_FACTOR_ONE_MINUS_CONSTANT_COLOR;
    case kBlendSrc1Color: return VK_BLEND_FACTOR_SRC1_COLOR;
    case kBlendInvSrc1Color: return VK_BLEND_FACTOR_ONE_MINUS_SRC1_COLOR;
    case kBlendSrc1Alpha: return VK_BLEND_FACTOR_SRC1_ALPHA;
    case kBlendInvSrc1Alpha: return VK_BLEND_FACTOR_ONE_MINUS_SRC1_ALPHA;
    default: return VK_BLEND_FACTOR_ZERO;
    }
}

VkBlendOp blendOp(uint8_t op) {
    switch (op) {
    case kBlendOpSubtract: return VK_BLEND_OP_SUBTRACT;
    case kBlendOpRevSubtract: return VK_BLEND_OP_REVERSE_SUBTRACT;
    case kBlendOpMin: return VK_BLEND_OP_MIN;
    case kBlendOpMax: return VK_BLEND_OP_MAX;
    default: return VK_BLEND_OP_ADD;
    }
}

VkDescriptorType descriptorType(ResourceKind k) {
    switch (k) {
    case ResourceKind::ConstantBuffer: return VK_DESCRIPTOR_TYPE_UNIFORM_BUFFER;
    case ResourceKind::Texture: return VK_DESCRIPTOR_TYPE_SAMPLED_IMAGE;
    case ResourceKind::Sampler: return VK_DESCRIPTOR_TYPE_SAMPLER;
    case ResourceKind::UnorderedAccess: return VK_DESCRIPTOR_TYPE_STORAGE_IMAGE;
    }
    return VK_DESCRIPTOR_TYPE_SAMPLER;
}

VkShaderStageFlags stageFlag(ShaderStage s) {
    switch (s) {
    case ShaderStage::Vertex: return VK_SHADER_STAGE_VERTEX_BIT;
    case ShaderStage::Pixel: return VK_SHADER_STAGE_FRAGMENT_BIT;
    case ShaderStage::Compute: return VK_SHADER_STAGE_COMPUTE_BIT;
    }
    return 0;
}

bool sameSemantic(const std::string& upper, const std::string& name) {
    if (upper.size() != name.size()) return false;
    for (size_t i = 0; i < name.size(); ++i) {
        if (upper[i] != std::toupper(static_cast<unsigned char>(name[i]))) return false;
    }
    return true;
}

void addBindings(const Shader& s, std::vector<PipelineBinding>& out) {
    for (const ShaderBinding& b : s.reflection().bindings) out.push_back({b.binding, b.kind, s.stage(), b.slot});
}

// Storage images read with the format of the view bound to them.
void patchStorageFormats(const Shader& s, const uint32_t* uavFormats, std::vector<uint32_t>& words) {
    for (const ShaderBinding& b : s.reflection().bindings) {
        if (b.kind != ResourceKind::UnorderedAccess || b.slot >= kMaxUnorderedAccessSlots) continue;
        const uint32_t f = SpirvPatch::imageFormatOf(uavFormats[b.slot]);
        if (f) SpirvPatch::setStorageImageFormat(words, b.id, f);
    }
}

VkShaderModule makeModule(VkDevice d, const std::vector<uint32_t>& words) {
    VkShaderModuleCreateInfo ci{VK_STRUCTURE_TYPE_SHADER_MODULE_CREATE_INFO};
    ci.codeSize = words.size() * 4;
    ci.pCode = words.data();
    VkShaderModule m = VK_NULL_HANDLE;
    if (vkCreateShaderModule(d, &ci, nullptr, &m) != VK_SUCCESS) return VK_NULL_HANDLE;
    return m;
}

// The pipeline already made for the key, or null; the caller holds the lock.
template <class Map>
const Pipeline* cached(const Map& map, const PipelineKey& key) {
    auto found = map.find(key);
    return found != map.end() ? found->second.get() : nullptr;
}

}  // namespace

size_t PipelineCache::Hash::operator()(const PipelineKey& k) const {
    const auto* p = reinterpret_cast<const unsigned char*>(&k);
    uint64_t h = 1469598103934665603ull;
    for (size_t i = 0; i < sizeof k; ++i) h = (h ^ p[i]) * 1099511628211ull;
    return static_cast<size_t>(h);
}

bool PipelineCache::Equal::operator()(const PipelineKey& a, const PipelineKey& b) const {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

PipelineCache::~PipelineCache() {
    for (auto& [key, p] : map_) destroy(*p);
}

void PipelineCache::destroy(Pipeline& p) {
    VkDevice d = device_.vkDevice();
    if (p.pipeline) vkDestroyPipeline(d, p.pipeline, nullptr);
    if (p.layout) vkDestroyPipelineLayout(d, p.layout, nullptr);
    if (p.setLayout) vkDestroyDescriptorSetLayout(d, p.setLayout, nullptr);
}

void PipelineCache::evict(uint64_t shaderId) {
    Platform::os::MutexLock lock(mutex_);
    for (auto it = map_.begin(); it != map_.end();) {
        if (it->second->shader0 == shaderId || it->second->shader1 == shaderId) {
            Device::Retired r;
            r.pipeline = it->second->pipeline;
            r.pipelineLayout = it->second->layout;
            r.setLayout = it->second->setLayout;
            device_.retire(r);
            it = map_.erase(it);
        } else {
            ++it;
        }
    }
}

Result PipelineCache::makeLayout(const std::vector<PipelineBinding>& bindings, Pipeline& p) {
    std::vector<VkDescriptorSetLayoutBinding> list;
    for (const PipelineBinding& b : bindings) {
        VkDescriptorSetLayoutBinding lb{};
        lb.binding = b.binding;
        lb.descriptorType = descriptorType(b.kind);
        lb.descriptorCount = 1;
        lb.stageFlags = stageFlag(b.stage);
        list.push_back(lb);
    }
    VkDescriptorSetLayoutCreateInfo sci{VK_STRUCTURE_TYPE_DESCRIPTOR_SET_LAYOUT_CREATE_INFO};
    sci.flags = VK_DESCRIPTOR_SET_LAYOUT_CREATE_PUSH_DESCRIPTOR_BIT_KHR;
    sci.bindingCount = static_cast<uint32_t>(list.size());
    sci.pBindings = list.data();
    VkDevice d = device_.vkDevice();
    VkResult vr = vkCreateDescriptorSetLayout(d, &sci, nullptr, &p.setLayout);
    if (vr != VK_SUCCESS) return resultFromVulkan(vr);
    VkPipelineLayoutCreateInfo lci{VK_STRUCTURE_TYPE_PIPELINE_LAYOUT_CREATE_INFO};
    lci.setLayoutCount = 1;
    lci.pSetLayouts = &p.setLayout;
    vr = vkCreatePipelineLayout(d, &lci, nullptr, &p.layout);
    p.bindings = bindings;
    return resultFromVulkan(vr);
}

Result PipelineCache::keep(const PipelineKey& key, std::unique_ptr<Pipeline> p, int32_t vr, const Pipeline*& out) {
    if (vr != VK_SUCCESS) {
        destroy(*p);
        return vr == VK_ERROR_INITIALIZATION_FAILED ? kFail : resultFromVulkan(vr);
    }
    out = p.get();
    map_.emplace(key, std::move(p));
    return kOk;
}

Result PipelineCache::graphics(const PipelineKey& key, const Shader& vs, const Shader& ps, const InputLayout* layout,
                               const Pipeline*& out) {
    out = nullptr;
    Platform::os::MutexLock lock(mutex_);
    if ((out = cached(map_, key))) return kOk;
    auto p = std::make_unique<Pipeline>();
    p->shader0 = vs.id();
    p->shader1 = ps.id();
    std::vector<PipelineBinding> bindings;
    addBindings(vs, bindings);
    addBindings(ps, bindings);
    Result r = makeLayout(bindings, *p);
    if (failed(r)) {
        destroy(*p);
        return r;
    }

    // Pixel inputs take the locations of the vertex outputs of the same semantic.
    std::vector<uint32_t> vsWords = vs.spirv();
    std::vector<uint32_t> psWords = ps.spirv();
    for (const InterfaceVariable& in : ps.reflection().stageInputs) {
        for (const InterfaceVariable& o : vs.reflection().stageOutputs) {
            if (o.semantic == in.semantic && o.semanticIndex == in.semanticIndex) {
                SpirvPatch::setLocation(psWords, in.id, o.location);
                break;
            }
        }
    }
    if (key.dualSource) {
        for (const InterfaceVariable& o : ps.reflection().stageOutputs) {
            if (o.location == 1) {
                SpirvPatch::setLocation(psWords, o.id, 0);
                SpirvPatch::addIndex(psWords, o.id, 1);
            } else if (o.location == 0) {
                SpirvPatch::addIndex(psWords, o.id, 0);
            }
        }
    }
    patchStorageFormats(ps, key.uavFormats, psWords);

    VkDevice d = device_.vkDevice();
    VkShaderModule vsModule = makeModule(d, vsWords);
    VkShaderModule psModule = makeModule(d, psWords);
    VkPipelineShaderStageCreateInfo stages[2] = {{VK_STRUCTURE_TYPE_PIPELINE_SHADER_STAGE_CREATE_INFO},
                                                 {VK_STRUCTURE_TYPE_PIPELINE_SHADER_STAGE_CREATE_INFO}};
    stages[0].stage = VK_SHADER_STAGE_VERTEX_BIT;
    stages[0].module = vsModule;
    stages[0].pName = "main";
    stages[1].stage = VK_SHADER_STAGE_FRAGMENT_BIT;
    stages[1].module = psModule;
    stages[1].pName = "main";

    std::vector<VkVertexInputAttributeDescription> attributes;
    if (layout) {
        for (const InputElement& e : layout->elements()) {
            for (const InterfaceVariable& in : vs.reflection().stageInputs) {
                if (sameSemantic(in.semantic, e.semanticName) && in.semanticIndex == e.semanticIndex) {
                    attributes.push_back(
                        {in.location, 0, static_cast<VkFormat>(InputLayout::vulkanFormat(e.format)), e.offset});
                    break;
                }
            }
        }
    }
    VkVertexInputBindingDescription binding{0, 0, VK_VERTEX_INPUT_RATE_VERTEX};
    VkPipelineVertexInputStateCreateInfo vi{VK_STRUCTURE_TYPE_PIPELINE_VERTEX_INPUT_STATE_CREATE_INFO};
    if (layout) {
        vi.vertexBindingDescriptionCount = 1;
        vi.pVertexBindingDescriptions = &binding;
        vi.vertexAttributeDescriptionCount = static_cast<uint32_t>(attributes.size());
        vi.pVertexAttributeDescriptions = attributes.data();
    }
    VkPipelineInputAssemblyStateCreateInfo ia{VK_STRUCTURE_TYPE_PIPELINE_INPUT_ASSEMBLY_STATE_CREATE_INFO};
    ia.topology = key.topology == 5 ? VK_PRIMITIVE_TOPOLOGY_TRIANGLE_STRIP : VK_PRIMITIVE_TOPOLOGY_TRIANGLE_LIST;
    VkPipelineViewportStateCreateInfo vp{VK_STRUCTURE_TYPE_PIPELINE_VIEWPORT_STATE_CREATE_INFO};
    vp.viewportCount = 1;
    vp.scissorCount = 1;
    VkPipelineRasterizationStateCreateInfo rs{VK_STRUCTURE_TYPE_PIPELINE_RASTERIZATION_STATE_CREATE_INFO};
    rs.polygonMode = key.rasterizer.fill == kFillWireframe ? VK_POLYGON_MODE_LINE : VK_POLYGON_MODE_FILL;
    rs.cullMode = key.rasterizer.cull == kCullBack    ? VK_CULL_MODE_BACK_BIT
                  : key.rasterizer.cull == kCullFront ? VK_CULL_MODE_FRONT_BIT
                                                      : VK_CULL_MODE_NONE;
    // The viewport is flipped to the program's orientation, so the winding seen
    // on the target is the program's.
    rs.frontFace = key.rasterizer.frontCounterClockwise ? VK_FRONT_FACE_COUNTER_CLOCKWISE : VK_FRONT_FACE_CLOCKWISE;
    rs.lineWidth = 1.0f;
    VkPipelineMultisampleStateCreateInfo ms{VK_STRUCTURE_TYPE_PIPELINE_MULTISAMPLE_STATE_CREATE_INFO};
    ms.rasterizationSamples = static_cast<VkSampleCountFlagBits>(key.samples ? key.samples : 1);
    VkPipelineColorBlendAttachmentState att{};
    att.blendEnable = key.blend.enable ? VK_TRUE : VK_FALSE;
    att.srcColorBlendFactor = blendFactor(key.blend.src);
    att.dstColorBlendFactor = blendFactor(key.blend.dst);
    att.colorBlendOp = blendOp(key.blend.op);
    att.srcAlphaBlendFactor = blendFactor(key.blend.srcAlpha);
    att.dstAlphaBlendFactor = blendFactor(key.blend.dstAlpha);
    att.alphaBlendOp = blendOp(key.blend.opAlpha);
    att.colorWriteMask = key.blend.writeMask & 0xF;
    VkPipelineColorBlendStateCreateInfo cb{VK_STRUCTURE_TYPE_PIPELINE_COLOR_BLEND_STATE_CREATE_INFO};
    cb.attachmentCount = 1;
    cb.pAttachments = &att;
    const VkDynamicState dynamic[] = {VK_DYNAMIC_STATE_VIEWPORT, VK_DYNAMIC_STATE_SCISSOR,
                                      VK_DYNAMIC_STATE_BLEND_CONSTANTS, VK_DYNAMIC_STATE_VERTEX_INPUT_BINDING_STRIDE};
    VkPipelineDynamicStateCreateInfo ds{VK_STRUCTURE_TYPE_PIPELINE_DYNAMIC_STATE_CREATE_INFO};
    ds.dynamicStateCount = layout ? 4 : 3;
    ds.pDynamicStates = dynamic;
    const VkFormat colorFormat = static_cast<VkFormat>(key.targetFormat);
    VkPipelineRenderingCreateInfo rendering{VK_STRUCTURE_TYPE_PIPELINE_RENDERING_CREATE_INFO};
    rendering.colorAttachmentCount = 1;
    rendering.pColorAttachmentFormats = &colorFormat;
    VkGraphicsPipelineCreateInfo gci{VK_STRUCTURE_TYPE_GRAPHICS_PIPELINE_CREATE_INFO};
    gci.pNext = &rendering;
    gci.stageCount = 2;
    gci.pStages = stages;
    gci.pVertexInputState = &vi;
    gci.pInputAssemblyState = &ia;
    gci.pViewportState = &vp;
    gci.pRasterizationState = &rs;
    gci.pMultisampleState = &ms;
    gci.pColorBlendState = &cb;
    gci.pDynamicState = &ds;
    gci.layout = p->layout;
    VkResult vr = (vsModule && psModule) ? vkCreateGraphicsPipelines(d, VK_NULL_HANDLE, 1, &gci, nullptr, &p->pipeline)
                                         : VK_ERROR_INITIALIZATION_FAILED;
    if (vsModule) vkDestroyShaderModule(d, vsModule, nullptr);
    if (psModule) vkDestroyShaderModule(d, psModule, nullptr);
    return keep(key, std::move(p), vr, out);
}

Result PipelineCache::compute(const PipelineKey& key, const Shader& cs, const Pipeline*& out) {
    out = nullptr;
    Platform::os::MutexLock lock(mutex_);
    if ((out = cached(map_, key))) return kOk;
    auto p = std::make_unique<Pipeline>();
    p->shader0 = cs.id();
    std::vector<PipelineBinding> bindings;
    addBindings(cs, bindings);
    Result r = makeLayout(bindings, *p);
    if (failed(r)) {
        destroy(*p);
        return r;
    }
    std::vector<uint32_t> words = cs.spirv();
    patchStorageFormats(cs, key.uavFormats, words);
    VkDevice d = device_.vkDevice();
    VkShaderModule module = makeModule(d, words);
    VkComputePipelineCreateInfo ci{VK_STRUCTURE_TYPE_COMPUTE_PIPELINE_CREATE_INFO};
    ci.stage.sType = VK_STRUCTURE_TYPE_PIPELINE_SHADER_STAGE_CREATE_INFO;
    ci.stage.stage = VK_SHADER_STAGE_COMPUTE_BIT;
    ci.stage.module = module;
    ci.stage.pName = "main";
    ci.layout = p->layout;
    VkResult vr = module ? vkCreateComputePipelines(d, VK_NULL_HANDLE, 1, &ci, nullptr, &p->pipeline)
                         : VK_ERROR_INITIALIZATION_FAILED;
    if (module) vkDestroyShaderModule(d, module, nullptr);
    return keep(key, std::move(p), vr, out);
}

}  // namespace Platform::gpu
