#pragma once
#include <string>
#include <string_view>
#include <vector>

// The whole text of a small settings file of the user's (palettes, parameter
// presets), its path given with its %...% variables, and the pieces its lines
// are read in.
namespace Effect {

// The file's bytes; empty when it is missing, unreadable or 2 GB and more. A
// missing file is no error: nothing is logged for it.
std::string readPresetFileText(const std::wstring& path);
// Replaces the file with the text; throws when it cannot be written.
void writePresetFileText(const std::wstring& path, const std::string& text);
// The pieces between separators, as views into the text; empty pieces are
// kept: "a,,b," -> a, "", b, "".
std::vector<std::string_view> splitPresetText(std::string_view text, char separator);

}  // namespace Effect
