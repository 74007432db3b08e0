#include "core/ConfigFloat.h"

#include <charconv>

#include "core/NumberText.h"

namespace System::Config {

void Float::load(const IniFile::VALUE& value) { *target = System::stof(value.text); }

// "%f" whatever the locale: fixed notation, six decimals.
std::string Float::save() const {
    char text[400];
    const auto result =
        std::to_chars(text, text + sizeof text, static_cast<double>(*target), std::chars_format::fixed, 6);
    return std::string(text, result.ptr);
}

}  // namespace System::Config
