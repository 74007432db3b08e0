#include "core/PipeProcess.h"

#include <cerrno>

#include "core/Exception.h"
#include "core/Log.h"
#include "core/TextConvert.h"
#include "core/TextFormat.h"
#include "platform/os/ErrorText.h"
#include "platform/os/Pipe.h"
#include "platform/window/MessageQueue.h"

namespace System {
namespace {

constexpr const char* kStartScope = "System::PipeProcess::start";

std::string handleText(int fd) {
    char text[32];
    formatText(text, sizeof text, "%p", reinterpret_cast<void*>(static_cast<intptr_t>(fd)));
    return text;
}

// User input to the editor while the child's window is up: dropped.
bool isDropped(uint32_t message) {
    using namespace Platform::window;
    return message == kWmClose || (message >= kWmNcMouseMove && message <= 0x00AD) ||
           (message >= kWmKeyDown && message <= 0x0109) || message == kWmCommand ||
           (message >= kWmMouseMove && message <= kWmMouseHWheel);
}

}  // namespace

void PipeProcess::start(const std::wstring& executable) {
    int childRead = -1, childWrite = -1;
    auto fail = [&](const char* call) {
        const int error = Platform::os::lastError();
        std::runtime_error e = lastErrorException(call, kStartScope);
        terminate();
        Platform::os::closeDescriptor(childRead);
        Platform::os::closeDescriptor(childWrite);
        Platform::os::setLastError(error);
        return e;
    };
    // The editor's ends never reach a child; the child's ends only through the spawn.
    if (Platform::failed(Platform::os::createPipe(readPipe_, childWrite))) throw fail("CreatePipe");
    if (Platform::failed(Platform::os::createPipe(childRead, writePipe_))) throw fail("CreatePipe");
    if (Platform::failed(mutex_.create())) throw fail("CreateMutex");
    const std::vector<std::string> arguments{handleText(childRead), handleText(childWrite)};
    if (Platform::failed(process_.spawn(wideToUtf8(executable), arguments, {childRead, childWrite, mutex_.fd()})))
        throw fail("CreateProcess");
    Platform::os::closeDescriptor(childRead);
    Platform::os::closeDescriptor(childWrite);
}

void PipeProcess::terminate() {
    mutex_.close();
    Platform::os::closeDescriptor(readPipe_);
    Platform::os::closeDescriptor(writePipe_);
    if (!process_.valid()) return;
    if (process_.waitExit(kTerminateTimeoutMs) != Platform::os::kWaitObject0) {
        Log::warn("System::PipeProcess::terminate", "kill pipe process [%p]",
                  reinterpret_cast<void*>(static_cast<intptr_t>(process_.pid())));
        (void)process_.terminate(0);  // it may have ended in the meantime
    }
    process_.close();
}

void PipeProcess::kill() {
    mutex_.close();
    Platform::os::closeDescriptor(readPipe_);
    Platform::os::closeDescriptor(writePipe_);
    if (!process_.valid()) return;
    if (process_.waitExit(0) != Platform::os::kWaitObject0) {
        Log::warn("System::PipeProcess::terminate", "kill pipe process [%p]",
                  reinterpret_cast<void*>(static_cast<intptr_t>(process_.pid())));
        (void)process_.terminate(0);
    }
    process_.close();
}

bool PipeProcess::isAlive() {
    uint32_t code = 0;
    return process_.valid() && Platform::succeeded(process_.exitCode(code)) && code == Platform::os::kStillActive;
}

void PipeProcess::waitMutexProcessMessage(Platform::window::WindowHandle /*window*/) {
    namespace W = Platform::window;
    bool quit = false;
    int quitCode = 0;
    for (;;) {
        const uint32_t r = mutex_.lock(0);
        if (r == Platform::os::kWaitObject0 || r == Platform::os::kWaitAbandoned) {
            mutex_.unlock();
            if (quit) W::postQuitMessage(quitCode);  // kept for the main loop, which ends on it
            return;
        }
        if (r != Platform::os::kWaitTimeout)
            throw lastErrorException("MsgWaitForMultipleObjects", "System::PipeProcess::waitMutexProcessMessage");
        W::Message msg;
        while (W::peekMessage(msg, nullptr, 0, 0, W::kPmRemove)) {
            if (msg.message == W::kWmQuit) {
                quit = true;
                quitCode = static_cast<int>(msg.wParam);
                continue;
            }
            if (isDropped(msg.message)) continue;
            W::translateMessage(msg);
            W::dispatchMessage(msg);
        }
        // Sleep until input arrives or it is time to look at the mutex again.
        W::msgWaitForMultipleObjects(0, nullptr, false, 20, W::kQsAllInput);
    }
}

}  // namespace System
