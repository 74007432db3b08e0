// The header directives of movement scripts ("--twopoint", "--param", ...)
// read from script files in the script folder.
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/Log.h"
#include "effect/ScriptMovement.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    System::Log::setHandler([](const System::Log::Type&, const char*, const char*) {});
    Effect::ScriptMovement movement(L"fuzz", std::string(reinterpret_cast<const char*>(data), size));
    std::wstring label;
    try {
        movement.makeScriptParams(&label, L"default");
        // A reload reads the same header to the same settings.
        const auto settings = movement.defaultSettings;
        movement.makeScriptParams(nullptr, L"default");
        if (movement.defaultSettings.size() != settings.size()) __builtin_trap();
    } catch (const std::exception&) {
    }
    return 0;
}
