// Feeds arbitrary raw blocks (as readers deliver them from media files) to the
// planar conversion, writes them back in each output format and takes both
// spectra.
#include <cstdint>
#include <cstring>
#include <stdexcept>

#include "core/Log.h"
#include "media/audio/AudioBlockBuffer.h"
#include "media/audio/RawAudioBuffer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 4) return 0;
    System::Log::setHandler([](const System::Log::Type&, const char*, const char*) {});
    Media::RawAudioBuffer raw;
    raw.formatTag = data[0] % 4;
    raw.bitsPerSample = data[1] % 2 ? 16 : 32;
    raw.channels = 1 + data[2] % 3;
    raw.blockAlign = raw.channels * raw.bitsPerSample / 8;
    const int32_t bands = static_cast<int8_t>(data[3]) * 9;
    data += 4;
    size -= 4;
    raw.data.allocMemory(static_cast<uint32_t>(size));
    if (size > 0) std::memcpy(raw.data.data(), data, size);
    try {
        Media::AudioBlockBuffer block(raw);
        static const int32_t formats[][3] = {{1, 16, 2}, {3, 32, 2}, {3, 32, 1}};
        for (const auto& f : formats) {
            Media::RawAudioBuffer out;
            out.formatTag = f[0];
            out.bitsPerSample = f[1];
            out.channels = f[2];
            out.blockAlign = f[2] * f[1] / 8;
            block.convertTo(out);
            if (out.sampleCount != block.samples) __builtin_trap();
        }
        if (block.getSpectrum(bands).size() != static_cast<size_t>(bands <= 0 ? 0 : bands > 1024 ? 1024 : bands))
            __builtin_trap();
        if (block.getFourier().size() != 1024) __builtin_trap();
        block.clearFrom(bands);
    } catch (const std::runtime_error&) {
    }
    return 0;
}
