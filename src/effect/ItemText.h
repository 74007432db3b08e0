#pragma once
#include <string_view>

// The reader of 64-bit numbers in the item text forms, independent of the
// locale: leading blanks skipped, what follows the number ignored; no number,
// or one out of range, throws "invalid stod argument" (invalid_argument) or
// "stod argument out of range" (out_of_range).
namespace Effect::ItemText {

double parseDouble(std::string_view text);

// The value of one hexadecimal digit of either case, -1 for any other character.
int hexDigit(char c);

}  // namespace Effect::ItemText
