#pragma once
// Line writers shared by the project file's pieces.
#include <cstdint>
#include <string>

#include "core/File.h"

namespace Edit::IniLines {

inline void writeRaw(System::File& file, const std::string& line) {
    const std::string text = line + "\r\n";
    file.write(text.data(), static_cast<int32_t>(text.size()));
}
inline void writeSection(System::File& file, const std::string& name) { writeRaw(file, "[" + name + "]"); }
inline void writeInt(System::File& file, const char* key, int64_t value) {
    writeRaw(file, std::string(key) + "=" + std::to_string(value));
}

}  // namespace Edit::IniLines
