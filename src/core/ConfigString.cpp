#include "core/ConfigString.h"

#include "core/TextConvert.h"

namespace System::Config {

// An empty text is the empty string, not the default.
void String::load(const IniFile::VALUE& value) { *target = utf8ToWide(value.text); }

std::string String::save() const { return wideToUtf8(*target); }

}  // namespace System::Config
