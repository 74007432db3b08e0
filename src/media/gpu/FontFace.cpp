#include "media/gpu/FontFace.h"

#include "core/Exception.h"
#include "media/gpu/Direct2DService.h"

namespace Resource {

void FontFace::setFont(const std::wstring& name, float size, bool bold, bool italic, bool vertical) {
    static constexpr const char* kScope = "Resource::FontFace::setFont";
    Media::Direct2DService* d2d = Media::Direct2DService::get();
    Media::FontManager fallback;  // no registry: every name takes the default family
    const auto font = (d2d != nullptr ? d2d->fontManager : fallback).getFont(name, bold, italic);
    std::unique_ptr<Platform::draw2d::FontFace> face;
    if (const auto hr = font->createFontFace(face); Platform::failed(hr))
        throw System::hresultException("font->CreateFontFace", kScope, hr);
    const Platform::draw2d::FontMetrics metrics = face->metrics();
    if (metrics.designUnitsPerEm == 0)
        throw System::hresultException("fontFace->QueryInterface", kScope, Platform::kFail);
    fontFace.object = std::move(face);
    this->size = size;
    this->vertical = vertical ? 1.0f : 0.0f;
    designScale = size / metrics.designUnitsPerEm;
    if (vertical) {
        ascent = size * 0.5f;
        lineAdvance = size;
    } else {
        ascent = metrics.ascent * designScale;
        lineAdvance = (metrics.ascent + metrics.lineGap + metrics.descent) * designScale;
    }
}

}  // namespace Resource
