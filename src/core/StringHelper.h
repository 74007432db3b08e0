#pragma once
#include <functional>
#include <string>
#include <vector>

// Small text, number and time helpers. Stateless and re-entrant; numbers are
// printed the same under every locale.
namespace System {

// -1, 0 or 1. Digit runs compare as numbers; case, hiragana/katakana, full and
// half width and symbols (punctuation and blanks) are ignored.
int compareNatural(const std::wstring& a, const std::wstring& b);

// "%f", then trailing zeros and a trailing point removed: 2.0 -> "2".
std::wstring formatDecimal(double value);

// "[-]hh:mm:ss.cc" and "[-]hh:mm:ss" into a 16-character buffer, cut at 15.
void formatTime(wchar_t (&out)[16], double seconds);
void formatTimeSeconds(wchar_t (&out)[16], double seconds);

// Every occurrence from the left; inserted text is never searched again.
// An empty text to find changes nothing.
void replaceAll(std::wstring& text, const std::wstring& find, const std::wstring& put);

// Fills every "{name}" with what the callable gives for the name. The search
// runs over the original text, so a replacement holding braces stays as it is.
void expandPlaceholders(std::wstring& text, const std::function<std::wstring(const std::wstring&)>& lookup);

// Turns every line break (CR LF, CR or LF) into one U+0020, so the text fits
// on one line of a line-based file; returns whether there was any.
bool replaceLineBreaks(std::wstring& text);
bool replaceLineBreaks(std::string& text);

// Removes leading and trailing U+0020 (other blanks stay).
void trimSpace(std::wstring& text);

// The pieces between separators, empty pieces kept: "a,,b," -> a, "", b, "".
std::vector<std::string> splitComma(const std::string& text);
std::vector<std::wstring> splitComma(const std::wstring& text);
std::vector<std::string> splitString(const std::string& text, char separator);

}  // namespace System
