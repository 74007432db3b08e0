// Opens arbitrary bytes as a media file (through a scratch file) and reads a
// few frames and seconds of audio, forwards, again and backwards.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <exception>
#include <string>

#include "core/Log.h"
#include "core/TextConvert.h"
#include "media/audio/AudioBlockBuffer.h"
#include "media/image/ImageBuffer.h"
#include "media/decode/MediaSourceReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    System::Log::setHandler([](const System::Log::Type&, const char*, const char*) {});
    static const std::string path = "/tmp/velmo-fuzz-mediareader-" + std::to_string(getpid()) + ".bin";
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        if (size > 0) std::fwrite(data, 1, size, f);
        std::fclose(f);
    } else {
        return 0;
    }
    const std::wstring wide = System::utf8ToWide(path);
    {
        Media::MediaSourceReader video;
        if (video.open(wide) && video.hasVideo && video.selectVideoStream()) {
            for (int32_t frame : {0, 1, 1, 3, 0, 1000000}) {
                try {
                    if (auto image = video.readVideo(frame); image && image->usedSize() > 0) {
                        volatile uint8_t sink = image->data()[image->usedSize() - 1];
                        (void)sink;
                    }
                } catch (const std::exception&) {
                }
            }
        }
    }
    {
        Media::MediaSourceReader audio;
        if (audio.open(wide) && audio.hasAudio && audio.selectAudioStream()) {
            for (int32_t second : {0, 1, 0, 5}) {
                try {
                    if (auto block = audio.readAudio(second);
                        block && block->samples != static_cast<int32_t>(audio.audioInfo.sampleRate))
                        __builtin_trap();
                } catch (const std::exception&) {
                }
            }
        }
    }
    std::remove(path.c_str());
    return 0;
}
