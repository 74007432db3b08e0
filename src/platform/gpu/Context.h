#pragma once
#include <cstdint>
#include <memory>

#include "platform/gpu/BlendState.h"
#include "platform/gpu/Buffer.h"
#include "platform/gpu/InputLayout.h"
#include "platform/gpu/RasterizerState.h"
#include "platform/gpu/SamplerState.h"
#include "platform/gpu/Shader.h"
#include "platform/gpu/StagingTexture.h"
#include "platform/gpu/Texture.h"
#include "platform/gpu/UploadRing.h"
#include "platform/gpu/View.h"
#include "platform/gpu/VulkanFwd.h"
#include "platform/os/Result.h"

namespace Platform::gpu {

class Device;
struct Pipeline;

// Primitive topologies with the program's platform numbers.
enum class Topology : uint32_t { TriangleList = 4, TriangleStrip = 5 };

// A viewport as the program gives it: y down from the top of the target.
struct Viewport {
    float x = 0, y = 0, width = 0, height = 0, minDepth = 0, maxDepth = 1;
};

inline constexpr uint32_t kConstantBufferSlots = 14;
inline constexpr uint32_t kShaderResourceSlots = 16;
inline constexpr uint32_t kSamplerSlots = 16;
inline constexpr uint32_t kUnorderedAccessSlots = 8;
inline constexpr uint32_t kMaxDispatchGroups = 65535;  // thread groups per dimension of one dispatch

// A source box of a region copy; right and bottom are exclusive.
struct Box {
    uint32_t left = 0, top = 0, front = 0;
    uint32_t right = 0, bottom = 0, back = 1;
};

// What a test watches of the context: every state call and draw, in order,
// with its name, its slot (vertex count of a draw, topology number, stride of a
// vertex buffer, 1 for a blend state given a factor) and the object it binds.
class ContextTrace {
public:
    virtual ~ContextTrace() = default;
    virtual void call(const char* name, uint32_t slot, const void* object) = 0;
    // A whole copy about to be made: anything but kOk fails it with that result,
    // as a device out of memory would, the destination left as it was.
    virtual Result copyResult() { return kOk; }
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
    // Whole copy between textures of equal size. The texels are copied bit for
    // bit between formats of one layout (the same device format, or the 16-bit
    // four-channel ones); a multisampled source is resolved and other formats
    // are converted as sampling the source reads them. kInvalidArg, with the
    // destination untouched, when the sizes differ, the destination is
    // multisampled unlike the source, or the device cannot convert.
    Result copyResource(Texture& destination, Texture& source);
    // Read-back into a staging texture, resolved and converted to its format
    // as above; the staging texture takes the part that fits. kInvalidArg when
    // it cannot be done, the staging texture then left as it was.
    Result copyResource(StagingTexture& destination, Texture& source);
    // Box of the source (null: all of it) to (x, y) of the destination. The box
    // is clamped to the source and to the destination; an empty result is dropped.
    void copySubresourceRegion(Texture& destination, uint32_t x, uint32_t y, Texture& source, const Box* box);
    // A multisampled texture into a single-sample one of the same format.
    void resolveSubresource(Texture& destination, Texture& source);
    // Whole update of a buffer: draws recorded later see the new contents.
    void updateSubresource(Buffer& buffer, const void* data);
    // Whole update of a single-sample texture from rows of the program's layout,
    // rowPitch bytes apart: work recorded later sees the new texels. The rows go
    // through the upload ring, so a texture updated every frame allocates nothing.
    void updateSubresource(Texture& texture, const void* data, uint32_t rowPitch);

