#pragma once
#include <cstdint>
#include <string>

#include "platform/os/ChildProcess.h"
#include "platform/os/ProcessMutex.h"
#include "platform/window/Message.h"

// A child process that talks to the editor over two anonymous pipes, and the
// mutex it holds while it shows a window of its own (the hosts of old
// plug-ins). The child's command line is "<path> <read end> <write end>",
// the ends as 16 upper-case hexadecimal digits (their descriptor numbers).
namespace System {

class PipeProcess {
public:
    PipeProcess() = default;
    ~PipeProcess() { terminate(); }
    PipeProcess(const PipeProcess&) = delete;
    PipeProcess& operator=(const PipeProcess&) = delete;

    // Creates both pipes and the mutex and starts the child; throws the
    // failed call ("CreatePipe", "CreateMutex", "CreateProcess") with every
    // handle closed.
    void start(const std::wstring& executable);
    // Closes the mutex and both pipe ends, gives the child 5000 ms to end,
    // then kills it with the WARN line "kill pipe process [%p]".
    void terminate();
    // Kills a child that broke the conversation (it hangs, or what it sent
    // cannot be read) at once, with the WARN line, and closes everything.
    void kill();
    bool isAlive();
    // Waits until the child does not hold the mutex, painting and timers
    // going on meanwhile while user input to the editor is dropped.
    void waitMutexProcessMessage(Platform::window::WindowHandle window);

    // The editor's ends: read what the child writes, write what it reads.
    int readPipe() const { return readPipe_; }
    int writePipe() const { return writePipe_; }
    // The handle value sent to the child: the mutex's descriptor number.
    int mutexHandle() const { return mutex_.fd(); }
    int processId() const { return process_.pid(); }

    // How long terminate waits before it kills (tests shorten it).
    static constexpr uint32_t kTerminateTimeoutMs = 5000;

private:
    int readPipe_ = -1;
    int writePipe_ = -1;
    Platform::os::ChildProcess process_;
    Platform::os::ProcessMutex mutex_;
};

}  // namespace System
