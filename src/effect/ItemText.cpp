#include "effect/ItemText.h"

#include <charconv>
#include <stdexcept>

namespace Effect::ItemText {

namespace {

std::string_view skipBlanks(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
    return text.substr(i);
}

}  // namespace

double parseDouble(std::string_view text) {
    text = skipBlanks(text);
    if (!text.empty() && text[0] == '+' && (text.size() < 2 || text[1] != '-')) text.remove_prefix(1);
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error == std::errc::invalid_argument || end == text.data())
        throw std::invalid_argument("invalid stod argument");
    if (error == std::errc::result_out_of_range) throw std::out_of_range("stod argument out of range");
    return value;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace Effect::ItemText
