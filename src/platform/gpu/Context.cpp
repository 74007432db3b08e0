#include "platform/gpu/Context.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <vulkan/vulkan.h>

#include "platform/gpu/Device.h"
#include "platform/gpu/PipelineCache.h"

namespace Platform::gpu {
namespace {

// A submission is sent on its own once it holds this many operations or this
// much upload data, so memory stays bounded when nothing syncs for a while.
constexpr uint32_t kAutoFlushCommands = 4096;
constexpr uint64_t kAutoFlushBytes = 64u << 20;

struct RoleUse {
    VkImageLayout layout;
    VkPipelineStageFlags2 stages;
    VkAccessFlags2 access;
    bool write;
};

RoleUse roleUse(Context::Role role) {
    switch (role) {
    case Context::Role::CopySource:
        return {VK_IMAGE_LAYOUT_TRANSFER_SRC_OPTIMAL, VK_PIPELINE_STAGE_2_ALL_TRANSFER_BIT,
                VK_ACCESS_2_TRANSFER_READ_BIT, false};
    case Context::Role::CopyDestination:
        return {VK_IMAGE_LAYOUT_TRANSFER_DST_OPTIMAL, VK_PIPELINE_STAGE_2_ALL_TRANSFER_BIT,
                VK_ACCESS_2_TRANSFER_WRITE_BIT, true};
    case Context::Role::ShaderRead:
        // Vertex shaders may read textures too.
        return {VK_IMAGE_LAYOUT_SHADER_READ_ONLY_OPTIMAL,
                VK_PIPELINE_STAGE_2_VERTEX_SHADER_BIT | VK_PIPELINE_STAGE_2_FRAGMENT_SHADER_BIT |
                    VK_PIPELINE_STAGE_2_COMPUTE_SHADER_BIT,
                VK_ACCESS_2_SHADER_SAMPLED_READ_BIT | VK_ACCESS_2_SHADER_STORAGE_READ_BIT, false};
    case Context::Role::RenderTarget:
        return {VK_IMAGE_LAYOUT_COLOR_ATTACHMENT_OPTIMAL, VK_PIPELINE_STAGE_2_COLOR_ATTACHMENT_OUTPUT_BIT,
                VK_ACCESS_2_COLOR_ATTACHMENT_READ_BIT | VK_ACCESS_2_COLOR_ATTACHMENT_WRITE_BIT, true};
    case Context::Role::UnorderedAccess:
        return {VK_IMAGE_LAYOUT_GENERAL,
                VK_PIPELINE_STAGE_2_FRAGMENT_SHADER_BIT | VK_PIPELINE_STAGE_2_COMPUTE_SHADER_BIT,
                VK_ACCESS_2_SHADER_STORAGE_READ_BIT | VK_ACCESS_2_SHADER_STORAGE_WRITE_BIT, true};
    }
    return {};
}

VkImageSubresourceLayers colorLayers() { return {VK_IMAGE_ASPECT_COLOR_BIT, 0, 0, 1}; }

// Records one copy of the region between the textures' colour layers.
void copyImage(Context& context, Texture& destination, Texture& source, VkImageCopy region) {
    VkCommandBuffer cmd = context.commands();
    context.endRendering();
    context.use(source, Context::Role::CopySource);
    context.use(destination, Context::Role::CopyDestination);
    region.srcSubresource = colorLayers();
    region.dstSubresource = colorLayers();
    vkCmdCopyImage(cmd, source.image(), VK_IMAGE_LAYOUT_TRANSFER_SRC_OPTIMAL, destination.image(),
                   VK_IMAGE_LAYOUT_TRANSFER_DST_OPTIMAL, 1, &region);
    context.countCommand();
}

// Texels that a bit-for-bit copy carries over unchanged in meaning: the same
// device format, or two of the 16-bit four-channel formats (one layout, as the
// program's platform copies them).
bool sameLayout(const FormatInfo& a, const FormatInfo& b) {
    return a.vkFormat == b.vkFormat || (a.gpuBytesPerPixel == 8 && b.gpuBytesPerPixel == 8);
}

// Whether the device converts between the two formats by a blit.
bool blittable(const Device& device, const FormatInfo& source, const FormatInfo& destination) {
    VkFormatProperties from, to;
    vkGetPhysicalDeviceFormatProperties(device.vkPhysicalDevice(), static_cast<VkFormat>(source.vkFormat), &from);
    vkGetPhysicalDeviceFormatProperties(device.vkPhysicalDevice(), static_cast<VkFormat>(destination.vkFormat), &to);
    return (from.optimalTilingFeatures & VK_FORMAT_FEATURE_BLIT_SRC_BIT) &&
           (to.optimalTilingFeatures & VK_FORMAT_FEATURE_BLIT_DST_BIT);
}

// A texel-for-texel conversion of two single-sample textures of one size.
void blitImage(Context& context, Texture& destination, Texture& source) {
    VkCommandBuffer cmd = context.commands();
    context.endRendering();
    context.use(source, Context::Role::CopySource);
    context.use(destination, Context::Role::CopyDestination);
    VkImageBlit region{};
    region.srcSubresource = colorLayers();
    region.dstSubresource = colorLayers();
    region.srcOffsets[1] = {static_cast<int32_t>(source.width()), static_cast<int32_t>(source.height()), 1};
    region.dstOffsets[1] = region.srcOffsets[1];
    vkCmdBlitImage(cmd, source.image(), VK_IMAGE_LAYOUT_TRANSFER_SRC_OPTIMAL, destination.image(),
                   VK_IMAGE_LAYOUT_TRANSFER_DST_OPTIMAL, 1, &region, VK_FILTER_NEAREST);
    context.countCommand();
}

}  // namespace

Context::Context(Device& device) : device_(device) {}

Context::~Context() {
    VkDevice d = device_.vkDevice();
    vkDeviceWaitIdle(d);
    if (recording_) vkEndCommandBuffer(slots_[current_].commands);
    for (Slot& s : slots_) {
        if (s.fence) vkDestroyFence(d, s.fence, nullptr);
        if (s.pool) vkDestroyCommandPool(d, s.pool, nullptr);
    }
    ring_.reset();
    defaultSampler_.reset();
}

Result Context::init() {
    VkDevice d = device_.vkDevice();
    for (Slot& s : slots_) {
        VkCommandPoolCreateInfo pci{VK_STRUCTURE_TYPE_COMMAND_POOL_CREATE_INFO};
        pci.flags = VK_COMMAND_POOL_CREATE_TRANSIENT_BIT;
        pci.queueFamilyIndex = device_.queueFamily();
        VkResult vr = vkCreateCommandPool(d, &pci, nullptr, &s.pool);
        if (vr != VK_SUCCESS) return resultFromVulkan(vr);
        VkCommandBufferAllocateInfo cai{VK_STRUCTURE_TYPE_COMMAND_BUFFER_ALLOCATE_INFO};
        cai.commandPool = s.pool;
        cai.level = VK_COMMAND_BUFFER_LEVEL_PRIMARY;
        cai.commandBufferCount = 1;
        vr = vkAllocateCommandBuffers(d, &cai, &s.commands);
        if (vr != VK_SUCCESS) return resultFromVulkan(vr);
        VkFenceCreateInfo fci{VK_STRUCTURE_TYPE_FENCE_CREATE_INFO};
        vr = vkCreateFence(d, &fci, nullptr, &s.fence);
        if (vr != VK_SUCCESS) return resultFromVulkan(vr);
    }
    ring_ = std::make_unique<UploadRing>(device_);
    // What a shader samples with when its slot is empty: linear, clamped.
    SamplerDesc sampler;
    return device_.createSamplerState(sampler, defaultSampler_);
}

void Context::markCompleted(uint64_t serial) {
    if (serial > completed_) completed_ = serial;
    device_.completedSerial().store(completed_);
    device_.collectRetired();
}

VkCommandBuffer Context::commands() {
    Slot& s = slots_[current_];
    if (recording_) return s.commands;
    VkDevice d = device_.vkDevice();
    if (s.submitted) {
        VkResult vr = vkWaitForFences(d, 1, &s.fence, VK_TRUE, UINT64_MAX);
        if (vr != VK_SUCCESS) error_ = resultFromVulkan(vr);
        vkResetFences(d, 1, &s.fence);
        s.submitted = false;
        markCompleted(s.serial);
        ring_->release(current_);
    }
    vkResetCommandPool(d, s.pool, 0);
    VkCommandBufferBeginInfo begin{VK_STRUCTURE_TYPE_COMMAND_BUFFER_BEGIN_INFO};
    begin.flags = VK_COMMAND_BUFFER_USAGE_ONE_TIME_SUBMIT_BIT;
    vkBeginCommandBuffer(s.commands, &begin);
    s.serial = serial_;
    recording_ = true;
    device_.recording().store(true);
    commandCount_ = 0;
    return s.commands;
}

void Context::countCommand() {
    if (++commandCount_ >= kAutoFlushCommands || ring_->bytesUsed(current_) >= kAutoFlushBytes) {
        (void)flush();  // a failed submit stays in error_ for the next explicit flush
    }
}

void Context::endRendering() {
    if (renderingOpen_) {
        vkCmdEndRendering(slots_[current_].commands);
        renderingOpen_ = false;
        renderingView_ = nullptr;
    }
}

void Context::use(Texture& texture, Role role) {
    const RoleUse u = roleUse(role);
    ImageTrack& t = texture.track();
    if (t.layout == static_cast<uint32_t>(u.layout) && !t.write && !u.write) {
        // Reads after reads in one layout need no barrier; later writers wait for all of them.
        t.stages |= u.stages;
        t.access |= u.access;
        return;
    }
    VkCommandBuffer cmd = commands();
    endRendering();
    VkImageMemoryBarrier2 b{VK_STRUCTURE_TYPE_IMAGE_MEMORY_BARRIER_2};
    b.srcStageMask = t.stages ? t.stages : VK_PIPELINE_STAGE_2_NONE;
    b.srcAccessMask = t.write ? t.access : VK_ACCESS_2_NONE;
    b.dstStageMask = u.stages;
    b.dstAccessMask = u.access;
    b.oldLayout = static_cast<VkImageLayout>(t.layout);
    b.newLayout = u.layout;
    b.srcQueueFamilyIndex = b.dstQueueFamilyIndex = VK_QUEUE_FAMILY_IGNORED;
    b.image = texture.image();
    b.subresourceRange = {VK_IMAGE_ASPECT_COLOR_BIT, 0, 1, 0, 1};
    VkDependencyInfo dep{VK_STRUCTURE_TYPE_DEPENDENCY_INFO};
    dep.imageMemoryBarrierCount = 1;
    dep.pImageMemoryBarriers = &b;
    vkCmdPipelineBarrier2(cmd, &dep);
    t.layout = static_cast<uint32_t>(u.layout);
    t.stages = u.stages;
    t.access = u.access;
    t.write = u.write;
}

static void clearView(Context& c, View* view, ViewKind kind, const float values[4]) {
    if (!view || view->kind() != kind || !values) return;
    Texture& t = view->texture();
    VkCommandBuffer cmd = c.commands();
    c.endRendering();
    c.use(t, Context::Role::CopyDestination);
    VkClearColorValue value;
    std::memcpy(value.float32, values, sizeof(value.float32));
    VkImageSubresourceRange range{VK_IMAGE_ASPECT_COLOR_BIT, 0, 1, 0, 1};
    vkCmdClearColorImage(cmd, t.image(), VK_IMAGE_LAYOUT_TRANSFER_DST_OPTIMAL, &value, 1, &range);
    c.countCommand();
}

void Context::clearRenderTargetView(View* renderTarget, const float color[4]) {
    clearView(*this, renderTarget, ViewKind::RenderTarget, color);
}

void Context::clearUnorderedAccessViewFloat(View* unorderedAccess, const float values[4]) {
    clearView(*this, unorderedAccess, ViewKind::UnorderedAccess, values);
}

Result Context::convertedCopy(Texture& source, int32_t format, std::unique_ptr<Texture>& out) {
    // Freed by the device once the recorded work that uses it has run.
    const TextureDesc desc{source.width(), source.height(), format, 1, kBindShaderResource};
    Result r = device_.createTexture(desc, nullptr, out);
    if (failed(r)) return r;
    return copyResource(*out, source);
}

Result Context::copyResource(Texture& destination, Texture& source) {
    if (trace_)
        if (const Result r = trace_->copyResult(); failed(r)) return r;
    if (&destination == &source || destination.width() != source.width() || destination.height() != source.height())
        return kInvalidArg;
    const FormatInfo& from = source.formatInfo();
    const FormatInfo& to = destination.formatInfo();
    VkImageCopy whole{};
    whole.extent = {source.width(), source.height(), 1};
    if (destination.sampleCount() != 1) {
        if (destination.sampleCount() != source.sampleCount() || !sameLayout(from, to)) return kInvalidArg;
        copyImage(*this, destination, source, whole);
        return kOk;
    }
    if (source.sampleCount() != 1) {
        if (from.vkFormat == to.vkFormat) {
            resolveSubresource(destination, source);
            return kOk;
        }
        std::unique_ptr<Texture> resolved;
        Result r = convertedCopy(source, from.format, resolved);
        if (failed(r)) return r;
        return copyResource(destination, *resolved);
    }
    if (sameLayout(from, to)) {
        copyImage(*this, destination, source, whole);
        return kOk;
    }
    if (!blittable(device_, from, to)) return kInvalidArg;
    blitImage(*this, destination, source);
    return kOk;
}

Result Context::copyResource(StagingTexture& destination, Texture& source) {
    if (trace_)
        if (const Result r = trace_->copyResult(); failed(r)) return r;
    std::unique_ptr<Texture> converted;
    Texture* from = &source;
    if (source.sampleCount() != 1 || !sameLayout(source.formatInfo(), destination.formatInfo())) {
        Result r = convertedCopy(source, destination.formatInfo().format, converted);
        if (failed(r)) return r;
        from = converted.get();
    }
    return readBack(destination, *from);
}

Result Context::readBack(StagingTexture& destination, Texture& source) {
    VkCommandBuffer cmd = commands();
    endRendering();
    use(source, Role::CopySource);
    if (destination.writeSerial() == serial_) {
        // A second read-back into the same memory in this submission lands after the first.
        VkMemoryBarrier2 mb{VK_STRUCTURE_TYPE_MEMORY_BARRIER_2};
        mb.srcStageMask = mb.dstStageMask = VK_PIPELINE_STAGE_2_ALL_TRANSFER_BIT;
        mb.srcAccessMask = mb.dstAccessMask = VK_ACCESS_2_TRANSFER_WRITE_BIT;
        VkDependencyInfo dep{VK_STRUCTURE_TYPE_DEPENDENCY_INFO};
        dep.memoryBarrierCount = 1;
        dep.pMemoryBarriers = &mb;
        vkCmdPipelineBarrier2(cmd, &dep);
    }
    VkBufferImageCopy region{};
    region.bufferRowLength = destination.gpuRowPitch() / source.formatInfo().gpuBytesPerPixel;
    region.imageSubresource = colorLayers();
    region.imageExtent = {std::min(source.width(), destination.width()),
                          std::min(source.height(), destination.height()), 1};
    vkCmdCopyImageToBuffer(cmd, source.image(), VK_IMAGE_LAYOUT_TRANSFER_SRC_OPTIMAL, destination.buffer(), 1, &region);
    destination.writeSerial() = serial_;
    hostReadPending_ = true;
    countCommand();
    return kOk;
}

void Context::copySubresourceRegion(Texture& destination, uint32_t x, uint32_t y, Texture& source, const Box* box) {
    if (&destination == &source || destination.sampleCount() != 1 || source.sampleCount() != 1 ||
        destination.formatInfo().gpuBytesPerPixel != source.formatInfo().gpuBytesPerPixel)
        return;
    Box b;
    if (box) {
        b = *box;
        if (b.front >= b.back || b.front > 0) return;
    } else {
        b.right = source.width();
        b.bottom = source.height();
    }
    const uint32_t right = std::min(b.right, source.width());
    const uint32_t bottom = std::min(b.bottom, source.height());
    if (b.left >= right || b.top >= bottom) return;
    if (x >= destination.width() || y >= destination.height()) return;
    const uint32_t w = std::min(right - b.left, destination.width() - x);
    const uint32_t h = std::min(bottom - b.top, destination.height() - y);
    VkImageCopy region{};
    region.srcOffset = {static_cast<int32_t>(b.left), static_cast<int32_t>(b.top), 0};
    region.dstOffset = {static_cast<int32_t>(x), static_cast<int32_t>(y), 0};
    region.extent = {w, h, 1};
    copyImage(*this, destination, source, region);
}

void Context::resolveSubresource(Texture& destination, Texture& source) {
    if (source.sampleCount() <= 1 || destination.sampleCount() != 1 ||
        source.formatInfo().vkFormat != destination.formatInfo().vkFormat)
        return;
    VkCommandBuffer cmd = commands();
    endRendering();
    use(source, Role::CopySource);
    use(destination, Role::CopyDestination);
    VkImageResolve region{};
    region.srcSubresource = colorLayers();
    region.dstSubresource = colorLayers();
    region.extent = {std::min(source.width(), destination.width()), std::min(source.height(), destination.height()), 1};
    vkCmdResolveImage(cmd, source.image(), VK_IMAGE_LAYOUT_TRANSFER_SRC_OPTIMAL, destination.image(),
                      VK_IMAGE_LAYOUT_TRANSFER_DST_OPTIMAL, 1, &region);
    countCommand();
}

void Context::updateSubresource(Buffer& buffer, const void* data) {
    if (!data) return;
    std::memcpy(buffer.mutableContents(), data, buffer.size());
    buffer.slice().serial = 0;
}

void Context::updateSubresource(Texture& texture, const void* data, uint32_t rowPitch) {
    const FormatInfo& info = texture.formatInfo();
    const uint32_t w = texture.width(), h = texture.height();
    if (!data || texture.sampleCount() != 1 || rowPitch < FormatTable::minCpuRowBytes(info, w)) return;
    const uint64_t rowBytes = static_cast<uint64_t>(w) * info.gpuBytesPerPixel;
    VkCommandBuffer cmd = commands();
    UploadRing::Allocation a;
    if (failed(ring_->allocate(current_, rowBytes * h, a))) return;
    const auto* src = static_cast<const uint8_t*>(data);
    for (uint32_t y = 0; y < h; ++y)
        FormatTable::expandRow(info, src + static_cast<size_t>(y) * rowPitch, a.data + y * rowBytes, w, rowPitch);
    endRendering();
    use(texture, Role::CopyDestination);
    VkBufferImageCopy region{};
    region.bufferOffset = a.offset;
    region.imageSubresource = colorLayers();
    region.imageExtent = {w, h, 1};
    vkCmdCopyBufferToImage(cmd, a.buffer, texture.image(), VK_IMAGE_LAYOUT_TRANSFER_DST_OPTIMAL, 1, &region);
    countCommand();
}

Result Context::bufferSlice(Buffer& buffer, VkBuffer& out, uint64_t& offset) {
    commands();
    Buffer::Slice& s = buffer.slice();
    if (s.serial != serial_) {
        UploadRing::Allocation a;
        Result r = ring_->allocate(current_, buffer.size(), a);
        if (failed(r)) return r;
        std::memcpy(a.data, buffer.contents(), buffer.size());
        s.buffer = a.buffer;
        s.offset = a.offset;
        s.serial = serial_;
    }
    out = s.buffer;
    offset = s.offset;
    return kOk;
}

void Context::setVertexShader(Shader* shader, InputLayout* layout) {
    if (trace_) trace_->call("setVertexShader", 0, shader);
    vertexShader_ = shader && shader->stage() == ShaderStage::Vertex ? shader : nullptr;
    inputLayout_ = layout;
}

void Context::setPixelShader(Shader* shader) {
    if (trace_) trace_->call("setPixelShader", 0, shader);
    pixelShader_ = shader && shader->stage() == ShaderStage::Pixel ? shader : nullptr;
}

void Context::setComputeShader(Shader* shader) {
    if (trace_) trace_->call("setComputeShader", 0, shader);
    computeShader_ = shader && shader->stage() == ShaderStage::Compute ? shader : nullptr;
}

void Context::setConstantBuffer(ShaderStage stage, uint32_t slot, Buffer* buffer) {
    if (trace_) trace_->call("setConstantBuffer", slot, buffer);
    if (slot < kConstantBufferSlots && (!buffer || buffer->kind() == BufferKind::Constant))
        stageState(stage).constantBuffers[slot] = buffer;
}

void Context::setShaderResource(ShaderStage stage, uint32_t slot, View* view) {
    if (trace_) trace_->call("setShaderResource", slot, view);
    if (slot < kShaderResourceSlots && (!view || view->kind() == ViewKind::ShaderResource))
        stageState(stage).resources[slot] = view;
}

void Context::setSampler(ShaderStage stage, uint32_t slot, SamplerState* sampler) {
    if (trace_) trace_->call("setSampler", slot, sampler);
    if (slot < kSamplerSlots) stageState(stage).samplers[slot] = sampler;
}

void Context::setUnorderedAccessView(ShaderStage stage, uint32_t slot, View* view) {
    if (trace_) trace_->call("setUnorderedAccessView", slot, view);
    if (slot < kUnorderedAccessSlots && (!view || view->kind() == ViewKind::UnorderedAccess))
        stageState(stage).unorderedAccess[slot] = view;
}

void Context::setRenderTarget(View* renderTarget) {
    if (trace_) trace_->call("setRenderTarget", 0, renderTarget);
    if (renderTarget && renderTarget->kind() != ViewKind::RenderTarget) renderTarget = nullptr;
    if (renderTarget != renderTarget_) {
        if (recording_) endRendering();
        renderTarget_ = renderTarget;
    }
}

void Context::setViewport(const Viewport& viewport) {
    if (trace_) trace_->call("setViewport", 0, nullptr);
    viewport_ = viewport;
}

void Context::setBlendState(const BlendState* state, const float factor[4]) {
    if (trace_) trace_->call("setBlendState", factor ? 1 : 0, state);
    blend_ = state ? state->desc() : BlendDesc();
    dualSource_ = state && state->usesSecondSource();
    for (int i = 0; i < 4; ++i) blendFactor_[i] = factor ? factor[i] : 1.0f;
}

void Context::setRasterizerState(const RasterizerState* state) {
    if (trace_) trace_->call("setRasterizerState", 0, state);
    rasterizer_ = state ? state->desc() : RasterizerDesc();
}

void Context::setVertexBuffer(Buffer* buffer, uint32_t stride, uint32_t offset) {
    if (trace_) trace_->call("setVertexBuffer", stride, buffer);
    vertexBuffer_ = buffer && buffer->kind() == BufferKind::Vertex ? buffer : nullptr;
    vertexStride_ = stride;
    vertexOffset_ = offset;
}

void Context::setTopology(Topology topology) {
    if (trace_) trace_->call("setTopology", static_cast<uint32_t>(topology), nullptr);
    topology_ = topology;
}

// A texture the pipeline writes (the target or an unordered-access view) is not
// also read through a shader-resource view: as on the program's platform, that
// view reads as unbound.
bool Context::writtenBy(const Pipeline& pipeline, const Texture* texture, const Texture* target) {
    if (texture == target) return true;
    for (const PipelineBinding& b : pipeline.bindings) {
        if (b.kind != ResourceKind::UnorderedAccess || b.slot >= kUnorderedAccessSlots) continue;
        const View* v = stageState(b.stage).unorderedAccess[b.slot];
        if (v && &v->texture() == texture) return true;
    }
    return false;
}

void Context::transitionBindings(const Pipeline& pipeline, Texture* target) {
    for (const PipelineBinding& b : pipeline.bindings) {
        StageState& st = stageState(b.stage);
        if (b.kind == ResourceKind::Texture && b.slot < kShaderResourceSlots) {
            View* v = st.resources[b.slot];
            if (v && !writtenBy(pipeline, &v->texture(), target)) use(v->texture(), Role::ShaderRead);
        } else if (b.kind == ResourceKind::UnorderedAccess && b.slot < kUnorderedAccessSlots) {
            View* v = st.unorderedAccess[b.slot];
            if (v && &v->texture() != target) use(v->texture(), Role::UnorderedAccess);
        }
    }
}

bool Context::pushDescriptors(const Pipeline& pipeline, uint32_t bindPoint, Texture* target) {
    constexpr size_t kMax = 64;
    VkWriteDescriptorSet writes[kMax];
    VkDescriptorImageInfo images[kMax];
    VkDescriptorBufferInfo buffers[kMax];
    uint32_t n = 0;
    for (const PipelineBinding& b : pipeline.bindings) {
        if (n == kMax) break;
        StageState& st = stageState(b.stage);
        VkWriteDescriptorSet& w = writes[n];
        w = {VK_STRUCTURE_TYPE_WRITE_DESCRIPTOR_SET};
        w.dstBinding = b.binding;
        w.descriptorCount = 1;
        images[n] = {};
        buffers[n] = {};
        switch (b.kind) {
        case ResourceKind::ConstantBuffer: {
            w.descriptorType = VK_DESCRIPTOR_TYPE_UNIFORM_BUFFER;
            Buffer* buf = b.slot < kConstantBufferSlots ? st.constantBuffers[b.slot] : nullptr;
            buffers[n].range = VK_WHOLE_SIZE;
            if (buf) {
                uint64_t offset = 0;
                if (failed(bufferSlice(*buf, buffers[n].buffer, offset))) return false;
                buffers[n].offset = offset;
                buffers[n].range = buf->size();
            }
            w.pBufferInfo = &buffers[n];
            break;
        }
        case ResourceKind::Texture: {
            w.descriptorType = VK_DESCRIPTOR_TYPE_SAMPLED_IMAGE;
            View* v = b.slot < kShaderResourceSlots ? st.resources[b.slot] : nullptr;
            if (v && !writtenBy(pipeline, &v->texture(), target)) {
                images[n].imageView = v->handle();
                images[n].imageLayout = VK_IMAGE_LAYOUT_SHADER_READ_ONLY_OPTIMAL;
            }
            w.pImageInfo = &images[n];
            break;
        }
        case ResourceKind::Sampler: {
            w.descriptorType = VK_DESCRIPTOR_TYPE_SAMPLER;
            SamplerState* s = b.slot < kSamplerSlots ? st.samplers[b.slot] : nullptr;
            images[n].sampler = s ? s->handle() : defaultSampler_->handle();
            w.pImageInfo = &images[n];
            break;
        }
        case ResourceKind::UnorderedAccess: {
            w.descriptorType = VK_DESCRIPTOR_TYPE_STORAGE_IMAGE;
            View* v = b.slot < kUnorderedAccessSlots ? st.unorderedAccess[b.slot] : nullptr;
            if (v && &v->texture() != target) {
                images[n].imageView = v->handle();
                images[n].imageLayout = VK_IMAGE_LAYOUT_GENERAL;
            }
            w.pImageInfo = &images[n];
            break;
        }
        }
        ++n;
    }
    if (n) {
        auto push = reinterpret_cast<PFN_vkCmdPushDescriptorSetKHR>(device_.pushDescriptorFunction());
        push(commands(), static_cast<VkPipelineBindPoint>(bindPoint), pipeline.layout, 0, n, writes);
    }
    return true;
}

void Context::beginRendering(View* target) {
    if (renderingOpen_ && renderingView_ == target->handle()) return;
    VkCommandBuffer cmd = commands();
    endRendering();
    Texture& t = target->texture();
    use(t, Role::RenderTarget);
    VkRenderingAttachmentInfo att{VK_STRUCTURE_TYPE_RENDERING_ATTACHMENT_INFO};
    att.imageView = target->handle();
    att.imageLayout = VK_IMAGE_LAYOUT_COLOR_ATTACHMENT_OPTIMAL;
    att.loadOp = VK_ATTACHMENT_LOAD_OP_LOAD;
    att.storeOp = VK_ATTACHMENT_STORE_OP_STORE;
    VkRenderingInfo ri{VK_STRUCTURE_TYPE_RENDERING_INFO};
    ri.renderArea = {{0, 0}, {t.width(), t.height()}};
    ri.layerCount = 1;
    ri.colorAttachmentCount = 1;
    ri.pColorAttachments = &att;
    vkCmdBeginRendering(cmd, &ri);
    renderingOpen_ = true;
    renderingView_ = target->handle();
}

void Context::draw(uint32_t vertexCount, uint32_t startVertex) {
    if (trace_) trace_->call("draw", vertexCount, nullptr);
    if (!vertexShader_ || !pixelShader_ || !renderTarget_ || vertexCount == 0 || viewport_.width <= 0 ||
        viewport_.height == 0)
        return;
    if (inputLayout_ && !vertexBuffer_) return;
    // Rasterizer-ordered views: the compiler cannot ask the device for ordered
    // fragments, so unless the driver runs them in order anyway each quad is a
    // draw of its own with a barrier after it.
    if (pixelShader_->reflection().orderedViews && device_.ordersByDraws()) {
        const bool strip = topology_ == Topology::TriangleStrip;
        const uint32_t step = strip ? 2 : 6, size = strip ? 4 : 6;
        // Every triangle is drawn, also the lone one a list may end with.
        for (uint32_t first = 0; first + 3 <= vertexCount; first += step)
            drawRange(std::min(size, vertexCount - first), startVertex + first);
        return;
    }
    drawRange(vertexCount, startVertex);
}

void Context::drawRange(uint32_t vertexCount, uint32_t startVertex) {
    Texture& target = renderTarget_->texture();
    PipelineKey key;
    key.shader0 = vertexShader_->id();
    key.shader1 = pixelShader_->id();
    key.layout = inputLayout_ ? inputLayout_->id() : 0;
    key.blend = blend_;
    key.rasterizer = rasterizer_;
    bool secondOutput = false;
    for (const InterfaceVariable& o : pixelShader_->reflection().stageOutputs) secondOutput |= o.location == 1;
    key.dualSource = dualSource_ && secondOutput;
    key.targetFormat = target.formatInfo().vkFormat;
    key.samples = target.sampleCount();
    key.topology = static_cast<uint32_t>(topology_);
    const StageState& ps = stageState(ShaderStage::Pixel);
    for (uint32_t i = 0; i < kUnorderedAccessSlots; ++i)
        key.uavFormats[i] = ps.unorderedAccess[i] ? ps.unorderedAccess[i]->texture().formatInfo().vkFormat : 0;
    const Pipeline* pipeline = nullptr;
    Result r = device_.pipelineCache().graphics(key, *vertexShader_, *pixelShader_, inputLayout_, pipeline);
    if (failed(r)) {
        drawError_ = r;
        return;
    }
    VkCommandBuffer cmd = commands();
    transitionBindings(*pipeline, &target);
    beginRendering(renderTarget_);
    vkCmdBindPipeline(cmd, VK_PIPELINE_BIND_POINT_GRAPHICS, pipeline->pipeline);
    // The program's viewport has y down; a negative height gives its orientation.
    VkViewport vp{viewport_.x,        viewport_.y + viewport_.height,
                  viewport_.width,    -viewport_.height,
                  viewport_.minDepth, viewport_.maxDepth};
    vkCmdSetViewport(cmd, 0, 1, &vp);
    VkRect2D scissor{{0, 0}, {target.width(), target.height()}};
    vkCmdSetScissor(cmd, 0, 1, &scissor);
    vkCmdSetBlendConstants(cmd, blendFactor_);
    if (!pushDescriptors(*pipeline, VK_PIPELINE_BIND_POINT_GRAPHICS, &target)) return;
    if (inputLayout_) {
        VkBuffer buffer = VK_NULL_HANDLE;
        uint64_t offset = 0;
        if (failed(bufferSlice(*vertexBuffer_, buffer, offset))) return;
        const VkDeviceSize at = offset + vertexOffset_;
        const VkDeviceSize stride = vertexStride_;
        vkCmdBindVertexBuffers2(cmd, 0, 1, &buffer, &at, nullptr, &stride);
    }
    vkCmdDraw(cmd, vertexCount, 1, startVertex, 0);
    countCommand();
}

void Context::dispatch(uint32_t x, uint32_t y, uint32_t z) {
    // As Direct3D does, a count past the per-dimension limit drops the call.
    if (!computeShader_ || x == 0 || y == 0 || z == 0) return;
    if (x > kMaxDispatchGroups || y > kMaxDispatchGroups || z > kMaxDispatchGroups) return;
    PipelineKey key;
    key.shader0 = computeShader_->id();
    const StageState& cs = stageState(ShaderStage::Compute);
    for (uint32_t i = 0; i < kUnorderedAccessSlots; ++i)
        key.uavFormats[i] = cs.unorderedAccess[i] ? cs.unorderedAccess[i]->texture().formatInfo().vkFormat : 0;
    const Pipeline* pipeline = nullptr;
    Result r = device_.pipelineCache().compute(key, *computeShader_, pipeline);
    if (failed(r)) {
        drawError_ = r;
        return;
    }
    VkCommandBuffer cmd = commands();
    endRendering();
    transitionBindings(*pipeline, nullptr);
    vkCmdBindPipeline(cmd, VK_PIPELINE_BIND_POINT_COMPUTE, pipeline->pipeline);
    if (!pushDescriptors(*pipeline, VK_PIPELINE_BIND_POINT_COMPUTE, nullptr)) return;
    vkCmdDispatch(cmd, x, y, z);
    countCommand();
}

Result Context::flush() {
    if (!recording_) return error_;
    Slot& s = slots_[current_];
    endRendering();
    if (hostReadPending_) {
        VkMemoryBarrier2 mb{VK_STRUCTURE_TYPE_MEMORY_BARRIER_2};
        mb.srcStageMask = VK_PIPELINE_STAGE_2_ALL_TRANSFER_BIT;
        mb.srcAccessMask = VK_ACCESS_2_TRANSFER_WRITE_BIT;
        mb.dstStageMask = VK_PIPELINE_STAGE_2_HOST_BIT;
        mb.dstAccessMask = VK_ACCESS_2_HOST_READ_BIT;
        VkDependencyInfo dep{VK_STRUCTURE_TYPE_DEPENDENCY_INFO};
        dep.memoryBarrierCount = 1;
        dep.pMemoryBarriers = &mb;
        vkCmdPipelineBarrier2(s.commands, &dep);
        hostReadPending_ = false;
    }
    VkResult vr = vkEndCommandBuffer(s.commands);
    if (vr == VK_SUCCESS) {
        vr = static_cast<VkResult>(submit(s.commands, s.fence, s.serial));
    }
    if (vr != VK_SUCCESS) {
        // Nothing ran, yet whoever holds the serial's ticket on another thread
        // is released: the serial is signalled by an empty submission.
        (void)submit(nullptr, nullptr, s.serial);
    }
    recording_ = false;
    ++serial_;
    device_.recordingSerial().store(serial_);
    device_.recording().store(false);
    if (vr != VK_SUCCESS) {
        // The recorded work is lost; the slot is reused as if it had run.
        error_ = resultFromVulkan(vr);
        markCompleted(s.serial);
        ring_->release(current_);
    } else {
        s.submitted = true;
        ++submissions_;
    }
    current_ = (current_ + 1) % kSubmissionSlots;
    return error_;
}

int32_t Context::submit(VkCommandBuffer commands, VkFence fence, uint64_t serial) {
    VkSemaphore timeline = device_.submissionTimeline();
    VkTimelineSemaphoreSubmitInfo values{VK_STRUCTURE_TYPE_TIMELINE_SEMAPHORE_SUBMIT_INFO};
    values.signalSemaphoreValueCount = 1;
    values.pSignalSemaphoreValues = &serial;
    VkSubmitInfo si{VK_STRUCTURE_TYPE_SUBMIT_INFO};
    si.pNext = &values;
    si.commandBufferCount = commands ? 1 : 0;
    si.pCommandBuffers = commands ? &commands : nullptr;
    si.signalSemaphoreCount = 1;
    si.pSignalSemaphores = &timeline;
    Platform::os::MutexLock lock(device_.queueMutex());
    return vkQueueSubmit(device_.queue(), 1, &si, fence);
}

Result Context::waitSerial(uint64_t serial) {
    if (serial <= completed_) return error_;
    if (recording_ && serial >= serial_) {
        Result r = flush();
        if (failed(r)) return r;
    }
    VkDevice d = device_.vkDevice();
    for (Slot& s : slots_) {
        if (s.submitted && s.serial <= serial) {
            VkResult vr = vkWaitForFences(d, 1, &s.fence, VK_TRUE, UINT64_MAX);
            if (vr != VK_SUCCESS) {
                error_ = resultFromVulkan(vr);
                return error_;
            }
        }
    }
    markCompleted(serial);
    return error_;
}

Result Context::finish() {
    Result r = flush();
    if (failed(r)) return r;
    return waitSerial(serial_ - 1);
}

Result Context::map(StagingTexture& staging, MappedTexture& out) {
    out = {};
    if (staging.writeSerial_ != 0) {
        Result r = waitSerial(staging.writeSerial_);
        if (failed(r)) return r;
    }
    staging.read(out);
    return kOk;
}

Result Context::submitReadBack(StagingTexture& staging, uint64_t& ticket) {
    ticket = 0;
    if (staging.writeSerial_ == 0) return kInvalidArg;
    if (recording_ && staging.writeSerial_ >= serial_) {
        Result r = flush();
        if (failed(r)) return r;
    }
    ticket = staging.writeSerial_;
    return error_;
}

void Context::unmap(StagingTexture&) {}

}  // namespace Platform::gpu
