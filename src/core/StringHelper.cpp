#include "core/StringHelper.h"

#include <algorithm>

#include <charconv>
#include <cmath>
#include <cstdio>

namespace System {
namespace {

// Half-width katakana U+FF61..U+FF9F as their full-width forms.
constexpr char16_t kHalfWidthKana[] = {
    0x3002, 0x300C, 0x300D, 0x3001, 0x30FB, 0x30F2, 0x30A1, 0x30A3, 0x30A5, 0x30A7, 0x30A9, 0x30E3, 0x30E5,
    0x30E7, 0x30C3, 0x30FC, 0x30A2, 0x30A4, 0x30A6, 0x30A8, 0x30AA, 0x30AB, 0x30AD, 0x30AF, 0x30B1, 0x30B3,
    0x30B5, 0x30B7, 0x30B9, 0x30BB, 0x30BD, 0x30BF, 0x30C1, 0x30C4, 0x30C6, 0x30C8, 0x30CA, 0x30CB, 0x30CC,
    0x30CD, 0x30CE, 0x30CF, 0x30D2, 0x30D5, 0x30D8, 0x30DB, 0x30DE, 0x30DF, 0x30E0, 0x30E1, 0x30E2, 0x30E4,
    0x30E6, 0x30E8, 0x30E9, 0x30EA, 0x30EB, 0x30EC, 0x30ED, 0x30EF, 0x30F3, 0x309B, 0x309C,
};

bool voicable(wchar_t c) { return (c >= 0x30AB && c <= 0x30C8) || (c >= 0x30CF && c <= 0x30DB); }
bool semiVoicable(wchar_t c) { return c >= 0x30CF && c <= 0x30DB && (c - 0x30CF) % 3 == 0; }

// One character of a and b as compared: width, kana type and case folded.
// Reads the voiced-sound mark that follows a half-width kana with it.
wchar_t foldAt(const std::wstring& s, size_t& i) {
    wchar_t c = s[i++];
    if (c >= 0xFF61 && c <= 0xFF9F) {
        c = kHalfWidthKana[c - 0xFF61];
        if (i < s.size() && s[i] == 0xFF9E && (voicable(c) || c == 0x30A6)) {
            c = c == 0x30A6 ? 0x30F4 : c + 1;
            ++i;
        } else if (i < s.size() && s[i] == 0xFF9F && semiVoicable(c)) {
            c += 2;
            ++i;
        }
    }
    if (c >= 0xFF01 && c <= 0xFF5E) c -= 0xFEE0;  // full-width ASCII
    if (c == 0x3000) c = L' ';
    if (c >= 0x3041 && c <= 0x3096) c += 0x60;  // hiragana as katakana
    if (c >= L'A' && c <= L'Z')
        c += 0x20;
    else if (c >= 0xC0 && c <= 0xDE && c != 0xD7)
        c += 0x20;
    else if (c >= 0x391 && c <= 0x3A9 && c != 0x3A2)
        c += 0x20;
    else if (c >= 0x410 && c <= 0x42F)
        c += 0x20;
    return c;
}

bool isSymbol(wchar_t c) {
    if (c < 0x80) return !((c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z'));
    return (c >= 0xA0 && c <= 0xBF) || c == 0xD7 || c == 0xF7 || (c >= 0x2000 && c <= 0x206F) ||
           (c >= 0x3000 && c <= 0x3004) || (c >= 0x3008 && c <= 0x303F) || c == 0x30FB || c == 0x309B || c == 0x309C;
}

bool isDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

struct Cursor {
    const std::wstring& s;
    size_t i = 0;
    // The next compared character, symbols skipped; 0 at the end.
    wchar_t next(size_t& after) {
        size_t j = i;
        while (j < s.size()) {
            const wchar_t c = foldAt(s, j);
            if (!isSymbol(c)) {
                after = j;
                return c;
            }
        }
        after = j;
        return 0;
    }
};

// The digits of a run from the cursor on (symbols do not break it: they are ignored).
std::wstring digitRun(Cursor& cur) {
    std::wstring digits;
    size_t after = 0;
    for (wchar_t c = cur.next(after); c != 0 && isDigit(c); c = cur.next(after)) {
        digits.push_back(c);
        cur.i = after;
    }
    const size_t nonZero = digits.find_first_not_of(L'0');
    return nonZero == std::wstring::npos ? std::wstring() : digits.substr(nonZero);
}

bool isLineTerminator(wchar_t c) { return c == L'\n' || c == L'\r' || c == 0x2028 || c == 0x2029; }

}  // namespace

int compareNatural(const std::wstring& a, const std::wstring& b) {
    Cursor x{a}, y{b};
    for (;;) {
        size_t xa = 0, ya = 0;
        const wchar_t cx = x.next(xa), cy = y.next(ya);
        if (cx == 0 || cy == 0) return cx == cy ? 0 : (cx == 0 ? -1 : 1);
        if (isDigit(cx) && isDigit(cy)) {
            const std::wstring nx = digitRun(x), ny = digitRun(y);
            if (nx.size() != ny.size()) return nx.size() < ny.size() ? -1 : 1;
            if (const int c = nx.compare(ny); c != 0) return c < 0 ? -1 : 1;
            continue;
        }
        if (cx != cy) return cx < cy ? -1 : 1;
        x.i = xa;
        y.i = ya;
    }
}

std::wstring formatDecimal(double value) {
    char buffer[400];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 6);
    std::string text(buffer, result.ec == std::errc() ? result.ptr : buffer);
    if (text.find('.') != std::string::npos) {
        while (!text.empty() && text.back() == '0') text.pop_back();
        if (!text.empty() && text.back() == '.') text.pop_back();
    }
    return std::wstring(text.begin(), text.end());
}

namespace {
void formatTimeText(wchar_t (&out)[16], double seconds, bool hundredths) {
    const bool negative = seconds < 0;
    double a = std::fabs(seconds);
    if (!(a == a)) a = 0;        // NaN
    if (a > 9.0e15) a = 9.0e15;  // keeps the integer parts defined
    const long long whole = static_cast<long long>(a);
    const long long cents = static_cast<long long>(a * 100) % 100;
    char text[64];
    if (hundredths)
        std::snprintf(text, sizeof text, "%s%02lld:%02lld:%02lld.%02lld", negative ? "-" : "", whole / 3600,
                      whole / 60 % 60, whole % 60, cents);
    else
        std::snprintf(text, sizeof text, "%s%02lld:%02lld:%02lld", negative ? "-" : "", whole / 3600, whole / 60 % 60,
                      whole % 60);
    size_t i = 0;
    for (; i < 15 && text[i] != '\0'; ++i) out[i] = static_cast<wchar_t>(text[i]);
    out[i] = L'\0';
}
}  // namespace

void formatTime(wchar_t (&out)[16], double seconds) { formatTimeText(out, seconds, true); }
void formatTimeSeconds(wchar_t (&out)[16], double seconds) { formatTimeText(out, seconds, false); }

void replaceAll(std::wstring& text, const std::wstring& find, const std::wstring& put) {
    if (find.empty()) return;
    for (size_t at = text.find(find); at != std::wstring::npos; at = text.find(find, at + put.size()))
        text.replace(at, find.size(), put);
}

void expandPlaceholders(std::wstring& text, const std::function<std::wstring(const std::wstring&)>& lookup) {
    // The matches of the pattern "\\{(.+?)\\}" over the unchanged copy, from the left, found by a plain
    // scan: std::regex recurses per character and overflows the stack on long texts.
    const std::wstring original = text;
    size_t pos = 0;
    while ((pos = original.find(L'{', pos)) != std::wstring::npos) {
        // The name takes at least one character (even a '}') and no line terminator.
        size_t j = pos + 1;
        size_t close = std::wstring::npos;
        for (; j < original.size() && !isLineTerminator(original[j]); ++j) {
            if (original[j] == L'}' && j >= pos + 2) {
                close = j;
                break;
            }
        }
        if (close == std::wstring::npos) {
            // No brace that opens before j can close before it either.
            pos = std::max(j, pos + 1);
            continue;
        }
        replaceAll(text, original.substr(pos, close - pos + 1), lookup(original.substr(pos + 1, close - pos - 1)));
        pos = close + 1;
    }
}

namespace {
template <class String>
bool replaceBreaks(String& text) {
    using Char = typename String::value_type;
    if (text.find_first_of(String{Char('\r'), Char('\n')}) == String::npos) return false;
    String out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const Char c = text[i];
        if (c == Char('\r') || c == Char('\n')) {
            if (c == Char('\r') && i + 1 < text.size() && text[i + 1] == Char('\n')) ++i;
            out.push_back(Char(' '));
        } else {
            out.push_back(c);
        }
    }
    text = std::move(out);
    return true;
}
}  // namespace

bool replaceLineBreaks(std::wstring& text) { return replaceBreaks(text); }
bool replaceLineBreaks(std::string& text) { return replaceBreaks(text); }

void trimSpace(std::wstring& text) {
    const size_t first = text.find_first_not_of(L' ');
    if (first == std::wstring::npos) {
        text.clear();
        return;
    }
    text.erase(text.find_last_not_of(L' ') + 1);
    text.erase(0, first);
}

namespace {
template <class String>
std::vector<String> split(const String& text, typename String::value_type separator) {
    std::vector<String> pieces;
    size_t start = 0;
    for (;;) {
        const size_t at = text.find(separator, start);
        if (at == String::npos) {
            pieces.push_back(text.substr(start));
            return pieces;
        }
        pieces.push_back(text.substr(start, at - start));
        start = at + 1;
    }
}
}  // namespace

std::vector<std::string> splitComma(const std::string& text) { return split(text, ','); }
std::vector<std::wstring> splitComma(const std::wstring& text) { return split(text, L','); }
std::vector<std::string> splitString(const std::string& text, char separator) { return split(text, separator); }

}  // namespace System
