#include "media/figure/FigureData.h"

#include <algorithm>

#include "media/gpu/PathData.h"
#include "media/figure/SvgDocument.h"
#include "media/gpu/Direct3DService.h"
#include "media/gpu/RenderTargetDirect3D.h"
#include "media/gpu/ResourceBuffer.h"
#include "media/gpu/ResourceService.h"
#include "media/gpu/StyleBrush.h"
#include "platform/draw2d/Geometry.h"

namespace Resource {

namespace D2 = Platform::draw2d;

namespace {
FigureData::SceneSizeReader& sceneSizeReader() {
    static FigureData::SceneSizeReader reader;
    return reader;
}
}  // namespace

FigureData::SceneSizeReader FigureData::setSceneSizeReader(SceneSizeReader reader) {
    std::swap(sceneSizeReader(), reader);
    return reader;
}

std::unique_ptr<Media::ResourceBuffer> FigureData::createImage(uint32_t width, uint32_t height,
                                                               const Media::ColorRgba& color, float lineWidth,
                                                               bool round, int32_t format) const {
    if (kind == kBackground) {
        width = height = 0;
        if (const SceneSizeReader& sceneSize = sceneSizeReader()) sceneSize(width, height);
    }
    if (width == 0 || height == 0) return nullptr;
    if (path == nullptr) return Media::SvgDocument::createResourceBuffer(file, width, height, color, format);
    Media::Direct3DService* d3d = Media::Direct3DService::get();
    auto buffer = Media::ResourceBuffer::createBlank(width, height, format != 0 ? format : d3d->pixelFormat);
    if (!buffer->texture) return nullptr;
    if ((kind == kBackground || kind == kRectangle) &&
        (lineWidth * 2 >= float(width) || lineWidth * 2 >= float(height))) {
        const float c[4] = {color.r, color.g, color.b, color.a};
        d3d->context->clearRenderTargetView(buffer->getRenderTargetView(), c);
        return buffer;
    }
    const float transparent[4] = {0, 0, 0, 0};
    d3d->context->clearRenderTargetView(buffer->getRenderTargetView(), transparent);
    {
        Media::RenderTargetDirect3D target(*buffer, true);
        Media::RenderTargetDirect3D::DrawScope scope(target);
        const auto brush = ColorBrush::create(color);
        float w = float(width), h = float(height), o = 0;
        if (kind == kCircle) {
            w -= 1;
            h -= 1;
            o = 0.5f;
        }
        const float r = path->innerRatio;
        const float inner = std::min(w * r, h * r);
        if (target.bitmap) {
            if (r > 0 && (round || inner > lineWidth * 2)) {
                const float t = std::min(lineWidth, inner);
                const float i = t / r;
                const auto geometry = path->createPathGeometry(o + i * 0.5f, o + i * 0.5f, w - i, h - i);
                const D2::StrokeStyle* style = nullptr;
                if (round) {
                    ResourceService* resources = ResourceService::get();
                    static StrokeStyleList fallback;  // without the service (tools and tests)
                    style = (resources != nullptr ? resources->strokeStyles : fallback).get(2);
                }
                target.bitmap->drawGeometry(*geometry, *brush, t, style);
            } else {
                const auto geometry = path->createPathGeometry(o, o, w, h);
                target.bitmap->fillGeometry(*geometry, *brush);
            }
        }
    }
    return buffer;
}

}  // namespace Resource
