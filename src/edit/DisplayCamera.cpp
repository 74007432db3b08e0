#include "edit/DisplayCamera.h"

#include <charconv>
#include <cmath>

namespace Effect {

std::string DisplayCamera::toString() const {
    if (values == kDefaults) return {};
    std::string text;
    for (size_t i = 0; i < values.size(); ++i) {
        char buffer[400];
        // Fixed with six decimals, independent of the locale.
        const auto r = std::to_chars(buffer, buffer + sizeof(buffer), values[i], std::chars_format::fixed, 6);
        if (i) text += ',';
        text.append(buffer, r.ec == std::errc() ? r.ptr : buffer);
    }
    return text;
}

void DisplayCamera::fromString(const std::string& text) {
    std::array<double, 6> read{};
    size_t at = 0;
    for (size_t i = 0; i < read.size(); ++i) {
        const size_t comma = text.find(',', at);
        if ((i + 1 < read.size()) != (comma != std::string::npos)) return;
        const size_t stop = comma == std::string::npos ? text.size() : comma;
        const char* first = text.data() + at;
        const char* last = text.data() + stop;
        while (first < last && *first == ' ') ++first;
        if (first < last && *first == '+') ++first;
        const auto r = std::from_chars(first, last, read[i]);
        if (r.ec != std::errc() || r.ptr != last || !std::isfinite(read[i])) return;
        at = stop + 1;
    }
    values = read;
}

}  // namespace Effect
