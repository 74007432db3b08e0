#pragma once
#include <cstdint>
#include <string_view>

// Number readers of the item text forms, independent of the locale. Both
// skip leading blanks and ignore what follows the number, as the stored forms
// expect; no number, or one out of range, throws the standard
// invalid_argument or out_of_range error.
namespace Effect::ItemText {

int32_t parseInt(std::string_view text);
double parseDouble(std::string_view text);

}  // namespace Effect::ItemText

#include <string>

namespace Effect::ItemText {

// STAND-IN, to be replaced by System::FileName::expandVariable when the
// file-name variables land: expands a leading path variable in place.
void expandPath(std::wstring& path);

// STAND-IN, to be replaced by Media::parseColorRgb when the colour helpers
// land: six hexadecimal digits rrggbb, blanks around them ignored; anything
// else throws "RGB argument is invalid.".
void parseRgb(std::string_view text, uint8_t& red, uint8_t& green, uint8_t& blue);

}  // namespace Effect::ItemText
