#include "platform/os/CrashGuard.h"

#include <dlfcn.h>
#include <csetjmp>
#include <csignal>
#include <cstring>
#include <mutex>
#include <ucontext.h>

namespace Platform::os {
namespace {

struct GuardFrame {
    sigjmp_buf jump;
    CrashInfo* info;
    GuardFrame* outer;
};

thread_local GuardFrame* t_frame = nullptr;

constexpr int kSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL};
struct sigaction g_previous[4];
std::once_flag g_installed;

int signalIndex(int sig) {
    for (int i = 0; i < 4; ++i)
        if (kSignals[i] == sig) return i;
    return -1;
}

uint32_t exceptionCode(int sig, const siginfo_t* si) {
    switch (sig) {
    case SIGSEGV: return kAccessViolation;
    case SIGBUS: return kInPageError;
    case SIGILL: return kIllegalInstruction;
    case SIGFPE:
        switch (si->si_code) {
        case FPE_INTDIV: return kIntegerDivideByZero;
        case FPE_INTOVF: return kIntegerOverflow;
        case FPE_FLTDIV: return kFloatDivideByZero;
        default: return kFloatInvalidOperation;
        }
    default: return kAccessViolation;
    }
}

void* faultingInstruction([[maybe_unused]] const siginfo_t* si, void* uc) {
#if defined(__x86_64__)
    return reinterpret_cast<void*>(static_cast<ucontext_t*>(uc)->uc_mcontext.gregs[REG_RIP]);
#elif defined(__aarch64__)
    return reinterpret_cast<void*>(static_cast<ucontext_t*>(uc)->uc_mcontext.pc);
#else
    (void)uc;
    return si->si_addr;
#endif
}

void onSignal(int sig, siginfo_t* si, void* uc) {
    GuardFrame* frame = t_frame;
    if (frame != nullptr) {
        CrashInfo& info = *frame->info;
        info.code = exceptionCode(sig, si);
        info.address = faultingInstruction(si, uc);
        siglongjmp(frame->jump, 1);
    }
    // Not ours: hand the signal to whoever had it before, or let the default
    // action run when the faulting instruction executes again.
    const int index = signalIndex(sig);
    const struct sigaction& prev = g_previous[index];
    if ((prev.sa_flags & SA_SIGINFO) && prev.sa_sigaction != nullptr) {
        prev.sa_sigaction(sig, si, uc);
        return;
    }
    if (prev.sa_handler != SIG_DFL && prev.sa_handler != SIG_IGN && prev.sa_handler != nullptr) {
        prev.sa_handler(sig);
        return;
    }
    signal(sig, SIG_DFL);
}

void install() {
    struct sigaction action;
    std::memset(&action, 0, sizeof action);
    action.sa_sigaction = onSignal;
    action.sa_flags = SA_SIGINFO | SA_NODEFER | SA_ONSTACK;
    sigemptyset(&action.sa_mask);
    for (int i = 0; i < 4; ++i) sigaction(kSignals[i], &action, &g_previous[i]);
}

}  // namespace

std::string moduleNameOf(const void* address) {
    Dl_info dl;
    if (address != nullptr && dladdr(address, &dl) != 0 && dl.dli_fname != nullptr && dl.dli_fname[0] != '\0') {
        const char* name = dl.dli_fname;
        const char* slash = std::strrchr(name, '/');
        return std::string(slash ? slash + 1 : name).substr(0, 255);
    }
    return "unknown";
}

bool runGuarded(void (*fn)(void*), void* context, CrashInfo& info) {
    std::call_once(g_installed, install);
    GuardFrame frame;
    frame.info = &info;
    frame.outer = t_frame;
    struct Restore {
        GuardFrame* outer;
        ~Restore() { t_frame = outer; }
    } restore{frame.outer};
    if (sigsetjmp(frame.jump, 1) != 0) {
        t_frame = frame.outer;
        info.module = moduleNameOf(info.address);
        return false;
    }
    t_frame = &frame;
    fn(context);
    return true;
}

}  // namespace Platform::os
