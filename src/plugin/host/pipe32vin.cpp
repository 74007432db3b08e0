// The host of one older input plug-in ("*.vin"): loads it and answers the
// editor's commands over the pipes until it is told to quit or the pipes
// close. Every call into the plug-in runs under the crash guard, so a fault
// in it is answered as a refusal instead of ending the host.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <map>
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

using Plugin::InputPluginTable;
using Plugin::INPUT_INFO;

constexpr const char* kScope = "pipe32vin";
// The editor never asks for more in one read; anything above is not honoured.
constexpr uint32_t kMaxBlock = 1u << 30;

struct Host {
    explicit Host(System::Pipe& to) : pipe(to) {}
    System::Pipe& pipe;
    Platform::os::DynamicLibrary library;
    const InputPluginTable* table = nullptr;
    std::map<int32_t, void*> files;
    int32_t nextHandle = 1;
    std::vector<uint8_t> buffer;

    void loadPlugin() {
        std::wstring name;
        pipe.readString(name);
        table = static_cast<const InputPluginTable*>(Plugin::Host::loadTable(library, name, INPUT_PLUGIN_TABLE_FUNCTION));
        if (table == nullptr) std::exit(1);  // the editor reads the end of the pipe as the failed load
        int32_t flags = 0;
        if (table->flag & INPUT_PLUGIN_FLAG_VIDEO) flags |= 1;
        if (table->flag & INPUT_PLUGIN_FLAG_AUDIO) flags |= 2;
        if (table->func_config != nullptr) flags |= 4;
        pipe.writeInt(flags);
        pipe.writeString(Plugin::Host::textUnits(table->name));
        pipe.writeString(Plugin::Host::filterUnits(table->filefilter));
        pipe.writeString(Plugin::Host::textUnits(table->information));
    }

    void config() {
        (void)pipe.readInt();  // the owner window: not a window of this process
        const int32_t mutexHandle = pipe.readInt();
        Platform::os::ProcessMutex mutex;
        const bool held = Platform::succeeded(mutex.open(mutexHandle)) && mutex.lock() != Platform::os::kWaitFailed;
        pipe.writeInt(0);
        if (table != nullptr && table->func_config != nullptr) {
            try {
                void* module = library.nativeHandle();
                (void)System::guardedCall("table.func_config", kScope, [&] { return table->func_config(nullptr, module); });
            } catch (const std::exception&) {
            }
        }
        if (held) mutex.unlock();
    }

    void close(void* handle) {
        if (table->func_close == nullptr) return;
        try {
            (void)System::guardedCall("table.func_close", kScope, [&] { return table->func_close(handle); });
        } catch (const std::exception&) {
        }
    }

    void open() {
        std::wstring path;
        pipe.readString(path);
        void* handle = nullptr;
        INPUT_INFO info{};
        bool described = false;
        if (table != nullptr && table->func_open != nullptr && table->func_info_get != nullptr) {
            try {
                const std::u16string units = System::wideToUtf16(path);
                handle = System::guardedCall("table.func_open", kScope, [&] { return table->func_open(units.c_str()); });
                if (handle != nullptr)
                    described = System::guardedCall("table.func_info_get", kScope,
                                                    [&] { return table->func_info_get(handle, &info); });
            } catch (const std::exception&) {
                described = false;
            }
        }
        int32_t videoFormat = 0;
        if (described && (info.flag & 1)) {
            if (info.format == nullptr) {
                described = false;
            } else {
                videoFormat = Plugin::pluginVideoFormat(info.format->biCompression, info.format->biBitCount);
                described = videoFormat != 0;
            }
        }
        if (described && (info.flag & 2) && info.audio_format == nullptr) described = false;
        if (!described) {
            if (handle != nullptr) close(handle);
            pipe.writeInt(0);
            return;
        }
        const int32_t id = nextHandle++;
        files[id] = handle;
        pipe.writeInt(id);
        pipe.writeInt(info.flag & 3);
        if (info.flag & 1) {
            pipe.writeInt(info.n);
            pipe.writeInt(videoFormat);
            pipe.writeInt(info.format->biWidth);
            pipe.writeInt(std::abs(info.format->biHeight));
            pipe.writeInt(info.rate);
            pipe.writeInt(info.scale);
        }
        if (info.flag & 2) {
            pipe.writeInt64(info.audio_n);
            pipe.writeInt(info.audio_format->wFormatTag);
            pipe.writeInt(info.audio_format->wBitsPerSample);
            pipe.writeInt(info.audio_format->nChannels);
            pipe.writeInt(static_cast<int32_t>(info.audio_format->nSamplesPerSec));
        }
    }

    void closeFile() {
        const int32_t id = pipe.readInt();
        const auto found = files.find(id);
        if (found == files.end()) return;
        close(found->second);
        files.erase(found);
    }

    // The frame bytes, zero where the plug-in wrote nothing; the editor's count bounds the reply.
    void readVideo() {
        const int32_t id = pipe.readInt();
        const int32_t frame = pipe.readInt();
        const uint32_t size = std::min(static_cast<uint32_t>(pipe.readInt()), kMaxBlock);
        const auto found = files.find(id);
        // Room for what the plug-in may write: the editor's count is the frame's size.
        buffer.assign(size, 0);
        if (found != files.end() && table->func_read_video != nullptr && size > 0) {
            try {
                uint8_t* data = buffer.data();
                (void)System::guardedCall("table.func_read_video", kScope,
                                          [&] { return table->func_read_video(found->second, frame, data); });
            } catch (const std::exception&) {
                std::fill(buffer.begin(), buffer.end(), 0);
            }
        }
        pipe.writeBlock(buffer.data(), size);
    }

    // The samples the plug-in wrote; fewer than asked leaves the rest to the editor's silence.
    void readAudio() {
        const int32_t id = pipe.readInt();
        const auto start = static_cast<uint32_t>(pipe.readInt());
        const auto length = static_cast<uint32_t>(pipe.readInt());
        const uint32_t size = std::min(static_cast<uint32_t>(pipe.readInt()), kMaxBlock);
        const auto found = files.find(id);
        buffer.assign(size, 0);
        uint32_t bytes = 0;
        if (found != files.end() && table->func_read_audio != nullptr && size > 0 && length > 0) {
            try {
                uint8_t* data = buffer.data();
                const int32_t samples = System::guardedCall(
                    "table.func_read_audio", kScope, [&] { return table->func_read_audio(found->second, start, length, data); });
                const uint32_t perSample = size / length;
                if (samples > 0) bytes = std::min<uint64_t>(uint64_t{static_cast<uint32_t>(samples)} * perSample, size);
            } catch (const std::exception&) {
                bytes = 0;
            }
        }
        pipe.writeBlock(buffer.data(), bytes);
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
            const int32_t command = pipe.readInt();
            switch (command) {
            case 0: return 0;
            case 1: host.loadPlugin(); break;
            case 2: host.config(); break;
            case 10: host.open(); break;
            case 11: host.closeFile(); break;
            case 12: host.readVideo(); break;
            case 13: host.readAudio(); break;
            default: return 3;  // out of step with the editor
            }
        }
    } catch (const std::exception&) {
        // The editor has gone or closed the pipes.
    }
    for (const auto& [id, handle] : host.files) host.close(handle);
    return 0;
}
