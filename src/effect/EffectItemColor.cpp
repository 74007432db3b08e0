#include "effect/EffectItemColor.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <stdexcept>

#include "core/NumberText.h"
#include "effect/ItemText.h"

namespace Effect {

namespace {

// The byte of two hexadecimal digits, -1 when they are not both digits.
int hexByte(std::string_view two) {
    const int high = ItemText::hexDigit(two[0]), low = ItemText::hexDigit(two[1]);
    return high < 0 || low < 0 ? -1 : high << 4 | low;
}

// Six hexadecimal digits, blanks around them ignored; any other text fails
// before anything changes (signs, inner blanks or a "0x" are not digits).
void readRgb(std::string_view text, uint8_t& red, uint8_t& green, uint8_t& blue) {
    size_t first = 0, last = text.size();
    while (first < last && text[first] == ' ') ++first;
    while (last > first && text[last - 1] == ' ') --last;
    if (last - first != 6) throw std::invalid_argument("RGB argument is invalid.");
    const std::string_view digits = text.substr(first, 6);
    const int r = hexByte(digits.substr(0, 2)), g = hexByte(digits.substr(2, 2)), b = hexByte(digits.substr(4, 2));
    if (r < 0 || g < 0 || b < 0) throw std::invalid_argument("RGB argument is invalid.");
    red = static_cast<uint8_t>(r);
    green = static_cast<uint8_t>(g);
    blue = static_cast<uint8_t>(b);
}

}  // namespace

EffectItemColor::EffectItemColor(ItemList* list, std::wstring name, uint8_t red, uint8_t green, uint8_t blue,
                                 uint8_t type)
    : EffectItem(list, type, std::move(name)),
      red(red),
      green(green),
      blue(blue),
      unset(type == kColorUnset && red == 0 && green == 0 && blue == 0) {}

void EffectItemColor::copyFrom(const EffectItem& other) {
    const auto& o = static_cast<const EffectItemColor&>(other);
    red = o.red;
    green = o.green;
    blue = o.blue;
    unset = o.unset;
}

bool EffectItemColor::equals(const EffectItem& other) const {
    const auto& o = static_cast<const EffectItemColor&>(other);
    return red == o.red && green == o.green && blue == o.blue && unset == o.unset;
}

std::unique_ptr<EffectItem> EffectItemColor::clone() const { return std::make_unique<EffectItemColor>(*this); }

std::string EffectItemColor::toString() const {
    if (unset) return {};
    char text[8];
    std::snprintf(text, sizeof text, "%02x%02x%02x", red, green, blue);
    return text;
}

void EffectItemColor::fromString(std::string_view text) {
    if (text.empty()) {
        unset = 1;
        red = green = blue = 0;
        return;
    }
    readRgb(text, red, green, blue);  // throws before it changes anything
    unset = 0;
}

namespace {

int16_t hexInt16(std::string_view four) {
    const int low = hexByte(four.substr(0, 2)), high = hexByte(four.substr(2, 2));
    if (low < 0 || high < 0) throw std::invalid_argument("invalid stoi argument");
    return static_cast<int16_t>(low | high << 8);
}

uint8_t toByte(float v) {
    const float r = std::round(v);  // halves away from zero
    return static_cast<uint8_t>(std::clamp(r, 0.0f, 255.0f));
}

}  // namespace

void EffectItemColor::fromYCbCr(std::string_view digits, uint8_t& red, uint8_t& green, uint8_t& blue) {
    const float y = hexInt16(digits.substr(0, 4));
    const float cb = hexInt16(digits.substr(4, 4));
    const float cr = hexInt16(digits.substr(8, 4));
    const float s = 255.0f / 4096.0f;
    red = toByte((y + 1.402f * cr) * s);
    green = toByte((y - 0.344f * cb - 0.714f * cr) * s);
    blue = toByte((y + 1.772f * cb) * s);
}

// The unset flag belongs to the "no_" key alone, so that the keys of one
// colour apply in any order.
void EffectItemColor::fromKtoString(std::string_view value, std::string_view key, const wchar_t*, bool raw) {
    if (key.starts_with("no_")) {
        int32_t v = 0;
        try {
            v = System::stoi(value);
        } catch (const std::exception&) {
            return;
        }
        if (v > 0) unset = 1;
        return;
    }
    if (key.starts_with("color_yc")) {
        if (value.size() != 12) return;
        fromYCbCr(value, red, green, blue);
        return;
    }
    if (raw) {
        try {
            const int32_t v = System::stoi(value);
            red = static_cast<uint8_t>(v >> 16);
            green = static_cast<uint8_t>(v >> 8);
            blue = static_cast<uint8_t>(v);
            return;
        } catch (const std::exception&) {
            // not a decimal number: read as hex digits
        }
    }
    readRgb(value, red, green, blue);
}

}  // namespace Effect
