#include "plugin/HostProcess.h"

#include <exception>

#include "core/FileName.h"
#include "core/Log.h"
#include "core/Pipe.h"

namespace Plugin::HostProcess {

namespace {
// The quit command is the same number in both protocols.
constexpr int32_t kQuit = 0;
}  // namespace

void start(System::PipeProcess& process, std::unique_ptr<System::Pipe>& pipe, const wchar_t* program) {
    if (process.isAlive()) return;
    process.terminate();
    process.start(System::FileName::getExpandedPath(program));
    pipe = std::make_unique<System::Pipe>(process.readPipe(), process.writePipe());
}

void quit(System::PipeProcess& process, std::unique_ptr<System::Pipe>& pipe) {
    if (pipe && process.isAlive()) {
        try {
            pipe->writeInt(kQuit);
        } catch (const std::exception&) {
            // The host is going anyway.
        }
    }
    pipe.reset();
    process.terminate();
}

void stop(System::PipeProcess& process, std::unique_ptr<System::Pipe>& pipe, const char* scope,
          const std::wstring& fileName) {
    if (!pipe && !process.isAlive()) return;
    System::Log::error(scope, L"stop the host of [%ls]", fileName.c_str());
    pipe.reset();
    process.kill();
}

}  // namespace Plugin::HostProcess
