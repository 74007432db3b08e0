#pragma once
#include <cstddef>
#include <string_view>

// Text to number the way the standard conversions read it (leading white
// space, a sign, as many digits as stand there, the rest ignored), but
// independent of the locale and with the program's own error texts:
// std::invalid_argument "invalid stoi argument" / "invalid stof argument" and
// std::out_of_range "stoi argument out of range" / "stof argument out of range".
namespace System {

// index, when given, receives the number of characters read.
int stoi(std::string_view text, size_t* index = nullptr, int base = 10);
float stof(std::string_view text, size_t* index = nullptr);

}  // namespace System
