#include "ui/dialogs/ReadValue.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

#include "core/TextConvert.h"
#include "ui/framework/ToolTips.h"

namespace Dialog {

namespace W = Platform::window;

namespace {

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; }

void refuse(W::DialogWindow& dialog, int32_t control, const std::wstring& range) {
    Window::ToolTips::showBelow(dialog.controlScreenRect(control), L"値が不正です", range.c_str());
}

// "%.16lg" in the C locale.
std::string numberText(double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.16g", value);
    std::string text = buffer;
    for (char& c : text)
        if (c == ',') c = '.';
    return text;
}

}  // namespace

std::optional<int32_t> parseLeadingInt(const std::string& text) {
    size_t i = 0;
    while (i < text.size() && isSpace(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    const size_t digits = i;
    int64_t value = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
        value = value * 10 + (text[i++] - '0');
        if (value > int64_t(std::numeric_limits<int32_t>::max()) + 1) return std::nullopt;
    }
    if (i == digits) return std::nullopt;
    if (negative) value = -value;
    if (value < std::numeric_limits<int32_t>::min() || value > std::numeric_limits<int32_t>::max())
        return std::nullopt;
    return static_cast<int32_t>(value);
}

std::optional<double> parseLeadingNumber(const std::string& text) {
    size_t i = 0;
    while (i < text.size() && isSpace(text[i])) ++i;
    size_t end = text.size();
    while (end > i && isSpace(text[end - 1])) --end;
    const char* first = text.data() + i;
    const char* last = text.data() + end;
    bool negative = false;
    if (first < last && (*first == '+' || *first == '-')) negative = *first++ == '-';
    if (first < last && (*first == '+' || *first == '-')) return std::nullopt;
    double value = 0;
    const auto read = std::from_chars(first, last, value, std::chars_format::general);
    if (read.ec == std::errc::invalid_argument || read.ptr == first) return std::nullopt;
    if (read.ec == std::errc::result_out_of_range) return std::nullopt;
    return negative ? -value : value;
}

bool readIntInRange(W::DialogWindow& dialog, int32_t control, int32_t& value, int32_t minimum, int32_t maximum) {
    const std::wstring range = L"(" + std::to_wstring(minimum) + L" - " + std::to_wstring(maximum) + L")";
    const std::string text = dialog.text(control);
    const std::optional<int32_t> read = text.empty() ? std::nullopt : parseLeadingInt(text);
    if (!read) {
        refuse(dialog, control, range);
        return false;
    }
    value = *read;
    if (value < minimum || value > maximum) {
        refuse(dialog, control, range);
        return false;
    }
    return true;
}

bool readNumberInRange(W::DialogWindow& dialog, int32_t control, double& value, double minimum, double maximum) {
    const std::wstring range =
        System::utf8ToWide("(" + numberText(minimum) + " - " + numberText(maximum) + ")");
    const std::string text = dialog.text(control);
    const std::optional<double> read = text.empty() ? std::nullopt : parseLeadingNumber(text);
    if (!read) {
        refuse(dialog, control, range);
        return false;
    }
    value = *read;
    if (!(value >= minimum && value <= maximum)) {
        refuse(dialog, control, range);
        return false;
    }
    return true;
}

}  // namespace Dialog
