#include "core/TextFormat.h"

#include <cinttypes>
#include <cstdio>
#include <cwchar>
#include <algorithm>
#include <vector>

namespace System {
namespace {

// Rewrites every "%p" conversion (flags and width dropped) to a fixed 16-digit
// upper-case hexadecimal one; everything else is left as written.
template <class Char>
std::basic_string<Char> rewritePointers(const Char* format) {
    std::basic_string<Char> out;
    for (const Char* p = format; *p;) {
        if (*p != '%') {
            out.push_back(*p++);
            continue;
        }
        const Char* start = p++;
        if (*p == '%') {
            out.push_back('%');
            out.push_back('%');
            ++p;
            continue;
        }
        while (*p && (*p == '-' || *p == '+' || *p == ' ' || *p == '#' || *p == '0' || (*p >= '1' && *p <= '9') ||
                      *p == '.' || *p == '*' || *p == 'h' || *p == 'l' || *p == 'L' || *p == 'z' || *p == 'j' ||
                      *p == 't' || *p == 'q'))
            ++p;
        if (*p == 'p') {
            for (const char* r = "%016" PRIXPTR; *r; ++r) out.push_back(static_cast<Char>(*r));
            ++p;
            continue;
        }
        out.append(start, p);
        if (*p) out.push_back(*p++);
    }
    return out;
}

bool hasPointer(const char* format) {
    for (const char* p = format; *p; ++p)
        if (*p == 'p') return true;
    return false;
}

}  // namespace

size_t utf8CutLength(const char* text, size_t length) {
    // Walk back over the continuation bytes at the end to the last lead byte.
    size_t i = length;
    size_t trailing = 0;
    while (i > 0 && trailing < 3 && (static_cast<unsigned char>(text[i - 1]) & 0xc0) == 0x80) {
        --i;
        ++trailing;
    }
    if (i == 0) return length;
    const auto lead = static_cast<unsigned char>(text[i - 1]);
    const size_t need = lead >= 0xf0 && lead < 0xf8   ? 4
                        : lead >= 0xe0 && lead < 0xf0 ? 3
                        : lead >= 0xc0 && lead < 0xe0 ? 2
                                                      : 1;
    return need > 1 && trailing + 1 < need ? i - 1 : length;
}

void vformatText(char* out, size_t size, const char* format, va_list args) {
    if (size == 0) return;
    int written;
    if (hasPointer(format)) {
        const std::string rewritten = rewritePointers(format);
        written = std::vsnprintf(out, size, rewritten.c_str(), args);
    } else {
        written = std::vsnprintf(out, size, format, args);
    }
    if (written < 0)
        out[0] = '\0';
    else if (static_cast<size_t>(written) >= size)
        out[utf8CutLength(out, size - 1)] = '\0';
}

void formatText(char* out, size_t size, const char* format, ...) {
    va_list args;
    va_start(args, format);
    vformatText(out, size, format, args);
    va_end(args);
}

std::wstring vformatWide(size_t limit, const wchar_t* format, va_list args) {
    const std::wstring rewritten = rewritePointers(format);
    // vswprintf fails instead of cutting, so grow until the text fits and cut it ourselves.
    std::vector<wchar_t> buffer(limit + 1);
    for (;;) {
        va_list copy;
        va_copy(copy, args);
        const int written = std::vswprintf(buffer.data(), buffer.size(), rewritten.c_str(), copy);
        va_end(copy);
        if (written >= 0) {
            std::wstring text(buffer.data(), static_cast<size_t>(written));
            if (text.size() > limit) text.resize(limit);
            return text;
        }
        if (buffer.size() > (1u << 20)) return std::wstring(buffer.data(), std::min(limit, std::wcslen(buffer.data())));
        buffer.resize(buffer.size() * 4);
    }
}

std::wstring formatString(const wchar_t* format, ...) {
    va_list args;
    va_start(args, format);
    std::wstring text = vformatWide(1023, format, args);
    va_end(args);
    return text;
}

}  // namespace System
