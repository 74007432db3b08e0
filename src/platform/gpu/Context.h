#pragma once
#include <cstdint>
#include <memory>

#include "platform/gpu/Buffer.h"
#include "platform/gpu/StagingTexture.h"
#include "platform/gpu/Texture.h"
#include "platform/gpu/UploadRing.h"
#include "platform/gpu/View.h"
#include "platform/gpu/VulkanFwd.h"
#include "platform/os/Result.h"

namespace Platform::Gpu {

class Device;

// A source box of a region copy; right and bottom are exclusive.
struct Box {
    uint32_t left = 0, top = 0, front = 0;
    uint32_t right = 0, bottom = 0, back = 1;
};

// The immediate context: every clear, copy, update, map, draw and dispatch goes
// through it, from one thread at a time. Work is recorded into a command buffer
// and submitted only at sync points (a map, flush, finish, or when a submission
// grows large), never once per operation. The context tracks what each texture
// was last used for and inserts the barrier a change of role needs, as the
// program's platform does implicitly. Invalid requests are dropped, as the
// platform drops them; nothing is undefined.
class Context {
public:
    explicit Context(Device& device);
    ~Context();
    Context(const Context&) = delete;
    Context& operator=(const Context&) = delete;
    Result init();

    void clearRenderTargetView(View* renderTarget, const float color[4]);
    void clearUnorderedAccessViewFloat(View* unorderedAccess, const float values[4]);
    // Whole copy between textures of equal size, sample count and texel size.
    void copyResource(Texture& destination, Texture& source);
    // Read-back: the texture (single-sample) into a staging texture.
    void copyResource(StagingTexture& destination, Texture& source);
    // Box of the source (null: all of it) to (x, y) of the destination. The box
    // is clamped to the source and to the destination; an empty result is dropped.
    void copySubresourceRegion(Texture& destination, uint32_t x, uint32_t y, Texture& source, const Box* box);
    // A multisampled texture into a single-sample one of the same format.
    void resolveSubresource(Texture& destination, Texture& source);
    // Whole update of a buffer: draws recorded later see the new contents.
    void updateSubresource(Buffer& buffer, const void* data);

    // Waits for the work that wrote the staging texture and returns its rows.
    Result map(StagingTexture& staging, MappedTexture& out);
    void unmap(StagingTexture& staging);

    // Submits what was recorded (no wait).
    Result flush();
    // Submits and waits until the GPU has done everything.
    Result finish();
    uint64_t submissionCount() const { return submissions_; }

    // Inside the layer.
    enum class Role : uint8_t { CopySource, CopyDestination, ShaderRead, RenderTarget, UnorderedAccess };
    VkCommandBuffer commands();  // the command buffer being recorded, begun on demand
    void use(Texture& texture, Role role);
    void endRendering();
    Result bufferSlice(Buffer& buffer, VkBuffer& out, uint64_t& offset);
    void countCommand();
    Device& device() { return device_; }

private:
    struct Slot {
        VkCommandPool pool = nullptr;
        VkCommandBuffer commands = nullptr;
        VkFence fence = nullptr;
        uint64_t serial = 0;
        bool submitted = false;
    };
    Result waitSerial(uint64_t serial);
    void markCompleted(uint64_t serial);

    Device& device_;
    Slot slots_[kSubmissionSlots];
    uint32_t current_ = 0;
    bool recording_ = false;
    bool renderingOpen_ = false;
    bool hostReadPending_ = false;
    uint64_t serial_ = 1;  // serial of the submission being recorded
    uint64_t completed_ = 0;
    uint64_t submissions_ = 0;
    uint32_t commandCount_ = 0;
    Result error_ = kOk;
    std::unique_ptr<UploadRing> ring_;
};

}  // namespace Platform::Gpu
