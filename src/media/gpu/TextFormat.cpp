#include "media/gpu/TextFormat.h"

#include <cmath>
#include <cwchar>

#include "core/Exception.h"
#include "core/SettingService.h"
#include "core/TextConvert.h"

namespace Resource {

namespace D2 = Platform::draw2d;

namespace {

D2::TextMetrics metricsOf(const D2::TextLayout* layout, const char* scope) {
    D2::TextMetrics m;
    const auto hr = layout != nullptr ? layout->metrics(m) : D2::kWrongState;
    if (Platform::failed(hr)) throw System::hresultException("get()->GetMetrics", scope, hr);
    return m;
}

}  // namespace

TextFormat::~TextFormat() {
    trimmingSign.reset();
    format.object.reset();
}

std::unique_ptr<D2::TextFormat> TextFormat::create(const std::wstring& family, float size) {
    std::unique_ptr<D2::TextFormat> out;
    if (const auto hr = D2::TextFormat::create(System::wideToUtf8(family), D2::kWeightNormal, D2::FontStyle::Normal,
                                               D2::kStretchNormal, size, "", out);
        Platform::failed(hr))
        throw System::hresultException("Direct2DService::Get().writeFactory->CreateTextFormat",
                                       "Resource::TextFormat::create", hr);
    out->setWordWrapping(D2::WordWrapping::NoWrap);
    return out;
}

std::unique_ptr<D2::TextFormat> TextFormat::createFromStyle(const std::string& key) {
    const Setting::SettingService* settings = Setting::SettingService::get();
    const auto fields = settings->font.getValue(key).split(",");
    const float size = fields[0].toFloat();
    std::wstring family = fields.size() > 1 ? fields[1].toString() : std::wstring();
    if (fields.size() == 1) family = settings->font.getValue("DefaultFamily").toString(L"Yu Gothic UI");
    return create(family, size);
}

float TextFormat::getLineHeight() {
    if (lineHeight != 0) return lineHeight;
    TextLayout empty;
    empty.create(*this, L"", 0);
    lineHeight = metricsOf(empty.get(), "Resource::TextLayout::getMetrics").height;
    return lineHeight;
}

std::wstring TextFormat::getName() { return System::utf8ToWide(get()->familyName()); }

const D2::TrimmingSign* TextFormat::getTrimmingSign() {
    if (!trimmingSign) trimmingSign = get()->createEllipsisTrimmingSign();
    return trimmingSign.get();
}

float TextFormat::getTextWidth(const std::wstring& text) {
    TextLayout layout;
    layout.create(*this, text.c_str(), int32_t(text.size()));
    return std::ceil(metricsOf(layout.get(), "Resource::TextLayout::getSize").width);
}

void TextLayout::create(TextFormat& format, const wchar_t* text, int32_t length) {
    const size_t count = length >= 0 ? size_t(length) : std::wcslen(text);
    std::unique_ptr<D2::TextLayout> made;
    if (const auto hr = D2::TextLayout::create(System::wideToUtf8(std::wstring_view(text, count)), *format.get(), 65536,
                                               65536, made);
        Platform::failed(hr))
        throw System::hresultException("Direct2DService::Get().writeFactory->CreateTextLayout",
                                       "Resource::TextLayout::create", hr);
    layout.object = std::move(made);
}

void TextLayout::setTrimming(float width, const D2::TrimmingSign* sign) {
    static constexpr const char* kScope = "Resource::TextLayout::setTrimming";
    D2::TextLayout* l = layout.object.get();
    if (l == nullptr) throw System::hresultException("get()->SetTrimming", kScope, D2::kWrongState);
    if (const auto hr = l->setTrimming(D2::TrimmingGranularity::Character, sign); Platform::failed(hr))
        throw System::hresultException("get()->SetTrimming", kScope, hr);
    if (const auto hr = l->setMaxWidth(width < 0 || std::isnan(width) ? 0 : width); Platform::failed(hr))
        throw System::hresultException("get()->SetMaxWidth", kScope, hr);
}

D2::TextMetrics TextLayout::getSize() const { return metricsOf(layout.object.get(), "Resource::TextLayout::getSize"); }

D2::TextMetrics TextLayout::getMetrics() const {
    return metricsOf(layout.object.get(), "Resource::TextLayout::getMetrics");
}

}  // namespace Resource
