#pragma once
#include <memory>

#include "platform/gpu/View.h"

// A target buffer as a script shader sees it: a render buffer or a resource
// buffer, bound as target, read through its views, or read through a copy
// while the shader draws into the buffer itself.
namespace Media {

class RenderBuffer;
class ResourceBuffer;

class ShaderBufferInstance {
public:
    virtual ~ShaderBufferInstance();
    virtual void setTarget() = 0;
    virtual Platform::gpu::View* getShaderResourceView() = 0;
    virtual Platform::gpu::View* getUnorderedAccessView() = 0;
    // A new copy of the target's content (replacing the previous one) and its view.
    virtual Platform::gpu::View* getCopyShaderResourceView() = 0;
    virtual void* get() = 0;

    std::unique_ptr<ResourceBuffer> copy;
};

class ShaderResourceBuffer : public ShaderBufferInstance {
public:
    explicit ShaderResourceBuffer(ResourceBuffer* target) : target(target) {}
    void setTarget() override;
    Platform::gpu::View* getShaderResourceView() override;
    Platform::gpu::View* getUnorderedAccessView() override;
    Platform::gpu::View* getCopyShaderResourceView() override;
    void* get() override { return target; }

    ResourceBuffer* target;
};

class ShaderRenderBuffer : public ShaderBufferInstance {
public:
    explicit ShaderRenderBuffer(RenderBuffer* target) : target(target) {}
    void setTarget() override;
    Platform::gpu::View* getShaderResourceView() override;
    Platform::gpu::View* getUnorderedAccessView() override;
    Platform::gpu::View* getCopyShaderResourceView() override;
    void* get() override { return target; }

    RenderBuffer* target;
};

}  // namespace Media
