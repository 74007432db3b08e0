#include "media/text/TextTag.h"

#include <cmath>
#include <cwchar>
#include <iterator>

namespace Media {

namespace {

bool digitOrPoint(wchar_t c) { return (c >= L'0' && c <= L'9') || c == L'.'; }
bool notCommaOrEnd(wchar_t c) { return c != L',' && c != L'>'; }
bool notEnd(wchar_t c) { return c != L'>'; }
bool boldItalic(wchar_t c) { return c == L'B' || c == L'I'; }

// One group of a tag: an optional leading comma, an optional sign out of
// `signs`, then a run of the class (at least one character when `oneOrMore`).
struct Group {
    bool comma;
    const wchar_t* signs;
    bool (*cls)(wchar_t);
    bool oneOrMore;
    bool optional;
};

// The groups from `pos` on, then ">". A run never holds "," or ">", so only
// the longest run can be followed by what comes next: taking a group or
// leaving it out are the only choices to try.
bool match(std::wstring_view s, size_t pos, const Group* g, size_t n, std::optional<std::wstring>* out, size_t& end) {
    if (n == 0) {
        if (pos < s.size() && s[pos] == L'>') {
            end = pos + 1;
            return true;
        }
        return false;
    }
    size_t p = pos;
    bool canTake = true;
    if (g->comma) {
        if (p < s.size() && s[p] == L',')
            ++p;
        else
            canTake = false;
    }
    if (canTake) {
        const size_t start = p;
        if (g->signs != nullptr && p < s.size() && s[p] != 0 && std::wcschr(g->signs, s[p]) != nullptr) ++p;
        const size_t run = p;
        while (p < s.size() && g->cls(s[p])) ++p;
        // An empty group without a comma takes part in no match.
        const bool empty = p == start;
        if (!(g->oneOrMore && p == run) && !(empty && !g->comma)) {
            out[0] = std::wstring(s.substr(start, p - start));
            if (match(s, p, g + 1, n - 1, out + 1, end)) return true;
            out[0].reset();
        }
    }
    if (!g->optional) return false;
    return match(s, pos, g + 1, n - 1, out + 1, end);
}

constexpr Group kColor[] = {{false, nullptr, notCommaOrEnd, false, true}, {true, nullptr, notCommaOrEnd, false, true}};
constexpr Group kFont[] = {{false, nullptr, notEnd, false, true}};
constexpr Group kSize[] = {{false, L"*+-", digitOrPoint, true, true},
                           {true, nullptr, notCommaOrEnd, false, true},
                           {true, nullptr, boldItalic, false, true},
                           {true, nullptr, digitOrPoint, true, true}};
constexpr Group kPosition[] = {{false, L"+-", digitOrPoint, true, true},
                               {true, L"+-", digitOrPoint, true, true},
                               {true, L"+-", digitOrPoint, true, true}};
constexpr Group kRate[] = {{false, nullptr, digitOrPoint, true, true}};
constexpr Group kWait[] = {{false, L"*", digitOrPoint, true, false}};
constexpr Group kClear[] = {{false, L"*", digitOrPoint, true, true}};

}  // namespace

TextTag TextTag::parse(std::wstring_view text) {
    TextTag tag;
    if (text.size() < 3 || text[0] != L'<') return tag;
    const Group* groups = nullptr;
    size_t count = 0;
    Kind kind = Kind::None;
    switch (text[1]) {
    case L'#': groups = kColor, count = std::size(kColor), kind = Kind::Color; break;
    case L'@': groups = kFont, count = std::size(kFont), kind = Kind::Font; break;
    case L's': groups = kSize, count = std::size(kSize), kind = Kind::Size; break;
    case L'p': groups = kPosition, count = std::size(kPosition), kind = Kind::Position; break;
    case L'r': groups = kRate, count = std::size(kRate), kind = Kind::Rate; break;
    case L'w': groups = kWait, count = std::size(kWait), kind = Kind::Wait; break;
    case L'c': groups = kClear, count = std::size(kClear), kind = Kind::Clear; break;
    default: return tag;
    }
    size_t end = 0;
    if (!match(text, 2, groups, count, tag.field, end)) {
        for (auto& f : tag.field) f.reset();
        return tag;
    }
    tag.kind = kind;
    tag.length = end;
    return tag;
}

bool TextTag::readNumber(const std::wstring& text, double& out) {
    // Digits with at most one point, after an optional sign; independent of the locale.
    size_t p = 0;
    double sign = 1;
    if (p < text.size() && (text[p] == L'+' || text[p] == L'-')) sign = text[p++] == L'-' ? -1 : 1;
    double value = 0, scale = 1;
    bool digits = false, point = false;
    for (; p < text.size(); ++p) {
        const wchar_t c = text[p];
        if (c >= L'0' && c <= L'9') {
            digits = true;
            if (point) {
                scale /= 10;
                value += (c - L'0') * scale;
            } else {
                value = value * 10 + (c - L'0');
            }
        } else if (c == L'.' && !point) {
            point = true;
        } else {
            break;
        }
    }
    if (!digits || !std::isfinite(value)) return false;
    out = sign * value;
    return true;
}

}  // namespace Media
