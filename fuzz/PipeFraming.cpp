// Feeds arbitrary bytes, as a host program could send them, to the pipe
// framing and to the readers of the hosts' replies: the plug-in
// description, the media description of an opened file, blocks and strings.
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <string>
#include <vector>

#include "core/Log.h"
#include "core/Pipe.h"
#include "plugin/InputFile.h"
#include "plugin/InputPipe32.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    System::Log::setHandler([](const System::Log::Type&, const char*, const char*) {});
    static const int sink = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    const int source = ::memfd_create("pipe-framing", MFD_CLOEXEC);
    if (source < 0) return 0;
    if (size > 0 && ::write(source, data, size) != static_cast<ssize_t>(size)) {
        ::close(source);
        return 0;
    }
    ::lseek(source, 0, SEEK_SET);
    System::Pipe pipe(source, sink);
    pipe.setKeepWaiting(System::Pipe::timeout(0));
    std::vector<uint8_t> room(1 << 16);
    try {
        // What follows is read as the replies of a conversation, in turn.
        for (int step = 0; step < 64; ++step) {
            switch (static_cast<uint32_t>(pipe.readInt()) % 5) {
            case 0: {
                int32_t flags = 0;
                std::wstring name, filter, information;
                Plugin::InputPipe32::readDescription(pipe, flags, name, filter, information);
                break;
            }
            case 1: {
                Plugin::InputFile::Info info;
                if (pipe.readInt() != 0) Plugin::InputPipe32::readFileInfo(pipe, info);
                break;
            }
            case 2: (void)pipe.readBlock(room.data(), static_cast<uint32_t>(pipe.readInt()) % (room.size() + 1)); break;
            case 3: {
                std::wstring text;
                pipe.readString(text);
                pipe.writeString(text);
                break;
            }
            default: (void)pipe.readInt64(); break;
            }
        }
    } catch (const std::exception&) {
        // Every malformed or short reply ends the conversation this way.
    }
    ::close(source);
    return 0;
}
