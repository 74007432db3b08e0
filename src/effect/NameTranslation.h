#pragma once
#include <string>

// Display names of effects and movements go through the active language's
// effect table; the names themselves stay the keys. The program installs the
// translation service's lookup as that service joins the start-up and removes
// it after the teardown; without one every name is shown as it is.
namespace Effect {

using NameTranslator = std::wstring (*)(const wchar_t* name);

// Returns the translator installed before.
NameTranslator setNameTranslator(NameTranslator translator);
std::wstring translateName(const wchar_t* name);

}  // namespace Effect
