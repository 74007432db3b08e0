#include "core/Color.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <stdexcept>

#include "core/NumberText.h"

namespace Media {

ColorHsv rgbToHsv(float r, float g, float b) {
    float max, d, k;
    if (r >= g && r >= b) {
        max = r;
        d = r - std::min(g, b);
        k = (g - b) / d;
    } else if (g >= b) {
        max = g;
        d = g - std::min(r, b);
        k = (b - r) / d + 2;
    } else {
        max = b;
        d = b - std::min(r, g);
        k = (r - g) / d + 4;
    }
    float h = std::fmod(d > 0 ? k / 6 : 0.0f, 1.0f);
    if (h < 0) h += 1;
    return {h, max > 0 ? d / max : 0.0f, max};
}

ColorRgba hsvToRgb(const ColorHsv& hsv) {
    float a = std::fmod(hsv.h, 1.0f) * 6;
    if (a < 0) a += 6;
    const int sector = static_cast<int>(a);
    const float v = hsv.v, c = (1 - hsv.s) * v, e = v - c;
    switch (sector) {
    case 0: return {v, c + e * a, c, 1};
    case 1: return {c + e * (2 - a), v, c, 1};
    case 2: return {c, v, c + e * (a - 2), 1};
    case 3: return {c, c + e * (4 - a), v, 1};
    case 4: return {c + e * (a - 4), c, v, 1};
    default: return {v, c, c + e * (6 - a), 1};
    }
}

ColorBytes rgbToBytes(float r, float g, float b) {
    auto byte = [](float x) {
        const double v = std::round(static_cast<double>(x) * 255.0);
        return static_cast<uint8_t>(std::clamp(v != v ? 0.0 : v, 0.0, 255.0));
    };
    return {byte(r), byte(g), byte(b)};
}

std::wstring rgbToText(const ColorBytes& color) {
    char text[8];
    std::snprintf(text, sizeof text, "%02x%02x%02x", color.r, color.g, color.b);
    return std::wstring(text, text + 6);
}

namespace {

// The span between leading and trailing spaces, as narrow text; a wide
// character outside ASCII becomes a byte no conversion accepts.
template <class Char>
std::string trimmed(std::basic_string_view<Char> text) {
    size_t first = 0, last = text.size();
    while (first < last && text[first] == ' ') ++first;
    while (last > first && text[last - 1] == ' ') --last;
    if (first == last) throw std::invalid_argument("RGB argument is invalid.");
    std::string out;
    for (size_t i = first; i < last; ++i) {
        const auto c = static_cast<uint32_t>(text[i]);
        out.push_back(c < 0x80 ? static_cast<char>(c) : '\x01');
    }
    return out;
}

int pair(const std::string& span, size_t index) { return System::stoi(span.substr(index * 2, 2), nullptr, 16); }

template <class Char>
void parseRgba(std::basic_string_view<Char> text, ColorRgba& out) {
    const std::string span = trimmed(text);
    if (span.size() != 6 && span.size() != 8) throw std::invalid_argument("RGB argument is invalid.");
    ColorRgba color;
    color.r = static_cast<float>(pair(span, 0)) / 255.0f;
    color.g = static_cast<float>(pair(span, 1)) / 255.0f;
    color.b = static_cast<float>(pair(span, 2)) / 255.0f;
    color.a = span.size() == 8 ? static_cast<float>(pair(span, 3)) / 255.0f : 1.0f;
    out = color;
}

template <class Char>
void parseRgb(std::basic_string_view<Char> text, ColorBytes& out) {
    const std::string span = trimmed(text);
    if (span.size() != 6) return;
    const int r = pair(span, 0), g = pair(span, 1), b = pair(span, 2);
    out = {static_cast<uint8_t>(r), static_cast<uint8_t>(g), static_cast<uint8_t>(b)};
}

}  // namespace

void parseColorRgba(std::string_view text, ColorRgba& out) { parseRgba(text, out); }
void parseColorRgbaWide(std::wstring_view text, ColorRgba& out) { parseRgba(text, out); }
void parseColorRgb(std::string_view text, ColorBytes& out) { parseRgb(text, out); }
void parseColorRgbWide(std::wstring_view text, ColorBytes& out) { parseRgb(text, out); }

}  // namespace Media
