#include "platform/draw2d/GpuTarget.h"

#include <algorithm>
#include <array>
#include <memory>
#include <cmath>
#include <cstring>
#include <vector>

#include "platform/draw2d/Internal.h"
#include "platform/gpu/Gpu.h"

namespace Platform::draw2d {

uint16_t halfFromFloat(float f) {
    uint32_t x;
    std::memcpy(&x, &f, 4);
    const uint32_t sign = (x >> 16) & 0x8000u;
    const uint32_t absx = x & 0x7FFFFFFFu;
    if (absx >= 0x7F800000u) return uint16_t(sign | 0x7C00u | (absx > 0x7F800000u ? 0x200u : 0));
    if (absx >= 0x477FF000u) return uint16_t(sign | 0x7C00u);  // rounds past the largest half
    if (absx < 0x38800000u) {
        // Subnormal halves: the value in units of 2^-24, rounded to nearest even.
        float a;
        std::memcpy(&a, &absx, 4);
        return uint16_t(sign | uint32_t(std::nearbyint(a * 16777216.0f)));
    }
    const uint32_t mant = absx & 0x7FFFFFu;
    uint32_t h = ((absx >> 23) - 112) << 10 | (mant >> 13);
    const uint32_t rest = mant & 0x1FFFu;
    if (rest > 0x1000u || (rest == 0x1000u && (h & 1))) ++h;
    return uint16_t(sign | h);
}

float floatFromHalf(uint16_t h) {
    const uint32_t sign = uint32_t(h & 0x8000u) << 16;
    const uint32_t exp = (h >> 10) & 0x1Fu, mant = h & 0x3FFu;
    float f;
    if (exp == 0) {
        f = std::ldexp(float(mant), -24);
        uint32_t x;
        std::memcpy(&x, &f, 4);
        x |= sign;
        std::memcpy(&f, &x, 4);
        return f;
    }
    const uint32_t x = exp == 31 ? sign | 0x7F800000u | (mant << 13) : sign | ((exp + 112) << 23) | (mant << 13);
    std::memcpy(&f, &x, 4);
    return f;
}

namespace {

bool supported(int32_t format) { return format == 10 || format == 65 || format == 28 || format == 87 || format == 88; }

uint8_t unitToByte(float v) {
    if (!(v > 0)) return 0;
    if (v >= 1) return 255;
    return uint8_t(std::lround(v * 255.0f));
}

// Byte <-> half float tables: the conversions run for every pixel of every
// drawing into a float texture.
const uint16_t* halfOfByte() {
    static const auto table = [] {
        std::array<uint16_t, 256> t{};
        for (int i = 0; i < 256; ++i) t[i] = halfFromFloat(float(i) / 255.0f);
        return t;
    }();
    return table.data();
}

const uint8_t* byteOfHalf() {
    static const auto table = [] {
        auto t = std::make_unique<uint8_t[]>(65536);
        for (uint32_t h = 0; h < 65536; ++h) t[h] = unitToByte(floatFromHalf(uint16_t(h)));
        return t;
    }();
    return table.get();
}

}  // namespace

Result GpuTarget::create(Platform::gpu::Device& device, Platform::gpu::Texture& texture, bool knownClear,
                         std::unique_ptr<GpuTarget>& out) {
    out.reset();
    if (!supported(texture.format()) || texture.sampleCount() != 1) return kInvalidArg;
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, int(texture.width()), int(texture.height()));
    if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(s);
        return kOutOfMemory;
    }
    out.reset(new GpuTarget(device, texture, s, knownClear));
    return kOk;
}

GpuTarget::~GpuTarget() { cairo_surface_destroy(surface_); }

