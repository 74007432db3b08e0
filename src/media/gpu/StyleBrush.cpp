#include "media/gpu/StyleBrush.h"

#include <vector>

#include "core/SettingService.h"

namespace Resource {

namespace D2 = Platform::draw2d;

namespace {

D2::ColorF colorOf(const Media::ColorRgba& c) { return {c.r, c.g, c.b, c.a}; }

const System::IniFile::VALUE& styleColor(const std::string& key) {
    return Setting::SettingService::get()->color.getValue(key);
}

std::vector<Media::ColorRgba> colorList(const std::string& key) {
    std::vector<Media::ColorRgba> out;
    for (const auto& piece : styleColor(key).split(",")) out.push_back(piece.toRGBA());
    return out;
}

}  // namespace

std::unique_ptr<D2::SolidColorBrush> ColorBrush::create(const Media::ColorRgba& color) {
    return std::make_unique<D2::SolidColorBrush>(colorOf(color));
}

std::unique_ptr<D2::SolidColorBrush> ColorBrush::createFromStyle(const std::string& key) {
    return create(styleColor(key).toRGBA());
}

std::unique_ptr<D2::SolidColorBrush> ColorBrush::createFromStyleList(size_t index) {
    const auto colors = colorList("FooterProgress");
    return create(index < colors.size() ? colors[index] : colors.back());
}

std::unique_ptr<D2::LinearGradientBrush> GradientBrush::create(const Media::ColorRgba& start,
                                                               const Media::ColorRgba& end) {
    return std::make_unique<D2::LinearGradientBrush>(D2::GradientStop{0, colorOf(start)},
                                                     D2::GradientStop{1, colorOf(end)});
}

std::unique_ptr<D2::LinearGradientBrush> GradientBrush::createFromStyle(const std::string& key) {
    const auto colors = colorList(key);
    return create(colors.front(), colors.back());
}

std::unique_ptr<D2::LinearGradientBrush> GradientBrush::createFromStyleAlpha(const std::string& key, float alpha) {
    const Media::ColorRgba last = colorList(key).back();
    Media::ColorRgba start = last;
    start.a = alpha;
    return create(start, last);
}

}  // namespace Resource
