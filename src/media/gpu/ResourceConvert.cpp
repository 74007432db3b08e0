#include "media/gpu/ResourceConvert.h"

#include <algorithm>
#include <cstring>
#include <mutex>

#include "core/Exception.h"
#include "media/gpu/ConstantBufferCommon.h"
#include "media/gpu/Direct3DService.h"
#include "media/image/ImageBuffer.h"
#include "media/image/PixelFormat.h"
#include "media/gpu/RenderBuffer.h"
#include "media/gpu/ResourceBuffer.h"
#include "media/gpu/ResourceService.h"

namespace Media {
namespace {

Resource::ResourceService& resources() {
    Resource::ResourceService* service = Resource::ResourceService::get();
    if (!service) throw System::messageException("Media::ResourceConvert", "resource service not available.");
    return *service;
}

[[noreturn]] void unsupported(int32_t from, int32_t to) {
    throw System::formatException("Media::ResourceConvert::convert", "unsupported convert format.",
                                  L"DXGI format %d -> %d", from, to);
}

bool useBt709(int32_t colorSpace, uint32_t height) {
    if (colorSpace == 1) return false;
    if (colorSpace == 2) return true;
    return height >= 720;
}

// Draws with the 80 bytes bound to b0 for the pass only.
template <class Draw>
void withConstants(Direct3DService& d3d, const float constants[20], Draw draw) {
    ConstantBufferCommon buffer;
    buffer.create(constants, 20 * sizeof(float));
    d3d.context->setConstantBuffer(Platform::gpu::ShaderStage::Pixel, 0, buffer.buffer.get());
    draw();
    d3d.context->setConstantBuffer(Platform::gpu::ShaderStage::Pixel, 0, nullptr);
}

// What the opaque-copy pass makes of each 8-bit value in each channel of a
// 32-bit colour frame: the working format's 16-bit float texel bits. Read
// once from the pass itself, so a frame converted by the table holds exactly
// the texels the pass would have drawn.
struct OpaqueCopyTable {
    uint16_t channel[3][256] = {};  // R, G, B
    uint16_t alpha = 0;
};

std::once_flag tableMade;
OpaqueCopyTable table;

void makeOpaqueCopyTable(Shader::PixelShaderList& shaders) {
    ImageBuffer ramp(PixelFormat::kB8G8R8X8Unorm, 256, 1);
    for (uint32_t i = 0; i < 256; ++i) std::memset(ramp.data() + i * 4, static_cast<int>(i), 4);
    ResourceBuffer source(0, 0);
    source.setImage(ramp);
    RenderBuffer drawn(PixelFormat::kR16G16B16A16Float, Direct3DService::SampleDesc{1, 0});
    drawn.createTexture2D(256, 1);
    shaders[14].drawResourceToRender(drawn, source);
    const std::shared_ptr<ImageBuffer> texels = drawn.readImageBuffer();
    for (uint32_t i = 0; i < 256; ++i) {
        uint16_t texel[4];
        std::memcpy(texel, texels->data() + i * sizeof texel, sizeof texel);
        for (int c = 0; c < 3; ++c) table.channel[c][i] = texel[c];
        if (i == 0) table.alpha = texel[3];
    }
}

// The frame's texels in the working format, row by row from the table: the
// same bytes as the pass, made on the CPU and uploaded straight into the kept
// texture instead of a second upload texture and a full-frame pass.
void opaqueCopyRows(const ImageBuffer& source, ImageBuffer& out) {
    out.create(source.width, source.height, 0);
    const uint64_t alpha = static_cast<uint64_t>(table.alpha) << 48;
    for (uint32_t y = 0; y < source.height; ++y) {
        const uint8_t* from = source.data() + static_cast<size_t>(y) * source.pitch;
        auto* to = reinterpret_cast<uint64_t*>(out.data() + static_cast<size_t>(y) * out.pitch);
        for (uint32_t x = 0; x < source.width; ++x, from += 4)
            to[x] = table.channel[0][from[2]] | static_cast<uint64_t>(table.channel[1][from[1]]) << 16 |
                    static_cast<uint64_t>(table.channel[2][from[0]]) << 32 | alpha;
    }
}

}  // namespace

ResourceConvert::ResourceConvert()
    : direct3D_(*Direct3DService::get()),
      pixelShaders_(resources().pixelShaders),
      samplerStates_(resources().samplerStates),
      blendStates_(resources().blendStates),
      rasterizerStates_(resources().rasterizerStates) {}

void ResourceConvert::colorConstants(float out[20], int32_t format, bool output, int32_t colorSpace, uint32_t height) {
    const bool bt709 = useBt709(colorSpace, height);
    const bool yuy2 = format == PixelFormat::kYuy2 || format == PixelFormat::kG8R8G8B8Unorm;
    double t[16] = {};
    double offset[4] = {};
    t[15] = 1;  // alpha passes through
    if (!output) {
        const double cr_r = bt709 ? 1.5748 : 1.402, cb_g = bt709 ? -0.1873 : -0.344, cr_g = bt709 ? -0.4681 : -0.714,
                     cb_b = bt709 ? 1.8556 : 1.772;
        const double m[3][3] = {{1, 0, cr_r}, {1, cb_g, cr_g}, {1, cb_b, 0}};  // over Y, Cb, Cr
        const double luma = yuy2 ? 255.0 / 219 : 32767.0 / 4096, chroma = yuy2 ? 255.0 / 224 : 32767.0 / 4096;
        // Source texel columns: YUY2 (U, Y, V), YC48 (Y, Cb, Cr).
        const int column[3] = {yuy2 ? 1 : 0, yuy2 ? 0 : 1, 2};  // of Y, Cb, Cr
        for (int r = 0; r < 3; ++r) {
            t[r * 4 + column[0]] = m[r][0] * luma;
            t[r * 4 + column[1]] = m[r][1] * chroma;
            t[r * 4 + column[2]] = m[r][2] * chroma;
        }
        if (yuy2) offset[0] = -128.0 / 255, offset[1] = -16.0 / 255, offset[2] = -128.0 / 255;
    } else {
        const double m601[3][3] = {{0.299, 0.587, 0.114}, {-0.169, -0.331, 0.5}, {0.5, -0.419, -0.081}};
        const double m709[3][3] = {{0.2126, 0.7152, 0.0722}, {-0.1146, -0.3854, 0.5}, {0.5, -0.4542, -0.0458}};
        const double(&m)[3][3] = bt709 ? m709 : m601;
        const double luma = yuy2 ? 219.0 / 255 : 4096.0 / 32767, chroma = yuy2 ? 224.0 / 255 : 4096.0 / 32767;
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 3; ++c) t[r * 4 + c] = m[r][c] * (r == 0 ? luma : chroma);
        if (yuy2) offset[0] = 16.0 / 255, offset[1] = 128.0 / 255, offset[2] = 128.0 / 255;
    }
    for (int i = 0; i < 16; ++i) out[i] = static_cast<float>(t[i]);
    for (int i = 0; i < 4; ++i) out[16 + i] = static_cast<float>(offset[i]);
}