    // Pipeline state, as the program's platform keeps it: set, kept until changed.
    // Pipelines are made on first use for each combination.
    void setVertexShader(Shader* shader, InputLayout* layout);
    void setPixelShader(Shader* shader);
    void setComputeShader(Shader* shader);
    void setConstantBuffer(ShaderStage stage, uint32_t slot, Buffer* buffer);
    void setShaderResource(ShaderStage stage, uint32_t slot, View* view);
    void setSampler(ShaderStage stage, uint32_t slot, SamplerState* sampler);
    // Pixel stage: slots 1 and up beside the render target; compute stage: from 0.
    void setUnorderedAccessView(ShaderStage stage, uint32_t slot, View* view);
    void setRenderTarget(View* renderTarget);
    void setViewport(const Viewport& viewport);
    // Null: blending off. A null factor means (1, 1, 1, 1).
    void setBlendState(const BlendState* state, const float factor[4]);
    // Null: solid, back faces culled, clockwise front faces.
    void setRasterizerState(const RasterizerState* state);
    void setVertexBuffer(Buffer* buffer, uint32_t stride, uint32_t offset);
    void setTopology(Topology topology);
    // Draws with the current state; without a vertex shader, pixel shader or
    // render target nothing is drawn. A view bound both as a shader resource and
    // as the target is read as unbound, as the program's platform does.
    void draw(uint32_t vertexCount, uint32_t startVertex);
    void dispatch(uint32_t x, uint32_t y, uint32_t z);
    // The last pipeline creation failure of a draw or dispatch (kOk when none).
    Result lastDrawError() const { return drawError_; }

    // Waits for the work that wrote the staging texture and returns its rows.
    Result map(StagingTexture& staging, MappedTexture& out);
    void unmap(StagingTexture& staging);
    // Submits the work that writes the staging texture, if not yet submitted,
    // without waiting for it, and gives its ticket: Device::mapSubmitted reads
    // the rows on any thread. kInvalidArg (ticket 0) when nothing was copied
    // into it; the submission's failure, ticket 0, when it could not be made.
    Result submitReadBack(StagingTexture& staging, uint64_t& ticket);

    // Submits what was recorded (no wait).
    Result flush();
    // Submits and waits until the GPU has done everything.
    Result finish();
    uint64_t submissionCount() const { return submissions_; }

    // Reports the state calls to the trace (null: none) until it is removed.
    void setTrace(ContextTrace* trace) { trace_ = trace; }

    // Inside the layer.
    // Resolves or converts source into a new single-sample texture of the
    // format (its program number) and the source's size.
    Result convertedCopy(Texture& source, int32_t format, std::unique_ptr<Texture>& out);
    // The copy of a read-back whose source already has the staging texture's layout.
    Result readBack(StagingTexture& destination, Texture& source);
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
    struct StageState {
        Buffer* constantBuffers[kConstantBufferSlots] = {};
        View* resources[kShaderResourceSlots] = {};
        SamplerState* samplers[kSamplerSlots] = {};
        View* unorderedAccess[kUnorderedAccessSlots] = {};
    };
    StageState& stageState(ShaderStage stage) { return stages_[static_cast<uint32_t>(stage)]; }
    bool writtenBy(const Pipeline& pipeline, const Texture* texture, const Texture* target);
    void transitionBindings(const Pipeline& pipeline, Texture* target);
    bool pushDescriptors(const Pipeline& pipeline, uint32_t bindPoint, Texture* target);
    void beginRendering(View* target);
    void drawRange(uint32_t vertexCount, uint32_t startVertex);
    Result waitSerial(uint64_t serial);
    // One submission that signals the serial on the device's timeline (a VkResult).
    int32_t submit(VkCommandBuffer commands, VkFence fence, uint64_t serial);
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

    StageState stages_[3];
    Shader* vertexShader_ = nullptr;
    InputLayout* inputLayout_ = nullptr;
    Shader* pixelShader_ = nullptr;
    Shader* computeShader_ = nullptr;
    View* renderTarget_ = nullptr;
    // The view rendering is open on. Compared by handle, not by pointer: a
    // texture made where a destroyed target was has its view at the same
    // address, while the old handle lives until the submission using it is done.
    VkImageView renderingView_ = nullptr;
    Viewport viewport_;
    BlendDesc blend_;
    bool dualSource_ = false;
    float blendFactor_[4] = {1, 1, 1, 1};
    RasterizerDesc rasterizer_;
    Buffer* vertexBuffer_ = nullptr;
    uint32_t vertexStride_ = 0;
    uint32_t vertexOffset_ = 0;
    Topology topology_ = Topology::TriangleStrip;
    std::unique_ptr<SamplerState> defaultSampler_;
    Result drawError_ = kOk;
    ContextTrace* trace_ = nullptr;
};

}  // namespace Platform::gpu
