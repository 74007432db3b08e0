// The host of one older output plug-in ("*.vou"): loads it, and on the
// editor's export command runs its export, asking the editor for every
// frame, every span of sound, the abort state and the progress over the
// pipes. A pipe failure ends the host: the editor has gone or given up.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "core/Exception.h"
#include "core/Pipe.h"
#include "core/TextConvert.h"
#include "platform/os/DynamicLibrary.h"
#include "platform/os/ProcessMutex.h"
#include "plugin/PluginTable.h"
#include "plugin/host/HostConnection.h"
#include "plugin/host/PluginFormat.h"

namespace {

using Plugin::OUTPUT_INFO;
using Plugin::OutputPluginTable;

constexpr const char* kScope = "pipe32vou";

enum Request : int32_t { kDone = 20, kVideo = 21, kAudio = 22, kAbort = 23, kProgress = 24 };

// The export the callbacks serve; they carry no context of their own.
struct Export {
    System::Pipe* pipe = nullptr;
    int32_t width = 0, height = 0;
    std::vector<uint8_t> frame;
    std::vector<uint8_t> samples;
    std::vector<float> floats;
};
Export current;

[[noreturn]] void lost() { std::_Exit(4); }

void* getVideo(int32_t frame, uint32_t code) {
    const int32_t format = Plugin::pluginRequestFormat(code);
    // An unsupported format is answered with zeros of the 24-bit frame.
    const uint32_t size = Plugin::pluginFrameSize(format != 0 ? format : Plugin::pluginRequestFormat(0),
                                                  current.width, current.height);
    current.frame.assign(std::max<uint32_t>(size, 1), 0);
    if (format == 0 || size == 0) return current.frame.data();
    try {
        current.pipe->writeInt(kVideo);
        current.pipe->writeInt(frame);
        current.pipe->writeInt(format);
        (void)current.pipe->readInt();  // the image size; the block says how much came
        const uint32_t got = current.pipe->readBlock(current.frame.data(), size);
        if (got < size) std::fill(current.frame.begin() + got, current.frame.end(), 0);
    } catch (const std::exception&) {
        lost();
    }
    return current.frame.data();
}

void* getAudio(int32_t start, int32_t length, int32_t* readed, uint32_t format) {
    if (readed != nullptr) *readed = 0;
    const uint32_t count = length > 0 ? static_cast<uint32_t>(length) : 0;
    current.samples.assign(std::max<size_t>(size_t{count} * 4, 4), 0);
    int32_t delivered = 0;
    try {
        current.pipe->writeInt(kAudio);
        current.pipe->writeInt(start);
        current.pipe->writeInt(static_cast<int32_t>(count));
        delivered = current.pipe->readInt();
        (void)current.pipe->readInt();  // the byte count; the block carries it again
        const uint32_t got = current.pipe->readBlock(current.samples.data(), count * 4);
        delivered = std::clamp<int32_t>(delivered, 0, static_cast<int32_t>(got / 4));
    } catch (const std::exception&) {
        lost();
    }
    if (readed != nullptr) *readed = delivered;
    if (format != 3) return current.samples.data();
    // Float samples from the 16-bit ones the editor sends.
    current.floats.assign(std::max<size_t>(size_t{count} * 2, 2), 0.0f);
    const auto* in = reinterpret_cast<const int16_t*>(current.samples.data());
    for (size_t i = 0; i < size_t{count} * 2; ++i) current.floats[i] = in[i] * (1.0f / 32768.0f);
    return current.floats.data();
}

int32_t isAbort() {
    try {
        current.pipe->writeInt(kAbort);
        return current.pipe->readInt() != 0 ? 1 : 0;
    } catch (const std::exception&) {
        lost();
    }
}

void progress(int32_t now, int32_t total) {
    try {
        current.pipe->writeInt(kProgress);
        current.pipe->writeInt(now);
        current.pipe->writeInt(total);
    } catch (const std::exception&) {
        lost();
    }
}

// The editor renders ahead on its own; there is nothing to tell it.
void setBufferSize(int32_t, int32_t) {}

struct Host {
    explicit Host(System::Pipe& to) : pipe(to) {}
    System::Pipe& pipe;
    Platform::os::DynamicLibrary library;
    const OutputPluginTable* table = nullptr;

    void loadPlugin() {
        std::wstring name;
        pipe.readString(name);
        table = static_cast<const OutputPluginTable*>(
            Plugin::Host::loadTable(library, name, OUTPUT_PLUGIN_TABLE_FUNCTION));
        if (table == nullptr) std::exit(1);  // the editor reads the end of the pipe as the failed load
        int32_t flags = table->flag & 3;
        if (table->func_config != nullptr) flags |= 4;
        pipe.writeInt(flags);
        pipe.writeString(Plugin::Host::textUnits(table->name));
        pipe.writeString(Plugin::Host::filterUnits(table->filefilter));
        pipe.writeString(Plugin::Host::textUnits(table->information));
    }

    void config() {
        (void)pipe.readInt();
        const int32_t mutexHandle = pipe.readInt();
        Platform::os::ProcessMutex mutex;
        const bool held = Platform::succeeded(mutex.open(mutexHandle)) && mutex.lock() != Platform::os::kWaitFailed;
        pipe.writeInt(0);
        if (table != nullptr && table->func_config != nullptr) {
            try {
                void* module = library.nativeHandle();
                (void)System::guardedCall("table.func_config", kScope,
                                          [&] { return table->func_config(nullptr, module); });
            } catch (const std::exception&) {
            }
        }
        if (held) mutex.unlock();
    }

    void output() {
        std::wstring path;
        pipe.readString(path);
        OUTPUT_INFO info{};
        info.flag = 3;
        info.w = pipe.readInt();
        info.h = pipe.readInt();
        info.rate = pipe.readInt();
        info.scale = pipe.readInt();
        info.n = pipe.readInt();
        info.audio_rate = pipe.readInt();
        info.audio_n = pipe.readInt();
        info.audio_ch = 2;
        const std::u16string savefile = System::wideToUtf16(path);
        info.savefile = savefile.c_str();
        info.func_get_video = getVideo;
        info.func_get_audio = getAudio;
        info.func_is_abort = isAbort;
        info.func_rest_time_disp = progress;
        info.func_set_buffer_size = setBufferSize;
        current.pipe = &pipe;
        current.width = info.w;
        current.height = info.h;
        bool result = false;
        if (table != nullptr && table->func_output != nullptr) {
            try {
                result = System::guardedCall("table.func_output", kScope, [&] { return table->func_output(&info); });
            } catch (const std::exception&) {
                result = false;
            }
        }
        pipe.writeInt(kDone);
        pipe.writeInt(result ? 1 : 0);
    }
};

}  // namespace

int main(int argc, char** argv) {
    int readFd = -1, writeFd = -1;
    if (!Plugin::Host::connect(argc, argv, readFd, writeFd)) return 2;
    System::Pipe pipe(readFd, writeFd);
    Host host(pipe);
    try {
        for (;;) {
            switch (pipe.readInt()) {
            case 0: return 0;
            case 1: host.loadPlugin(); break;
            case 2: host.config(); break;
            case 10: host.output(); break;
            default: return 3;  // out of step with the editor
            }
        }
    } catch (const std::exception&) {
        // The editor has gone or closed the pipes.
    }
    return 0;
}
