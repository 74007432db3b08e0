#include "platform/os/TextConvert.h"

#include <cstdint>

namespace Platform::os {
namespace {
constexpr char32_t kReplacement = 0xFFFD;

void appendUtf8(std::string& out, char32_t c) {
    if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) c = kReplacement;
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}
}  // namespace

std::wstring utf8ToWide(std::string_view text) {
    std::wstring out;
    out.reserve(text.size());
    const auto* p = reinterpret_cast<const uint8_t*>(text.data());
    const auto* end = p + text.size();
    while (p < end) {
        const uint8_t b = *p;
        if (b < 0x80) {
            out.push_back(static_cast<wchar_t>(b));
            ++p;
            continue;
        }
        int length = 0;
        char32_t c = 0, min = 0;
        if ((b & 0xE0) == 0xC0) {
            length = 2;
            c = b & 0x1F;
            min = 0x80;
        } else if ((b & 0xF0) == 0xE0) {
            length = 3;
            c = b & 0x0F;
            min = 0x800;
        } else if ((b & 0xF8) == 0xF0) {
            length = 4;
            c = b & 0x07;
            min = 0x10000;
        } else {
            out.push_back(static_cast<wchar_t>(kReplacement));
            ++p;
            continue;
        }
        int taken = 1;
        bool valid = true;
        for (; taken < length; ++taken) {
            if (p + taken >= end || (p[taken] & 0xC0) != 0x80) {
                valid = false;
                break;
            }
            c = (c << 6) | (p[taken] & 0x3F);
        }
        if (!valid || c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
            out.push_back(static_cast<wchar_t>(kReplacement));
            p += valid ? length : taken;
            continue;
        }
        out.push_back(static_cast<wchar_t>(c));
        p += length;
    }
    return out;
}

bool isValidUtf8(std::string_view text) {
    // Every invalid sequence turns into U+FFFD, which never encodes back to the same bytes.
    return wideToUtf8(utf8ToWide(text)) == text;
}

std::string wideToUtf8(std::wstring_view text) {
    std::string out;
    out.reserve(text.size());
    for (wchar_t w : text) appendUtf8(out, static_cast<char32_t>(w));
    return out;
}

std::u16string wideToUtf16(std::wstring_view text) {
    std::u16string out;
    out.reserve(text.size());
    for (wchar_t w : text) {
        auto c = static_cast<char32_t>(w);
        if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) c = kReplacement;
        if (c < 0x10000) {
            out.push_back(static_cast<char16_t>(c));
        } else {
            c -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 | (c >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 | (c & 0x3FF)));
        }
    }
    return out;
}

std::wstring utf16ToWide(std::u16string_view text) {
    std::wstring out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t u = text[i];
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            out.push_back(static_cast<wchar_t>(0x10000 + ((u - 0xD800) << 10) + (text[i + 1] - 0xDC00)));
            ++i;
        } else if (u >= 0xD800 && u <= 0xDFFF) {
            out.push_back(static_cast<wchar_t>(kReplacement));
        } else {
            out.push_back(static_cast<wchar_t>(u));
        }
    }
    return out;
}

std::u16string utf8ToUtf16(std::string_view text) { return wideToUtf16(utf8ToWide(text)); }
std::string utf16ToUtf8(std::u16string_view text) { return wideToUtf8(utf16ToWide(text)); }

void utf8ToWide(const char* text, std::wstring& out) {
    out = text ? utf8ToWide(std::string_view(text)) : std::wstring();
}
void wideToUtf8(const wchar_t* text, std::string& out) {
    out = text ? wideToUtf8(std::wstring_view(text)) : std::string();
}

}  // namespace Platform::os
