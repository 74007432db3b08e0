#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/draw2d/Bitmap.h"
#include "platform/draw2d/Types.h"

namespace Platform::draw2d {

// The paint of a "fill": a colour (with its alpha), or anything else
// ("none", a gradient reference, "currentColor", a name the layer does not know).
struct SvgPaint {
    enum class Kind : uint32_t { Color = 0, Other = 1 };
    Kind kind = Kind::Other;
    ColorF color;
};

// One element of an SVG document; a handle that is valid while its document
// lives. A default handle is no element.
class SvgElement {
public:
    SvgElement() = default;
    explicit operator bool() const { return node_ != nullptr; }
    // Whether the element gives the attribute itself, as an attribute or as a
    // declaration of its "style" attribute.
    bool isAttributeSpecified(std::string_view name) const;
    // The element's "fill"; kInvalidArg when it specifies none.
    Result getFill(SvgPaint& out) const;
    // Replaces the element's "fill" (where it is given) by the colour.
    Result setFillColor(const ColorF& color);
    // Sets a plain attribute to a number.
    Result setAttribute(std::string_view name, float value);
    // Child elements in document order (text and comments are skipped).
    SvgElement firstChild() const;
    SvgElement nextSibling() const;

private:
    friend class SvgDocument;
    explicit SvgElement(void* node) : node_(node) {}
    void* node_ = nullptr;  // xmlNode
};

// An SVG document held as an editable tree and drawn by the layer's SVG
// renderer. Loading never reaches the network or other files.
class SvgDocument {
public:
    // kFail for text that is no well-formed XML or whose root is no "svg" element.
    static Result load(const void* data, size_t size, std::unique_ptr<SvgDocument>& out);
    // kFileNotFound for a file that cannot be read; otherwise as load.
    static Result loadFile(const std::string& path, std::unique_ptr<SvgDocument>& out);
    ~SvgDocument();
    SvgDocument(const SvgDocument&) = delete;
    SvgDocument& operator=(const SvgDocument&) = delete;

    SvgElement root() const;
    // The document drawn into a width x height viewport (its own size and
    // view box scaled into it by the SVG rules) as a new transparent bitmap.
    // kFail when the renderer refuses the document, kInvalidArg for a bad size.
    Result render(uint32_t width, uint32_t height, std::unique_ptr<Bitmap>& out) const;

private:
    SvgDocument() = default;
    void* doc_ = nullptr;  // xmlDoc
};

// A colour of the SVG and CSS forms: "#rgb", "#rgba", "#rrggbb", "#rrggbbaa",
// "rgb(...)", "rgba(...)" (numbers or percentages) and the basic colour names.
// False for anything else.
bool parseSvgColor(std::string_view text, ColorF& out);

}  // namespace Platform::draw2d
