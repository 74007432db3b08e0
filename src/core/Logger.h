#pragma once
#include <atomic>
#include <cstdint>
#include <deque>
#include <string>

#include "core/ConfigInt.h"
#include "core/ConfigParameterBinding.h"
#include "core/ConfigParameterGroup.h"
#include "core/File.h"
#include "core/ServiceHolder.h"
#include "core/Log.h"
#include "platform/os/ThreadSafety.h"

// The logger service: the log handler while it exists. Each line goes to
// standard error, to the view ring the log panel shows (newest first) and to
// a time-stamped file under %Log% created by the first line that reaches it;
// each sink has its own minimum level from the "Logger" settings.
namespace System {

class Logger {
public:
    struct ViewLine {
        const Log::Type* type;
        std::string text;
    };

    Logger();
    ~Logger();
    Logger(const Logger&) = delete;
    Logger& operator=(const Logger&) = delete;

    // The installed handler: forwards to the logger in its slot.
    static void logHandler(const Log::Type& type, const char* scope, const char* message);
    void write(const Log::Type& type, const char* scope, const char* message);

    // The log panel copies the ring under the mutex when the revision changed.
    Platform::os::Mutex& mutex() RETURN_CAPABILITY(mutex_) { return mutex_; }
    const std::deque<ViewLine>& viewLines() const REQUIRES(mutex_) { return viewLines_; }
    int32_t revision() const { return revision_.load(std::memory_order_acquire); }
    // The open log file's path; empty until the first line reached the file.
    std::wstring logFilePath() const;

    static Logger* get() { return ServiceSlot<Logger>::instance; }

    // The "Logger" settings: the least level of each sink (0 turns it off)
    // and the two limits.
    struct Settings {
        int32_t viewLogLevel = 2;
        int32_t fileLogLevel = 4;
        int32_t debuggerLogLevel = 0;
        int32_t maxViewLine = 200;
        int32_t maxFileNum = 5;
    };
    Settings settings() const;
    void setSettings(const Settings& settings);

private:
    void addViewLines(const Log::Type& type, const char* line) REQUIRES(mutex_);
    void deleteOldLogFiles() REQUIRES(mutex_);

    Config::ParameterGroup group_{"Logger"};
    int32_t maxViewLine_ = 200;
    int32_t maxFileNum_ = 5;
    int32_t viewLogLevel_ = 2;
    int32_t fileLogLevel_ = 4;
    int32_t debuggerLogLevel_ = 0;
    Config::Int maxViewLineParameter_{group_, "MaxViewLine", &maxViewLine_, 200};
    Config::Int maxFileNumParameter_{group_, "MaxFileNum", &maxFileNum_, 5};
    Config::Int viewLogLevelParameter_{group_, "ViewLogLevel", &viewLogLevel_, 2};
    Config::Int fileLogLevelParameter_{group_, "FileLogLevel", &fileLogLevel_, 4};
    Config::Int debuggerLogLevelParameter_{group_, "DebuggerLogLevel", &debuggerLogLevel_, 0};
    Config::ParameterBinding binding_;

    mutable Platform::os::Mutex mutex_;
    File logFile_ GUARDED_BY(mutex_);
    std::wstring logFilePath_ GUARDED_BY(mutex_);
    std::deque<ViewLine> viewLines_ GUARDED_BY(mutex_);
    std::atomic<int32_t> revision_{1};
};

}  // namespace System
