#pragma once
#include <string>
#include <string_view>

// Text in memory is std::wstring (UTF-32 on Linux); files, settings, logs and
// exception texts are UTF-8. These are the only conversions between the two.
namespace System {

// Invalid sequences become U+FFFD; no error is raised.
void utf8ToWide(const char* text, std::wstring& out);
void wideToUtf8(const wchar_t* text, std::string& out);

std::wstring utf8ToWide(std::string_view text);
std::string wideToUtf8(std::wstring_view text);

}  // namespace System