void GpuTarget::prepare(cairo_surface_t* surface) {
    const uint32_t w = texture_.width(), h = texture_.height();
    const int32_t format = texture_.format();
    uint8_t* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    if (knownClear_) {
        knownClear_ = false;
        std::memset(data, 0, size_t(stride) * h);
        cairo_surface_mark_dirty(surface);
        return;
    }
    std::unique_ptr<Platform::gpu::StagingTexture> staging;
    transfer_ = device_.createStagingTexture(w, h, format, staging);
    if (failed(transfer_)) return;
    Platform::gpu::Context& context = device_.context();
    (void)context.copyResource(*staging, texture_);
    Platform::gpu::MappedTexture mapped;
    transfer_ = context.map(*staging, mapped);
    if (failed(transfer_)) return;
    for (uint32_t y = 0; y < h; ++y) {
        const uint8_t* src = static_cast<const uint8_t*>(mapped.data) + size_t(y) * mapped.rowPitch;
        uint8_t* dst = data + size_t(y) * stride;
        for (uint32_t x = 0; x < w; ++x, dst += 4) {
            uint8_t r = 0, g = 0, b = 0, a = 0;
            switch (format) {
            case 10: {
                uint16_t c[4];
                std::memcpy(c, src + x * 8, 8);
                const uint8_t* byte = byteOfHalf();
                r = byte[c[0]];
                g = byte[c[1]];
                b = byte[c[2]];
                a = byte[c[3]];
                break;
            }
            case 65: a = src[x]; break;
            case 28: r = src[x * 4], g = src[x * 4 + 1], b = src[x * 4 + 2], a = src[x * 4 + 3]; break;
            case 87: b = src[x * 4], g = src[x * 4 + 1], r = src[x * 4 + 2], a = src[x * 4 + 3]; break;
            case 88: b = src[x * 4], g = src[x * 4 + 1], r = src[x * 4 + 2], a = 255; break;
            }
            // Cairo needs colour within alpha.
            dst[0] = std::min(b, a);
            dst[1] = std::min(g, a);
            dst[2] = std::min(r, a);
            dst[3] = a;
        }
    }
    context.unmap(*staging);
    cairo_surface_mark_dirty(surface);
}

Result GpuTarget::present(cairo_surface_t* surface) {
    const uint32_t w = texture_.width(), h = texture_.height();
    const int32_t format = texture_.format();
    const uint8_t* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    const uint32_t bytes = format == 10 ? 8 : format == 65 ? 1 : 4;
    std::vector<uint8_t> pixels(size_t(w) * h * bytes);
    for (uint32_t y = 0; y < h; ++y) {
        const uint8_t* src = data + size_t(y) * stride;
        uint8_t* dst = pixels.data() + size_t(y) * w * bytes;
        for (uint32_t x = 0; x < w; ++x, src += 4) {
            const uint8_t b = src[0], g = src[1], r = src[2], a = src[3];
            // Transparent pixels (most of a text's box) are zero in every format but BGRX.
            if ((b | g | r | a) == 0 && format != 88) continue;
            switch (format) {
            case 10: {
                const uint16_t* half = halfOfByte();
                const uint16_t c[4] = {half[r], half[g], half[b], half[a]};
                std::memcpy(dst + x * 8, c, 8);
                break;
            }
            case 65: dst[x] = a; break;
            case 28: dst[x * 4] = r, dst[x * 4 + 1] = g, dst[x * 4 + 2] = b, dst[x * 4 + 3] = a; break;
            case 87: dst[x * 4] = b, dst[x * 4 + 1] = g, dst[x * 4 + 2] = r, dst[x * 4 + 3] = a; break;
            case 88: dst[x * 4] = b, dst[x * 4 + 1] = g, dst[x * 4 + 2] = r, dst[x * 4 + 3] = 255; break;
            }
        }
    }
    Platform::gpu::TextureDesc desc;
    desc.width = w;
    desc.height = h;
    desc.format = format;
    desc.bindFlags = Platform::gpu::kBindShaderResource;
    Platform::gpu::InitialData initial{pixels.data(), w * bytes};
    std::unique_ptr<Platform::gpu::Texture> upload;
    transfer_ = device_.createTexture(desc, &initial, upload);
    if (failed(transfer_)) return transfer_;
    (void)device_.context().copyResource(texture_, *upload);
    return kOk;
}

}  // namespace Platform::draw2d
