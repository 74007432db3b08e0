#pragma once
#include <memory>
#include <string>

#include "media/gpu/StyleResourceNames.h"

// A text format made on first use, with its line height and ellipsis sign
// computed once and kept.
namespace Resource {

class TextFormat {
public:
    explicit TextFormat(Media::ComResource<Platform::draw2d::TextFormat>::Generator generator)
        : format(std::move(generator)) {}
    ~TextFormat();

    // The family at the size in pixels, without wrapping; throws on failure.
    static std::unique_ptr<Platform::draw2d::TextFormat> create(const std::wstring& family, float size);
    // From the style's [Font] value of the key: "size" or "size,family[,...]".
    static std::unique_ptr<Platform::draw2d::TextFormat> createFromStyle(const std::string& key);

    Platform::draw2d::TextFormat* get() { return format.createResource(); }
    // The height of one line (an empty layout), computed once.
    float getLineHeight();
    std::wstring getName();
    const Platform::draw2d::TrimmingSign* getTrimmingSign();
    // The width of the text without trailing blanks, rounded up to a whole pixel.
    float getTextWidth(const std::wstring& text);

    Media::ComResource<Platform::draw2d::TextFormat> format;
    float lineHeight = 0;
    std::unique_ptr<Platform::draw2d::TrimmingSign> trimmingSign;
};

// A text laid out in a format, measured and drawn by panels.
class TextLayout {
public:
    // Lays out `length` characters of the text (all of it up to a NUL when negative)
    // in a 65536 x 65536 box; throws on failure.
    void create(TextFormat& format, const wchar_t* text, int32_t length = -1);
    // Ellipsis trimming at the width (negative widths taken as 0).
    void setTrimming(float width, const Platform::draw2d::TrimmingSign* sign);
    Platform::draw2d::TextMetrics getSize() const;
    Platform::draw2d::TextMetrics getMetrics() const;
    Platform::draw2d::TextLayout* get() const { return layout.object.get(); }

    Media::ComResource<Platform::draw2d::TextLayout> layout;
};

}  // namespace Resource
