#pragma once
#include <string>
#include <string_view>

// Text in memory is std::wstring (UTF-32 on Linux); files, settings, logs and
// exception texts are UTF-8; UTF-16 appears only where a binary format, a
// plug-in table or the pipe protocol carries it. These are the only
// conversions between the three.
namespace Platform::os {

// Invalid sequences become U+FFFD; no error is raised.
void utf8ToWide(const char* text, std::wstring& out);
void wideToUtf8(const wchar_t* text, std::string& out);

std::wstring utf8ToWide(std::string_view text);
// True when the text holds no invalid sequence.
bool isValidUtf8(std::string_view text);
std::string wideToUtf8(std::wstring_view text);

// UTF-16 with surrogate pairs. A lone surrogate becomes U+FFFD, as does a
// wide character outside Unicode.
std::u16string wideToUtf16(std::wstring_view text);
std::wstring utf16ToWide(std::u16string_view text);
std::u16string utf8ToUtf16(std::string_view text);
std::string utf16ToUtf8(std::u16string_view text);

}  // namespace Platform::os
