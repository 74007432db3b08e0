#pragma once
#include <cstdint>
#include <string>
#include <string_view>

// Colour forms and their conversions: four floats (drawn with and stored in
// settings), HSV (the colour panel), three bytes (effect colour items) and
// the "rrggbb" / "rrggbbaa" text of files, controls and text tags.
namespace Media {

struct ColorRgba {
    float r = 0, g = 0, b = 0, a = 1;
};

// Hue in turns (0 red, 1/3 green, 2/3 blue), saturation and value 0..1.
struct ColorHsv {
    float h = 0, s = 0, v = 0;
};

struct ColorBytes {
    uint8_t r = 0, g = 0, b = 0;
};

ColorHsv rgbToHsv(float r, float g, float b);
ColorRgba hsvToRgb(const ColorHsv& hsv);
// Each channel times 255, rounded half away from zero, clamped to 0..255.
ColorBytes rgbToBytes(float r, float g, float b);
// Six lower-case digits.
std::wstring rgbToText(const ColorBytes& color);

// Six or eight hexadecimal digits, blanks (U+0020) around ignored; alpha 1
// when six. Throws std::invalid_argument "RGB argument is invalid." for an
// empty text or another length, "invalid stoi argument" for a pair that is no number.
void parseColorRgba(std::string_view text, ColorRgba& out);
void parseColorRgbaWide(std::wstring_view text, ColorRgba& out);
// Six digits; a text of another (non-empty) length leaves out unchanged.
void parseColorRgb(std::string_view text, ColorBytes& out);
void parseColorRgbWide(std::wstring_view text, ColorBytes& out);

}  // namespace Media
