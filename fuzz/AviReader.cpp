// Opens arbitrary bytes as an AVI file (through a scratch file) and reads a
// few frames and seconds of sound, forwards, again and backwards.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <exception>
#include <string>

#include "core/Log.h"
#include "core/TextConvert.h"
#include "media/audio/AudioBlockBuffer.h"
#include "media/image/ImageBuffer.h"
#include "plugin/avi/AviFileInput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    System::Log::setHandler([](const System::Log::Type&, const char*, const char*) {});
    static const std::string path = "/tmp/velmo-fuzz-avireader-" + std::to_string(getpid()) + ".avi";
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        if (size > 0) std::fwrite(data, 1, size, f);
        std::fclose(f);
    } else {
        return 0;
    }
    Plugin::AviFileInput file;
    if (!file.open(System::utf8ToWide(path))) return 0;
    const auto& info = file.info;
    // Raw frames lie in the file; a decoded picture's size is the header's
    // alone, so only pictures of a sane size are decoded.
    const bool smallPicture = int64_t{info.width} * info.height <= 4096 * 4096;
    if ((info.flags & Plugin::InputFile::kVideo) && smallPicture) {
        for (int32_t frame : {0, 1, 1, 3, 0, 1000000, -5}) {
            try {
                if (auto image = file.readVideo(frame); image && image->usedSize() > 0) {
                    volatile uint8_t sink = image->data()[image->usedSize() - 1];
                    (void)sink;
                }
            } catch (const std::exception&) {
            }
        }
    }
    if (info.flags & Plugin::InputFile::kAudio) {
        for (int32_t second : {0, 1, 2, 0, 5, -1}) {
            try {
                if (auto block = file.readAudio(second); block && block->samples != info.sampleRate) __builtin_trap();
            } catch (const std::exception&) {
            }
        }
    }
    return 0;
}
