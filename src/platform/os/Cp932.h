#pragma once
#include <string>
#include <string_view>

// Text of the earlier generation, multibyte in the Japanese system code page.
namespace Platform::os {

// Decodes CP932. A byte that starts no valid character, or a character cut
// off at the end, becomes U+FFFD; decoding goes on after it.
std::wstring decodeCp932(std::string_view text);

}  // namespace Platform::os
