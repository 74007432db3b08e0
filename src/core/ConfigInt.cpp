#include "core/ConfigInt.h"

#include "core/NumberText.h"

namespace System::Config {

// Blanks, a sign and decimal digits; anything after them is ignored.
void Int::load(const IniFile::VALUE& value) { *target = System::stoi(value.text); }

std::string Int::save() const { return std::to_string(*target); }

}  // namespace System::Config
