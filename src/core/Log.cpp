#include "core/Log.h"

#include <cstdarg>
#include <ctime>
#include <mutex>
#include <shared_mutex>
#include <string>

#include "core/BadFunctionCall.h"
#include "core/TextConvert.h"
#include "core/TextFormat.h"

namespace System::Log {

const Type kVerbose{"VERBOSE", 1, 0xcccccc};
const Type kInfo{"INFO", 2, 0xffffff};
const Type kScript{"SCRIPT", 2, 0x7fff7f};
const Type kWarn{"WARN", 3, 0xffff7f};
const Type kError{"ERROR", 4, 0xff7f7f};

namespace {

Handler& handler() {
    static Handler instance = defaultHandler;
    return instance;
}

// Lines are written from every thread while the handler may be replaced: a
// call holds the lock shared, so a replaced handler has finished every call
// when setHandler returns and whatever it captured may go.
std::shared_mutex& handlerMutex() {
    static std::shared_mutex instance;
    return instance;
}

// Calls of the handler running on this thread: a handler that writes a line
// of its own already holds the lock.
thread_local int t_handlerDepth = 0;

void dispatch(const Type& type, const char* scope, const char* message) {
    std::shared_lock<std::shared_mutex> lock(handlerMutex(), std::defer_lock);
    if (t_handlerDepth == 0) lock.lock();
    Handler& h = handler();
    if (!h) throw BadFunctionCall();
    struct Depth {
        Depth() { ++t_handlerDepth; }
        ~Depth() { --t_handlerDepth; }
    } depth;
    h(type, scope, message);
}

void emitNarrow(const Type& type, const char* scope, const char* format, va_list args) {
    char message[kLineBufferSize];
    vformatText(message, sizeof message, format, args);
    dispatch(type, scope, message);
}

std::string narrowCut(const std::wstring& text) {
    std::string out = wideToUtf8(text);
    if (out.size() > kLineBufferSize - 1) out.resize(utf8CutLength(out.data(), kLineBufferSize - 1));
    return out;
}

void emitWide(const Type& type, const char* scope, const wchar_t* format, va_list args) {
    const std::string message = narrowCut(vformatWide(kLineBufferSize - 1, format, args));
    dispatch(type, scope, message.c_str());
}

}  // namespace

void setHandler(Handler h) {
    Handler old;
    {
        std::unique_lock<std::shared_mutex> lock(handlerMutex());
        old = std::move(handler());
        handler() = std::move(h);
    }
}

void defaultHandler(const Type& type, const char* scope, const char* message) {
    char line[kLineBufferSize];
    formatLine(line, type.name, scope, message);
}

void formatLine(char (&out)[kLineBufferSize], const char* levelName, const char* scope, const char* message) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    formatText(out, kLineBufferSize, "[%02d/%02d %02d:%02d:%02d] [%s] [%s] %s\n", local.tm_mon + 1, local.tm_mday,
               local.tm_hour, local.tm_min, local.tm_sec, levelName, scope, message);
}

struct VaEnd {
    va_list& args;
    ~VaEnd() { va_end(args); }
};

#define VELMO_LOG_FRONT(name, type, Char, emit)             \
    void name(const char* scope, const Char* format, ...) { \
        va_list args;                                       \
        va_start(args, format);                             \
        VaEnd end{args};                                    \
        emit(type, scope, format, args);                    \
    }

VELMO_LOG_FRONT(verbose, kVerbose, char, emitNarrow)
VELMO_LOG_FRONT(info, kInfo, char, emitNarrow)
VELMO_LOG_FRONT(warn, kWarn, char, emitNarrow)
VELMO_LOG_FRONT(error, kError, char, emitNarrow)
VELMO_LOG_FRONT(verbose, kVerbose, wchar_t, emitWide)
VELMO_LOG_FRONT(info, kInfo, wchar_t, emitWide)
VELMO_LOG_FRONT(warn, kWarn, wchar_t, emitWide)
VELMO_LOG_FRONT(error, kError, wchar_t, emitWide)

void script(const wchar_t* scriptName, const char* format, ...) {
    const std::string name = wideToUtf8(scriptName ? std::wstring_view(scriptName) : std::wstring_view());
    va_list args;
    va_start(args, format);
    char message[kLineBufferSize];
    vformatText(message, sizeof message, format, args);
    va_end(args);
    dispatch(kScript, name.c_str(), message);
}

void script(const wchar_t* scriptName, const wchar_t* format, ...) {
    const std::string name = wideToUtf8(scriptName ? std::wstring_view(scriptName) : std::wstring_view());
    va_list args;
    va_start(args, format);
    const std::wstring text = vformatWide(kLineBufferSize - 1, format, args);
    va_end(args);
    dispatch(kScript, name.c_str(), narrowCut(text).c_str());
}

}  // namespace System::Log
