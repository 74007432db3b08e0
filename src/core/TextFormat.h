#pragma once
#include <cstdarg>
#include <cstddef>
#include <string>

// printf-style formatting into bounded buffers, the same on every platform:
// "%p" prints 16 upper-case hexadecimal digits, wide formats take "%ls" for
// wide strings, and an over-long result is cut at the limit (never an error).
namespace System {

// Formats into out[size] and always terminates it; an over-long text is cut at
// size - 1 bytes, or before a UTF-8 character that would not fit whole.
void vformatText(char* out, size_t size, const char* format, va_list args);
void formatText(char* out, size_t size, const char* format, ...) __attribute__((format(printf, 3, 4)));

// The length of the longest prefix of text[0..length) that ends on a UTF-8
// character boundary (bytes that are not well-formed UTF-8 count one by one).
size_t utf8CutLength(const char* text, size_t length);

// Wide formatting, cut at limit characters.
std::wstring vformatWide(size_t limit, const wchar_t* format, va_list args);

// A wide string of the formatted text, cut at 1023 characters.
std::wstring formatString(const wchar_t* format, ...);

}  // namespace System
