#include "core/NumberText.h"

#include <charconv>
#include <limits>
#include <stdexcept>

namespace System {
namespace {

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

int digitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'z') return c - 'a' + 10;
    if (c >= 'A' && c <= 'Z') return c - 'A' + 10;
    return 99;
}

}  // namespace

int stoi(std::string_view text, size_t* index, int base) {
    size_t i = 0;
    while (i < text.size() && isSpace(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    if (base == 16 && i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X') &&
        i + 2 < text.size() && digitValue(text[i + 2]) < 16)
        i += 2;
    const size_t first = i;
    long long value = 0;
    bool overflow = false;
    for (; i < text.size() && digitValue(text[i]) < base; ++i) {
        if (!overflow) {
            value = value * base + digitValue(text[i]);
            if (value > static_cast<long long>(std::numeric_limits<int>::max()) + 1) overflow = true;
        }
    }
    if (i == first) throw std::invalid_argument("invalid stoi argument");
    if (negative) value = -value;
    if (overflow || value > std::numeric_limits<int>::max() || value < std::numeric_limits<int>::min())
        throw std::out_of_range("stoi argument out of range");
    if (index != nullptr) *index = i;
    return static_cast<int>(value);
}

float stof(std::string_view text, size_t* index) {
    size_t i = 0;
    while (i < text.size() && isSpace(text[i])) ++i;
    // from_chars takes no '+', so step over it; a second sign after it is no number.
    if (i < text.size() && text[i] == '+') {
        ++i;
        if (i < text.size() && text[i] == '-') throw std::invalid_argument("invalid stof argument");
    }
    float value = 0;
    const auto result = std::from_chars(text.data() + i, text.data() + text.size(), value);
    if (result.ec == std::errc::invalid_argument) throw std::invalid_argument("invalid stof argument");
    if (result.ec == std::errc::result_out_of_range) throw std::out_of_range("stof argument out of range");
    if (index != nullptr) *index = static_cast<size_t>(result.ptr - text.data());
    return value;
}

}  // namespace System
