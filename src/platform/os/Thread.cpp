#include "platform/os/Thread.h"

#include <pthread.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>

namespace Platform::os {

std::string systemThreadName(const std::string& name) {
    size_t length = name.size() < 15 ? name.size() : 15;
    // Never cut a UTF-8 sequence in half.
    while (length > 0 && length < name.size() && (static_cast<unsigned char>(name[length]) & 0xC0) == 0x80) --length;
    return name.substr(0, length);
}

void setCurrentThreadName(const std::string& name) {
    ::pthread_setname_np(::pthread_self(), systemThreadName(name).c_str());
}

Result setCurrentThreadPriority(int32_t priority) {
    int nice;
    switch (priority) {
    case kPriorityIdle: nice = 19; break;
    case kPriorityLowest: nice = 10; break;
    case kPriorityBelowNormal: nice = 5; break;
    case kPriorityNormal: nice = 0; break;
    case kPriorityAboveNormal: nice = -5; break;
    case kPriorityHighest: nice = -10; break;
    case kPriorityTimeCritical: nice = -20; break;
    default: errno = EINVAL; return resultFromSystemError(EINVAL);
    }
    // On Linux the nice value of a thread id applies to that thread alone.
    const auto tid = static_cast<id_t>(::syscall(SYS_gettid));
    if (::setpriority(PRIO_PROCESS, tid, nice) != 0) return resultFromSystemError(errno);
    return kOk;
}

}  // namespace Platform::os
