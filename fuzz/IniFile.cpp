// Feeds arbitrary bytes to the ini reader (UTF-8 and CP932), touches every
// value through the typed conversions and saves the document again.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "core/IniFile.h"
#include "core/Log.h"
#include "core/TextConvert.h"

namespace {

std::string& scratchFolder() {
    static std::string folder;
    return folder;
}

void removeScratch() {
    if (scratchFolder().empty()) return;
    for (const char* name : {"/input.ini", "/input.ini.out"}) std::remove((scratchFolder() + name).c_str());
    ::rmdir(scratchFolder().c_str());
}

const std::string& scratchPath() {
    static const std::string path = [] {
        char pattern[] = "/tmp/velmo-fuzz-ini-XXXXXX";
        if (const char* folder = mkdtemp(pattern)) {
            scratchFolder() = folder;
            std::atexit(removeScratch);
        }
        return (scratchFolder().empty() ? std::string("/tmp") : scratchFolder()) + "/input.ini";
    }();
    return path;
}

void touch(const System::IniFile::VALUE& value) {
    try {
        (void)value.toInt();
    } catch (const std::exception&) {
    }
    try {
        (void)value.toInt(3);
    } catch (const std::exception&) {
    }
    try {
        (void)value.toFloat();
    } catch (const std::exception&) {
    }
    try {
        (void)value.toString();
    } catch (const std::exception&) {
    }
    try {
        (void)value.toRGBA();
    } catch (const std::exception&) {
    }
    for (const auto& piece : value.split(",/")) (void)piece.describe();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    System::Log::setHandler([](const System::Log::Type&, const char*, const char*) {});
    const std::string& path = scratchPath();
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(data, 1, size, f);
        std::fclose(f);
    }
    const std::wstring widePath = System::utf8ToWide(path);
    for (bool ansi : {false, true}) {
        System::IniFile ini;
        ini.loadFile(widePath, false, ansi);
        ini.loadFile(widePath, true, ansi);
        for (const auto& [name, keys] : ini.sections()) {
            auto section = ini.getSection(name);
            for (const auto& [key, value] : keys) {
                touch(value);
                (void)section.describeKey(key);
            }
        }
        try {
            System::IniFile::Save(ini, widePath + L".out");
        } catch (const std::exception&) {
        }
    }
    return 0;
}
