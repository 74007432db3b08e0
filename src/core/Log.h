#pragma once
#include <cstdint>
#include <functional>

// The five log levels and their front ends. Every line goes to one
// process-wide handler; before the logger exists (and after it is gone) the
// default handler formats the line and drops it.
namespace System::Log {

struct Type {
    const char* name;
    int32_t level;
    uint32_t color;  // 0xRRGGBB, used by the log panel
};

extern const Type kVerbose;
extern const Type kInfo;
extern const Type kScript;
extern const Type kWarn;
extern const Type kError;

inline constexpr size_t kLineBufferSize = 1024;

// (level, scope, message), texts in UTF-8.
using Handler = std::function<void(const Type&, const char*, const char*)>;

void setHandler(Handler handler);
void defaultHandler(const Type& type, const char* scope, const char* message);

// "[%02d/%02d %02d:%02d:%02d] [%s] [%s] %s\n" with the local month, day and
// time; a line over 1023 bytes is cut there and then lacks its line break.
void formatLine(char (&out)[kLineBufferSize], const char* levelName, const char* scope, const char* message);

void verbose(const char* scope, const char* format, ...) __attribute__((format(printf, 2, 3)));
void info(const char* scope, const char* format, ...) __attribute__((format(printf, 2, 3)));
void warn(const char* scope, const char* format, ...) __attribute__((format(printf, 2, 3)));
void error(const char* scope, const char* format, ...) __attribute__((format(printf, 2, 3)));
void script(const wchar_t* scriptName, const char* format, ...) __attribute__((format(printf, 2, 3)));

void verbose(const char* scope, const wchar_t* format, ...);
void info(const char* scope, const wchar_t* format, ...);
void warn(const char* scope, const wchar_t* format, ...);
void error(const char* scope, const wchar_t* format, ...);
void script(const wchar_t* scriptName, const wchar_t* format, ...);

}  // namespace System::Log
