#pragma once
// Effect sections read into every prototype: what was read is written, read
// into a fresh instance and written again, and both texts must agree.
#include <cstdint>
#include <cstdlib>
#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "core/File.h"
#include "core/IniFile.h"
#include "core/Log.h"
#include "core/TextConvert.h"
#include "effect/EffectBase.h"
#include "ScratchFolder.h"

namespace FuzzSupport {

// Writes the effect's parameters as section "Effect.0" of the file at path
// and returns the file's text. The file is written in place: a replacing
// write syncs the disk on every close, which took nearly all of an input's
// time over some hundred writes.
inline std::string writeSection(const Effect::EffectBase& effect, const std::string& path) {
    System::File file;
    file.open(System::utf8ToWide(path), System::File::kWriteShareRead);
    file.write("[Effect.0]\r\n", 12);
    effect.saveIniSectionParameter(file);
    file.close();
    file.open(System::utf8ToWide(path), System::File::kRead);
    std::string text(static_cast<size_t>(file.getSize()), '\0');
    file.readBlock(text.data(), static_cast<int32_t>(text.size()));
    return text;
}

// Reads the input as an effect file into each prototype and aborts when a
// written section does not read back to the same text.
inline void roundTripSection(const uint8_t* data, size_t size, const std::string& scratch,
                             const std::vector<std::shared_ptr<Effect::EffectBase>>& prototypes) {
    System::Log::setHandler([](const System::Log::Type&, const char*, const char*) {});
    const std::string input = scratch + "/input.effect";
    const std::string output = scratch + "/output.effect";
    writeInput(input, data, size);
    System::IniFile ini;
    ini.loadFile(System::utf8ToWide(input));
    const System::IniFile::SectionRef section = ini.getSection("Effect", 0);
    for (const auto& effect : prototypes) {
        try {
            effect->loadIniSectionParameter(section);
        } catch (const std::exception&) {
            continue;  // a malformed flag leaves the section unread
        }
        const std::string first = writeSection(*effect, output);
        System::IniFile written;
        written.loadFile(System::utf8ToWide(output));
        const auto again = effect->createInstance();
        again->loadIniSectionParameter(written.getSection("Effect", 0));
        if (writeSection(*again, output) != first) std::abort();
    }
}

}  // namespace FuzzSupport
