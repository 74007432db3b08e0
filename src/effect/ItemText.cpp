#include "effect/ItemText.h"

#include <charconv>
#include <cmath>
#include <stdexcept>

namespace Effect::ItemText {

namespace {

std::string_view skipBlanks(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r')))
        ++i;
    return text.substr(i);
}

}  // namespace

int32_t parseInt(std::string_view text) {
    text = skipBlanks(text);
    bool negative = false;
    if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
        negative = text[0] == '-';
        text.remove_prefix(1);
    }
    int64_t value = 0;
    size_t digits = 0;
    bool overflow = false;
    while (digits < text.size() && text[digits] >= '0' && text[digits] <= '9') {
        if (!overflow) {
            value = value * 10 + (text[digits] - '0');
            overflow = value > 2147483648LL;
        }
        ++digits;
    }
    if (digits == 0)
        throw std::invalid_argument("invalid stoi argument");
    if (negative)
        value = -value;
    if (overflow || value > INT32_MAX || value < INT32_MIN)
        throw std::out_of_range("stoi argument out of range");
    return static_cast<int32_t>(value);
}

double parseDouble(std::string_view text) {
    text = skipBlanks(text);
    if (!text.empty() && text[0] == '+' && (text.size() < 2 || text[1] != '-'))
        text.remove_prefix(1);
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error == std::errc::invalid_argument || end == text.data())
        throw std::invalid_argument("invalid stod argument");
    if (error == std::errc::result_out_of_range)
        throw std::out_of_range("stod argument out of range");
    return value;
}

}  // namespace Effect::ItemText

#include "core/Exception.h"

namespace Effect::ItemText {

void expandPath(std::wstring&) {}

void parseRgb(std::string_view text, uint8_t& red, uint8_t& green, uint8_t& blue) {
    size_t b = 0, e = text.size();
    while (b < e && text[b] == ' ')
        ++b;
    while (e > b && text[e - 1] == ' ')
        --e;
    const std::string_view digits = text.substr(b, e - b);
    auto hex = [](char c) {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        if (c >= 'A' && c <= 'F')
            return c - 'A' + 10;
        return -1;
    };
    int v[6];
    bool ok = digits.size() == 6;
    for (size_t i = 0; ok && i < 6; ++i)
        ok = (v[i] = hex(digits[i])) >= 0;
    if (!ok)
        throw System::messageException("Media::parseColorRgb", "RGB argument is invalid.");
    red = static_cast<uint8_t>(v[0] << 4 | v[1]);
    green = static_cast<uint8_t>(v[2] << 4 | v[3]);
    blue = static_cast<uint8_t>(v[4] << 4 | v[5]);
}

}  // namespace Effect::ItemText
