#include "effect/EffectItemText.h"

#include <algorithm>

#include "core/TextConvert.h"
#include "effect/ItemText.h"

namespace Effect {

EffectItemText::EffectItemText(ItemList* list, std::wstring name, std::wstring text)
    : EffectItem(list, kText, std::move(name)), text(std::move(text)) {}

void EffectItemText::copyFrom(const EffectItem& other) {
    const auto& o = static_cast<const EffectItemText&>(other);
    if (o.prefixLength == 0 && o.suffixLength == 0) {
        text = o.text;
        return;
    }
    // A snapshot of a changed middle: keep this text's ends around it. The
    // lengths are limited to this text so a mismatched snapshot cannot read
    // past it.
    const size_t size = text.size();
    const size_t prefix = std::min(static_cast<size_t>(std::max(o.prefixLength, 0)), size);
    const size_t suffix = std::min(static_cast<size_t>(std::max(o.suffixLength, 0)), size - prefix);
    text = text.substr(0, prefix) + o.text + text.substr(size - suffix);
}

bool EffectItemText::equals(const EffectItem& other) const {
    return text == static_cast<const EffectItemText&>(other).text;
}

std::unique_ptr<EffectItem> EffectItemText::clone() const { return std::make_unique<EffectItemText>(*this); }

std::string EffectItemText::toString() const {
    std::wstring out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const wchar_t c = text[i];
        if (c == L'\\') {
            out += L"\\\\";
        } else if (c == L'\r') {
            out += L"\\n";
            if (i + 1 < text.size() && text[i + 1] == L'\n') ++i;
        } else if (c == L'\n') {
            out += L"\\n";
        } else {
            out += c;
        }
    }
    return System::wideToUtf8(out);
}

void EffectItemText::fromString(std::string_view value) {
    const std::wstring in = System::utf8ToWide(value);
    std::wstring out;
    out.reserve(in.size());
    for (size_t i = 0; i < in.size(); ++i) {
        if (in[i] == L'\\' && i + 1 < in.size()) {
            if (in[i + 1] == L'\\') {
                out += L'\\';
                ++i;
                continue;
            }
            if (in[i + 1] == L'n') {
                out += L'\n';
                ++i;
                continue;
            }
        }
        out += in[i];
    }
    text = std::move(out);
}

void EffectItemText::fromKtoString(std::string_view value, std::string_view key, const wchar_t* effectName, bool raw) {
    if (key != "text") {
        EffectItem::fromKtoString(value, key, effectName, raw);
        return;
    }
    std::u16string units;
    for (size_t i = 0; i + 4 <= value.size(); i += 4) {
        int d[4];
        for (int k = 0; k < 4; ++k) d[k] = ItemText::hexDigit(value[i + k]);
        if (d[0] < 0 || d[1] < 0 || d[2] < 0 || d[3] < 0) break;
        units += static_cast<char16_t>((d[0] << 4 | d[1]) | (d[2] << 4 | d[3]) << 8);
    }
    // Fixed-size text fields of that generation end at the first zero unit.
    if (const size_t end = units.find(u'\0'); end != std::u16string::npos) units.resize(end);
    std::wstring out;
    for (size_t i = 0; i < units.size(); ++i) {
        const char32_t u = units[i];
        if (u >= 0xD800 && u < 0xDC00 && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] < 0xE000) {
            out += static_cast<wchar_t>(0x10000 + ((u - 0xD800) << 10) + (units[i + 1] - 0xDC00));
            ++i;
        } else if (u >= 0xD800 && u < 0xE000) {
            out += L'\xFFFD';
        } else {
            out += static_cast<wchar_t>(u);
        }
    }
    text = std::move(out);
}

void EffectItemText::diffFrom(EffectItemText& other) {
    const std::wstring& a = text;
    const std::wstring& b = other.text;
    if (a == b) return;
    const size_t shorter = std::min(a.size(), b.size());
    size_t prefix = 0;
    while (prefix < shorter && a[prefix] == b[prefix]) ++prefix;
    size_t suffix = 0;
    while (suffix < shorter - prefix && a[a.size() - 1 - suffix] == b[b.size() - 1 - suffix]) ++suffix;
    text = a.substr(prefix, a.size() - prefix - suffix);
    other.text = b.substr(prefix, b.size() - prefix - suffix);
    prefixLength = other.prefixLength = static_cast<int32_t>(prefix);
    suffixLength = other.suffixLength = static_cast<int32_t>(suffix);
}

}  // namespace Effect
