#include "platform/imaging/FormatConverter.h"

#include <cstring>
#include <new>
#include <memory>

#include "platform/imaging/ImagingResult.h"

namespace Platform::imaging {
namespace {

// One pixel as straight RGBA.
void readPixel(FormatId f, const uint8_t* p, uint8_t out[4]) {
    switch (f) {
    case FormatId::Gray8: out[0] = out[1] = out[2] = p[0], out[3] = 255; break;
    case FormatId::Rgb24: out[0] = p[0], out[1] = p[1], out[2] = p[2], out[3] = 255; break;
    case FormatId::Bgr24: out[0] = p[2], out[1] = p[1], out[2] = p[0], out[3] = 255; break;
    case FormatId::Bgr32: out[0] = p[2], out[1] = p[1], out[2] = p[0], out[3] = 255; break;
    case FormatId::Rgba32: std::memcpy(out, p, 4); break;
    case FormatId::Bgra32: out[0] = p[2], out[1] = p[1], out[2] = p[0], out[3] = p[3]; break;
    case FormatId::Pbgra32: {
        const uint32_t a = p[3];
        auto straight = [a](uint32_t c) {
            return static_cast<uint8_t>(a == 0 ? 0 : std::min<uint32_t>(255, (c * 255 + a / 2) / a));
        };
        out[0] = straight(p[2]), out[1] = straight(p[1]), out[2] = straight(p[0]), out[3] = p[3];
        break;
    }
    default: break;
    }
}

void writePixel(FormatId f, const uint8_t in[4], uint8_t* p) {
    switch (f) {
    case FormatId::Gray8:
        // Rec. 601 luma, as a grey conversion is expected to weigh colours.
        p[0] = static_cast<uint8_t>((in[0] * 299u + in[1] * 587u + in[2] * 114u + 500u) / 1000u);
        break;
    case FormatId::Rgb24: p[0] = in[0], p[1] = in[1], p[2] = in[2]; break;
    case FormatId::Bgr24: p[0] = in[2], p[1] = in[1], p[2] = in[0]; break;
    case FormatId::Bgr32: p[0] = in[2], p[1] = in[1], p[2] = in[0], p[3] = 255; break;
    case FormatId::Rgba32: std::memcpy(p, in, 4); break;
    case FormatId::Bgra32: p[0] = in[2], p[1] = in[1], p[2] = in[0], p[3] = in[3]; break;
    case FormatId::Pbgra32: {
        const uint32_t a = in[3];
        p[0] = static_cast<uint8_t>((in[2] * a + 127) / 255), p[1] = static_cast<uint8_t>((in[1] * a + 127) / 255);
        p[2] = static_cast<uint8_t>((in[0] * a + 127) / 255), p[3] = in[3];
        break;
    }
    default: break;
    }
}

}  // namespace

Result FormatConverter::canConvert(FormatId from, FormatId to, bool& can) {
    can = bytesPerPixel(from) != 0 && bytesPerPixel(to) != 0;
    return kOk;
}

Result FormatConverter::initialize(PixelSource* source, FormatId to) {
    if (source == nullptr) return kInvalidArg;
    if (source_ != nullptr) return kWrongState;
    FormatId from = FormatId::Undefined;
    if (const Result r = source->getPixelFormat(from); failed(r)) return r;
    bool can = false;
    (void)canConvert(from, to, can);  // answers in can, never fails
    if (!can) return kUnsupportedPixelFormat;
    source_ = source;
    from_ = from;
    to_ = to;
    return kOk;
}

Result FormatConverter::getSize(uint32_t& width, uint32_t& height) const {
    if (source_ == nullptr) return kWrongState;
    return source_->getSize(width, height);
}

Result FormatConverter::getPixelFormat(FormatId& format) const {
    if (source_ == nullptr) return kWrongState;
    format = to_;
    return kOk;
}

Result FormatConverter::copyPixels(const Rect* rect, uint32_t stride, size_t bufferSize, uint8_t* buffer) {
    if (source_ == nullptr) return kWrongState;
    uint32_t width = 0, height = 0;
    if (const Result r = source_->getSize(width, height); failed(r)) return r;
    const uint32_t toBpp = bytesPerPixel(to_), fromBpp = bytesPerPixel(from_);
    Rect area;
    if (const Result r = checkCopy(width, height, toBpp, rect, stride, bufferSize, buffer, area); failed(r)) return r;
    if (area.width == 0 || area.height == 0) return kOk;
    // Row by row, so the converter never holds a second copy of the image.
    const size_t sourceRow = static_cast<size_t>(area.width) * fromBpp;
    std::unique_ptr<uint8_t[]> row(new (std::nothrow) uint8_t[sourceRow]);
    if (!row) return kOutOfMemory;
    for (int32_t y = 0; y < area.height; ++y) {
        const Rect line{area.x, area.y + y, area.width, 1};
        if (const Result r = source_->copyPixels(&line, static_cast<uint32_t>(sourceRow), sourceRow, row.get());
            failed(r))
            return r;
        uint8_t* out = buffer + static_cast<size_t>(stride) * y;
        for (int32_t x = 0; x < area.width; ++x) {
            uint8_t rgba[4];
            readPixel(from_, row.get() + static_cast<size_t>(x) * fromBpp, rgba);
            writePixel(to_, rgba, out + static_cast<size_t>(x) * toBpp);
        }
    }
    return kOk;
}

}  // namespace Platform::imaging