void ResourceConvert::convert(const ImageBuffer& source, ResourceBuffer& destination) {
    if (destination.width != source.width || destination.height != source.height) {
        destination.width = std::min(source.width, ResourceBuffer::kMaxSize);
        destination.height = std::min(source.height, ResourceBuffer::kMaxSize);
        destination.createTexture2D();
    }
    if (source.format == PixelFormat::kB8G8R8X8Unorm && destination.format == PixelFormat::kR16G16B16A16Float &&
        destination.width == source.width && destination.height == source.height && source.data() != nullptr) {
        std::call_once(tableMade, makeOpaqueCopyTable, pixelShaders_);
        thread_local ImageBuffer rows(PixelFormat::kR16G16B16A16Float, 0, 0);
        opaqueCopyRows(source, rows);
        destination.setImage(rows);
        return;
    }
    ResourceBuffer* temporary = &direct3D_.uploadBuffer();
    temporary->setImage(source);  // YUY2 held as G8R8_G8B8; the texture kept for the next frame
    const int32_t from = temporary->format;
    if (destination.format != PixelFormat::kR16G16B16A16Float && destination.format != direct3D_.pixelFormat)
        unsupported(from, destination.format);
    size_t entry = 0;  // by the source format; 0 converts from YUV with the constants
    switch (from) {
    case PixelFormat::kR16G16B16A16Float:
    case PixelFormat::kR16G16B16A16Unorm: entry = 2; break;  // copy
    case PixelFormat::kR8G8B8A8Unorm:
    case PixelFormat::kB8G8R8A8Unorm: entry = 12; break;  // premultiply
    case PixelFormat::kB8G8R8X8Unorm: entry = 14; break;  // opaque copy
    case PixelFormat::kR16G16B16A16Snorm:
    case PixelFormat::kG8R8G8B8Unorm: break;
    default: unsupported(from, destination.format);
    }
    if (entry != 0) {
        pixelShaders_[entry].drawResourceToResource(destination, *temporary, nullptr);
        return;
    }
    float constants[20];
    colorConstants(constants, from, false, direct3D_.inputYuvColorSpace, source.height);
    withConstants(direct3D_, constants,
                  [&] { pixelShaders_[0].drawResourceToResource(destination, *temporary, nullptr); });
}

std::shared_ptr<ImageBuffer> ResourceConvert::convertToImage(RenderBuffer& source, int32_t format) {
    if ((source.format != PixelFormat::kR16G16B16A16Float && source.format != direct3D_.pixelFormat) ||
        (format != PixelFormat::kYuy2 && format != PixelFormat::kR16G16B16A16Snorm))
        unsupported(source.format, format);
    const bool yuy2 = format == PixelFormat::kYuy2;
    RenderBuffer temporary(yuy2 ? PixelFormat::kR8G8B8A8Unorm : PixelFormat::kR16G16B16A16Snorm,
                           Direct3DService::SampleDesc{1, 0});
    temporary.createTexture2D(source.width, source.height);
    float constants[20];
    colorConstants(constants, format, true, direct3D_.outputYuvColorSpace, source.height);
    // A multisampled frame cannot be read by the pass: resolve it first.
    std::unique_ptr<ResourceBuffer> resolved;
    if (source.sampleCount != 1) resolved = source.createResourceBuffer(false);
    withConstants(direct3D_, constants, [&] {
        if (resolved)
            pixelShaders_[1].drawResourceToRender(temporary, *resolved);
        else
            pixelShaders_[1].drawViewToRender(temporary, source.createShaderResourceView(), nullptr);
    });
    return yuy2 ? temporary.readYuy2ImageBuffer() : temporary.readImageBuffer();
}

}  // namespace Media
