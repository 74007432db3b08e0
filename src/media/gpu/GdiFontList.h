#pragma once
#include <cstdint>
#include <string>

// The one font the native child controls of dialogs are shown in: the
// style's [Font] "Control" value (a size in pixels, optionally "," and a
// family; without a family the default family). Made once with the other
// shared resources; a new one replaces the held font as a whole.
namespace Resource {

class GdiFontList {
public:
    struct Font {
        std::wstring family;
        int32_t height = 0;  // character height in pixels; 0: the system's
    };

    // Reads the style now; without a settings service the system's font.
    GdiFontList();

    const Font& font() const { return font_; }
    // Parses a "size[,family]" value; defaultFamily stands in for a missing family.
    static Font parse(const std::wstring& value, const std::wstring& defaultFamily);

private:
    Font font_;
};

}  // namespace Resource
