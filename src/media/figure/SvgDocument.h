#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "core/Color.h"
#include "platform/draw2d/Svg.h"

// An SVG file drawn as a figure: monochrome documents (every colour fill of
// one red, green and blue) take the colour the user chose, keeping each
// fill's own alpha; others keep their colours.
namespace Media {

class ResourceBuffer;

class SvgDocument {
public:
    // Throws when the file cannot be read or is no SVG document.
    explicit SvgDocument(const std::wstring& file);

    // Depth first; the working colour's alpha tells whether a fill colour was seen.
    static bool checkMonochrome(Platform::draw2d::SvgElement element, ColorRgba& working);
    // Every colour fill becomes the colour's red, green and blue with its own alpha.
    static void setColor(Platform::draw2d::SvgElement element, const ColorRgba& color);
    // The extension is exactly "svg".
    static bool isSvgFile(const std::wstring& path);
    static bool canLoad(const std::wstring& path);
    // The document drawn into a new width x height buffer (format 0: the
    // working format); null, with the failure logged, when the file cannot
    // be drawn.
    static std::unique_ptr<ResourceBuffer> createResourceBuffer(const std::wstring& path, uint32_t width,
                                                                uint32_t height, const ColorRgba& color,
                                                                int32_t format);

    std::unique_ptr<Platform::draw2d::SvgDocument> document;
    bool monochrome = false;
    bool hasSize = false;
};

}  // namespace Media
