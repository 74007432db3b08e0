#include "core/Logger.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "core/FileName.h"
#include "core/SettingService.h"

namespace System {
namespace {

// Set while this thread writes a line: a log call made from inside that
// (the text of a failing file write) is dropped instead of deadlocking.
thread_local bool writingLine = false;

struct WritingScope {
    WritingScope() { writingLine = true; }
    ~WritingScope() { writingLine = false; }
};

}  // namespace

Logger::Logger() : binding_(group_, Setting::SettingService::mainSettings()) {
    if (IniFile* settings = Setting::SettingService::mainSettings())
        group_.load(*settings);
    else
        for (Config::Parameter* parameter : group_.parameters()) parameter->reset();
    Log::setHandler(logHandler);
}

Logger::~Logger() { Log::setHandler(Log::defaultHandler); }

void Logger::logHandler(const Log::Type& type, const char* scope, const char* message) {
    if (Logger* logger = get()) logger->write(type, scope, message);
}

std::wstring Logger::logFilePath() const {
    Platform::os::MutexLock lock(mutex_);
    return logFilePath_;
}

Logger::Settings Logger::settings() const {
    Platform::os::MutexLock lock(mutex_);
    return {viewLogLevel_, fileLogLevel_, debuggerLogLevel_, maxViewLine_, maxFileNum_};
}

void Logger::setSettings(const Settings& settings) {
    Platform::os::MutexLock lock(mutex_);
    viewLogLevel_ = settings.viewLogLevel;
    fileLogLevel_ = settings.fileLogLevel;
    debuggerLogLevel_ = settings.debuggerLogLevel;
    maxViewLine_ = settings.maxViewLine;
    maxFileNum_ = settings.maxFileNum;
}

void Logger::write(const Log::Type& type, const char* scope, const char* message) {
    // Re-entered on this thread: drop. Another thread writing: wait for it.
    if (writingLine) return;
    WritingScope writing;
    Platform::os::MutexLock lock(mutex_);
    char line[Log::kLineBufferSize];
    Log::formatLine(line, type.name, scope, message);

    if (debuggerLogLevel_ > 0 && type.level >= debuggerLogLevel_) {
        std::fputs(line, stderr);
        std::fflush(stderr);
    }
    try {
        if (viewLogLevel_ > 0 && type.level >= viewLogLevel_) addViewLines(type, line);
        if (fileLogLevel_ > 0 && type.level >= fileLogLevel_) {
            if (!logFile_.isOpen()) {
                const std::wstring path = FileName::createTimeStampName(L"%Log%/", L"velmo2", L"log");
                logFile_.open(path, File::kWriteShareRead);
                logFilePath_ = path;
                deleteOldLogFiles();
            }
            logFile_.write(line, static_cast<int32_t>(std::strlen(line)));
        }
    } catch (const std::exception&) {
        // Not reported anywhere: the texts built on this path were log calls, dropped above.
    }
}

void Logger::addViewLines(const Log::Type& type, const char* line) {
    const char* p = line;
    while (*p != '\0') {
        const size_t length = std::strcspn(p, "\r\n");
        if (length > 0) {
            viewLines_.push_front({&type, std::string(p, length)});
            revision_.fetch_add(1, std::memory_order_release);
        }
        p += length;
        if (*p != '\0') ++p;
    }
    if (maxViewLine_ >= 0)
        while (viewLines_.size() > static_cast<size_t>(maxViewLine_)) viewLines_.pop_back();
}

void Logger::deleteOldLogFiles() {
    if (maxFileNum_ < 0) return;
    const std::wstring folder = FileName::getExpandedPath(L"%Log%");
    auto files = File::getFileList(folder + kPathSeparator + L"*.log", &folder);
    std::sort(files.begin(), files.end(), [](const auto& a, const auto& b) { return a.name > b.name; });
    for (size_t i = static_cast<size_t>(maxFileNum_); i < files.size(); ++i) {
        if (files[i].name == logFilePath_) continue;  // the file being written stays
        File::deleteFile(files[i].name);
    }
}

}  // namespace System
