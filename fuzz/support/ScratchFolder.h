#pragma once
// One fresh folder per fuzzing run, removed at exit. It is both the
// installation folder and XDG_DATA_HOME, so nothing touches the user's data.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "core/FileName.h"
#include "core/TextConvert.h"

namespace FuzzSupport {

inline std::string& scratchFolder() {
    static std::string folder;
    return folder;
}

inline void removeScratch() {
    if (!scratchFolder().empty()) std::system(("rm -rf '" + scratchFolder() + "'").c_str());
}

// Makes the folder from a mkdtemp pattern and writes effectConf, when given,
// as its "effect.conf". Falls back to /tmp when no folder can be made. The
// folder goes to memory (/dev/shm) where there is one: on a disk, every
// file rewritten in place waits for its blocks at close, which took most of
// an input's time in the targets that write files.
inline std::string makeScratch(const char* pattern, const char* effectConf = nullptr) {
    std::string name = pattern;
    const std::string base = name.substr(name.find_last_of('/') + 1);
    std::string inMemory = "/dev/shm/" + base;
    const char* made = access("/dev/shm", W_OK) == 0 ? mkdtemp(inMemory.data()) : nullptr;
    if (made == nullptr) made = mkdtemp(name.data());
    if (made != nullptr) {
        scratchFolder() = made;
        std::atexit(removeScratch);
        setenv("XDG_DATA_HOME", made, 1);
        System::FileName::resetVariableList(System::utf8ToWide(scratchFolder() + "/velmo2"));
        if (effectConf)
            if (FILE* f = std::fopen((scratchFolder() + "/effect.conf").c_str(), "wb")) {
                std::fputs(effectConf, f);
                std::fclose(f);
            }
    }
    return scratchFolder().empty() ? std::string("/tmp") : scratchFolder();
}

// Writes the fuzzer's input to the file at path.
inline void writeInput(const std::string& path, const uint8_t* data, size_t size) {
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(data, 1, size, f);
        std::fclose(f);
    }
}

}  // namespace FuzzSupport
