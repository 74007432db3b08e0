#pragma once
#include <string>

// The whole text of a small settings file of the user's (palettes, parameter
// presets), its path given with its %...% variables.
namespace Effect {

// The file's bytes; empty when it is missing, unreadable or 2 GB and more. A
// missing file is no error: nothing is logged for it.
std::string readPresetFileText(const std::wstring& path);
// Replaces the file with the text; throws when it cannot be written.
void writePresetFileText(const std::wstring& path, const std::string& text);

}  // namespace Effect
