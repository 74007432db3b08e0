#include "media/gpu/Direct3DService.h"

#include "core/Exception.h"
#include "core/Log.h"
#include "core/SettingService.h"
#include "core/TextConvert.h"
#include "core/TranslateService.h"
#include "media/image/PixelFormat.h"
#include "media/gpu/RenderBuffer.h"
#include "media/gpu/ResourceBuffer.h"
#include "media/gpu/VertexBufferCommon.h"
#include "media/gpu/XYZ_COL.h"
#include "platform/window/MessageBox.h"

namespace Media {
namespace {

constexpr const char* kScope = "Media::Direct3DService::Direct3DService";

struct FormatName {
    const char* name;
    int32_t format;
};

const FormatName* checkedFormats() {
    static const FormatName list[] = {
        {"DXGI_FORMAT_R8G8B8A8_UNORM", PixelFormat::kR8G8B8A8Unorm},
        {"DXGI_FORMAT_B8G8R8A8_UNORM", PixelFormat::kB8G8R8A8Unorm},
        {"DXGI_FORMAT_A8_UNORM", PixelFormat::kA8Unorm},
        {"DXGI_FORMAT_R16G16B16A16_FLOAT", PixelFormat::kR16G16B16A16Float},
        {"DXGI_FORMAT_G8R8_G8B8_UNORM", PixelFormat::kG8R8G8B8Unorm},
        {"DXGI_FORMAT_R16G16B16A16_UNORM", PixelFormat::kR16G16B16A16Unorm},
        {"DXGI_FORMAT_R16G16B16A16_SNORM", PixelFormat::kR16G16B16A16Snorm},
        {nullptr, 0},
    };
    return list;
}

}  // namespace

Direct3DService::Direct3DService() : binding_(group_, Setting::SettingService::mainSettings()) {
    if (System::IniFile* settings = Setting::SettingService::mainSettings())
        group_.load(*settings);
    else
        for (System::Config::Parameter* parameter : group_.parameters()) parameter->reset();

    if (const Platform::Result hr = Platform::gpu::Device::create({}, device); Platform::failed(hr))
        throw System::hresultException("D3D11CreateDevice", kScope, hr);
    context = &device->context();
    System::Log::info(kScope, "D3D feature level : 0x%08x", device->featureLevel());

    if (Setting::SettingService* settings = Setting::SettingService::get()) {
        pixelFormat = settings->system.config.getValue("PixelFormat").toInt(PixelFormat::kR16G16B16A16Float);
        maskFormat = settings->system.config.getValue("MaskFormat").toInt(PixelFormat::kA8Unorm);
    }
    // The working format is one of the four-channel colour formats that
    // shaders draw into, sample and write as unordered-access views and whose
    // frames come out as the 16-bit float ones do (16-bit unsigned, 8-bit BGRA);
    // another number, or one the device cannot use so, falls back to 16-bit float.
    if (pixelFormat != PixelFormat::kR16G16B16A16Float) {
        const bool known =
            pixelFormat == PixelFormat::kR16G16B16A16Unorm || pixelFormat == PixelFormat::kB8G8R8A8Unorm;
        constexpr uint32_t kNeeded = Platform::gpu::kFormatSupportTexture2D | Platform::gpu::kFormatSupportShaderSample |
                                     Platform::gpu::kFormatSupportRenderTarget |
                                     Platform::gpu::kFormatSupportBlendable |
                                     Platform::gpu::kFormatSupportTypedUnorderedAccess;
        uint32_t support = 0;
        if (!known || Platform::failed(device->checkFormatSupport(pixelFormat, support)) ||
            (support & kNeeded) != kNeeded) {
            System::Log::warn(kScope, "PixelFormat %d not supported, using %d", pixelFormat,
                              PixelFormat::kR16G16B16A16Float);
            pixelFormat = PixelFormat::kR16G16B16A16Float;
        }
    }
    defaultSampleDesc = {1, 0};

    const int rovs = device->rasterizerOrderedViews() ? 1 : 0;
    System::Log::info(kScope, "D3D ROVsSupported : %d", rovs);
    if (rovs == 0) {
        // No main window exists while the service is built: the box has no owner.
        namespace W = Platform::window;
        const wchar_t* text = L"D3D ROVs not supported.\n\n一部の機能が正しく動作しない可能性があります";
        if (Translate::TranslateService::isActive() && Translate::TranslateService::get())
            text = Translate::TranslateService::get()->translate(Translate::TranslateService::Table::Message, text);
        W::messageBox(nullptr, System::wideToUtf8(text), "Velmo Kirta2", W::kMbTaskModal | W::kMbIconWarning);
    }

    for (const FormatName* f = checkedFormats(); f->name; ++f) {
        uint32_t support = 0;
        if (const Platform::Result hr = device->checkFormatSupport(f->format, support); Platform::failed(hr))
            throw System::hresultException("device->CheckFormatSupport", kScope, hr);
        System::Log::info(kScope, "D3D %s Texture2D Supported : %d", f->name,
                          (support & Platform::gpu::kFormatSupportTexture2D) ? 1 : 0);
    }
}

Direct3DService::~Direct3DService() = default;

ResourceBuffer& Direct3DService::uploadBuffer() {
    if (!uploadBuffer_) uploadBuffer_ = ResourceBuffer::createBlank(0, 0, PixelFormat::kB8G8R8A8Unorm);
    return *uploadBuffer_;
}

void Direct3DService::bindTarget(Platform::gpu::View* target, uint32_t width, uint32_t height) {
    context->setRenderTarget(target);
    context->setViewport({0, 0, static_cast<float>(width), static_cast<float>(height), 0, 1});
}

void Direct3DService::setRenderTarget(RenderBuffer& buffer) {
    if (!buffer.renderTargetView) buffer.createRenderTargetView();
    bindTarget(buffer.renderTargetView, buffer.width, buffer.height);
}

void Direct3DService::setRenderTargetWithUav(RenderBuffer& buffer, uint32_t count, Platform::gpu::View* const* views) {
    if (!buffer.renderTargetView) buffer.createRenderTargetView();
    bindTarget(buffer.renderTargetView, buffer.width, buffer.height);
    // The given views take slots 1 to count; the slots after them are unbound.
    for (uint32_t slot = 1; slot < Platform::gpu::kUnorderedAccessSlots; ++slot)
        context->setUnorderedAccessView(Platform::gpu::ShaderStage::Pixel, slot,
                                        slot <= count ? views[slot - 1] : nullptr);
}

void Direct3DService::setResourceTarget(ResourceBuffer& buffer) {
    if (!buffer.renderTargetView) buffer.createRenderTargetView();
    bindTarget(buffer.renderTargetView, buffer.width, buffer.height);
}

void Direct3DService::drawVertexBuffer(VertexBufferCommon& buffer) {
    context->setTopology(buffer.topology);
    context->setVertexBuffer(buffer.buffer.get(), buffer.stride, 0);
    context->draw(buffer.vertexCount, 0);
}

void Direct3DService::drawTriangle(const XYZ_COL vertices[3]) {
    VertexBufferCommon buffer;
    buffer.create(vertices, 3, sizeof(XYZ_COL));
    buffer.topology = Platform::gpu::Topology::TriangleStrip;
    drawVertexBuffer(buffer);
}

}  // namespace Media
