#pragma once
#include <cstdint>
#include <memory>

#include "core/ConfigInt.h"
#include "core/ConfigParameterBinding.h"
#include "core/ConfigParameterGroup.h"
#include "core/ServiceHolder.h"
#include "platform/gpu/Gpu.h"

// The Direct3D service: the device and its immediate context, the working
// pixel formats, the "Direct3D" settings and the cache of what is bound, so
// that passes only change the state that differs.
namespace Media {

class VertexShader;
class PixelShader;
class ComputeShader;
class RenderBuffer;
class ResourceBuffer;
class VertexBufferCommon;
struct XYZ_COL;

class Direct3DService {
public:
    struct SampleDesc {
        uint32_t count = 1;
        uint32_t quality = 0;
    };

    Direct3DService();
    ~Direct3DService();
    Direct3DService(const Direct3DService&) = delete;
    Direct3DService& operator=(const Direct3DService&) = delete;

    static Direct3DService* get() { return System::ServiceSlot<Direct3DService>::instance; }

    Platform::gpu::Context& immediate() { return *context; }

    // The buffer alone as render target (its view made when missing) with a
    // viewport of its full size.
    void setRenderTarget(RenderBuffer& buffer);
    // The same plus `count` unordered-access views from slot 1 (u1 ...).
    void setRenderTargetWithUav(RenderBuffer& buffer, uint32_t count, Platform::gpu::View* const* views);
    void setResourceTarget(ResourceBuffer& buffer);
    // Topology, vertex buffer 0 with its stride, its vertex count from 0.
    void drawVertexBuffer(VertexBufferCommon& buffer);
    // One triangle of three coloured vertices through a buffer made for it.
    void drawTriangle(const XYZ_COL vertices[3]);

    // The buffer CPU images cross to the GPU in before their conversion to the
    // working format: kept, so that frame after frame of one shape reuses its
    // texture. For the thread that uses the immediate context.
    ResourceBuffer& uploadBuffer();

    // Declared first so the settings are written back before the device goes.
    std::unique_ptr<Platform::gpu::Device> device;
    Platform::gpu::Context* context = nullptr;
    int32_t pixelFormat = 10;
    int32_t maskFormat = 65;
    SampleDesc defaultSampleDesc;

    int32_t multiSampleCount = 8;
    int32_t maxAnisotropy = 16;
    int32_t highDpiMode = 1;
    int32_t inputYuvColorSpace = 0;   // 0 automatic, 1 BT.601, 2 BT.709
    int32_t outputYuvColorSpace = 0;  // 0 automatic, 1 BT.601, 2 BT.709

    // What is bound on the immediate context; owned by the shader and state tables.
    const VertexShader* boundVertexShader = nullptr;
    const PixelShader* boundPixelShader = nullptr;
    const ComputeShader* boundComputeShader = nullptr;
    const Platform::gpu::BlendState* boundBlendState = nullptr;
    bool boundBlendFactor = false;  // the bound blend state was sent with a factor
    const Platform::gpu::RasterizerState* boundRasterizerState = nullptr;
    const Platform::gpu::SamplerState* boundSampler = nullptr;

private:
    std::unique_ptr<ResourceBuffer> uploadBuffer_;  // after the device: released before it

    void bindTarget(Platform::gpu::View* target, uint32_t width, uint32_t height);

    System::Config::ParameterGroup group_{"Direct3D"};
    System::Config::Int multiSampleCountParameter_{group_, "MultiSampleCount", &multiSampleCount, 8};
    System::Config::Int maxAnisotropyParameter_{group_, "MaxAnisotropy", &maxAnisotropy, 16};
    System::Config::Int highDpiModeParameter_{group_, "HighDpiMode", &highDpiMode, 1};
    System::Config::Int inputYuvParameter_{group_, "InputYUVColorSpace", &inputYuvColorSpace, 0};
    System::Config::Int outputYuvParameter_{group_, "OutputYUVColorSpace", &outputYuvColorSpace, 0};
    System::Config::ParameterBinding binding_;
};

// Mix-in: the service's pointer, copied when built.
class Direct3DInstance {
public:
    Direct3DInstance() : Direct3D(Direct3DService::get()) {}
    Direct3DService* Direct3D;
};

}  // namespace Media
