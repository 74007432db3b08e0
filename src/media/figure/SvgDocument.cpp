#include "media/figure/SvgDocument.h"

#include <exception>

#include "core/Exception.h"
#include "core/TextConvert.h"
#include "media/gpu/Direct3DService.h"
#include "media/gpu/RenderTargetDirect3D.h"
#include "media/gpu/ResourceBuffer.h"

namespace Media {

namespace D2 = Platform::draw2d;

SvgDocument::SvgDocument(const std::wstring& file) {
    static constexpr const char* kScope = "Media::SvgDocument::SvgDocument";
    std::unique_ptr<D2::SvgDocument> loaded;
    const Platform::Result opened = D2::SvgDocument::loadFile(System::wideToUtf8(file), loaded);
    if (opened == Platform::kFileNotFound) throw System::hresultException("SHCreateStreamOnFileEx", kScope, opened);
    if (Platform::failed(opened))
        throw System::hresultException("Direct3DService::get().d2dContext->CreateSvgDocument", kScope, opened);
    document = std::move(loaded);
    D2::SvgElement root = document->root();
    ColorRgba working{0, 0, 0, 0};
    monochrome = checkMonochrome(root, working);
    if (working.a == 0) {
        // No fill colour anywhere: what has no fill of its own draws white and can be recoloured.
        if (const auto hr = root.setFillColor({1, 1, 1, 1}); Platform::failed(hr))
            throw System::hresultException("element->SetAttributeValue", kScope, hr);
    }
    hasSize = root.isAttributeSpecified("width") || root.isAttributeSpecified("height");
}

bool SvgDocument::checkMonochrome(D2::SvgElement element, ColorRgba& working) {
    if (element.isAttributeSpecified("fill")) {
        D2::SvgPaint paint;
        if (const auto hr = element.getFill(paint); Platform::failed(hr))
            throw System::hresultException("element->GetAttributeValue", "Media::SvgDocument::checkMonochrome", hr);
        if (paint.kind == D2::SvgPaint::Kind::Color) {
            const D2::ColorF& c = paint.color;
            if (c.r != working.r || c.g != working.g || c.b != working.b) {
                if (working.a > 0) return false;
                working = {c.r, c.g, c.b, c.a};
            }
        }
    }
    for (D2::SvgElement child = element.firstChild(); child; child = child.nextSibling())
        if (!checkMonochrome(child, working)) return false;
    return true;
}

void SvgDocument::setColor(D2::SvgElement element, const ColorRgba& color) {
    static constexpr const char* kScope = "Media::SvgDocument::setColor";
    if (element.isAttributeSpecified("fill")) {
        D2::SvgPaint paint;
        if (const auto hr = element.getFill(paint); Platform::failed(hr))
            throw System::hresultException("element->GetAttributeValue", kScope, hr);
        if (paint.kind == D2::SvgPaint::Kind::Color) {
            if (const auto hr = element.setFillColor({color.r, color.g, color.b, paint.color.a}); Platform::failed(hr))
                throw System::hresultException("paint->SetColor", kScope, hr);
        }
    }
    for (D2::SvgElement child = element.firstChild(); child; child = child.nextSibling()) setColor(child, color);
}

bool SvgDocument::isSvgFile(const std::wstring& path) {
    const size_t slash = path.find_last_of(L"/\\");
    const size_t dot = path.rfind(L'.');
    if (dot == std::wstring::npos || (slash != std::wstring::npos && dot < slash)) return false;
    return path.compare(dot + 1, std::wstring::npos, L"svg") == 0;
}

bool SvgDocument::canLoad(const std::wstring& path) {
    try {
        SvgDocument document(path);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

std::unique_ptr<ResourceBuffer> SvgDocument::createResourceBuffer(const std::wstring& path, uint32_t width,
                                                                  uint32_t height, const ColorRgba& color,
                                                                  int32_t format) {
    Direct3DService* d3d = Direct3DService::get();
    auto buffer = ResourceBuffer::createBlank(width, height, format != 0 ? format : d3d->pixelFormat);
    if (!buffer->texture) return nullptr;
    const float transparent[4] = {0, 0, 0, 0};
    d3d->context->clearRenderTargetView(buffer->getRenderTargetView(), transparent);
    try {
        RenderTargetDirect3D target(*buffer, true);
        RenderTargetDirect3D::DrawScope scope(target);
        SvgDocument document(path);
        D2::SvgElement root = document.document->root();
        if (document.monochrome) setColor(root, color);
        if (document.hasSize) {
            if (const auto hr = root.setAttribute("width", float(width)); Platform::failed(hr))
                throw System::hresultException("element->SetAttributeValue", "Media::SvgDocument::setSize", hr);
            if (const auto hr = root.setAttribute("height", float(height)); Platform::failed(hr))
                throw System::hresultException("element->SetAttributeValue", "Media::SvgDocument::setSize", hr);
        }
        std::unique_ptr<D2::Bitmap> image;
        if (const auto hr = document.document->render(width, height, image); Platform::failed(hr))
            throw System::hresultException("d2dContext->DrawSvgDocument", "Media::SvgDocument::createResourceBuffer",
                                           hr);
        if (target.bitmap) target.bitmap->drawBitmap(*image, nullptr, 1, D2::Interpolation::NearestNeighbor, nullptr);
    } catch (const std::exception&) {
        // The exception builder has logged the failure.
        return nullptr;
    }
    return buffer;
}

}  // namespace Media
