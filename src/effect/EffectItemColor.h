#pragma once
#include "effect/EffectItem.h"

namespace Effect {

// A colour; the kind 14 may be unset ("未指定"). A kind-14 colour made
// black starts unset: black is its "no colour".
class EffectItemColor : public EffectItem {
public:
    uint8_t red = 0, green = 0, blue = 0;
    uint8_t unset = 0;

    static bool hasType(uint8_t code) { return code == kColor || code == kColorUnset; }

    EffectItemColor(ItemList* list, std::wstring name, uint8_t red, uint8_t green, uint8_t blue, uint8_t type = kColor);
    EffectItemColor(const EffectItemColor& other) = default;

    void copyFrom(const EffectItem& other) override;
    bool equals(const EffectItem& other) const override;
    std::unique_ptr<EffectItem> clone() const override;
    std::string toString() const override;
    void fromString(std::string_view text) override;
    // "no_" keys unset the colour, "color_yc" keys hold YCbCr, others RGB.
    void fromKtoString(std::string_view value, std::string_view key, const wchar_t* effectName, bool raw) override;

    // The 12 hex digits of three signed 16-bit values (Y, Cb, Cr), low byte first.
    static void fromYCbCr(std::string_view digits, uint8_t& red, uint8_t& green, uint8_t& blue);
};

}  // namespace Effect
