#pragma once
#include <mutex>
#include <string>
#include <vector>

#include "core/Log.h"

// Installs a log handler that records every line for the life of the object
// and puts the default handler back afterwards. Tests whose worker threads may
// still log while they look read a snapshot; the others may read `lines`.
struct LogCapture {
    struct Line {
        std::string level, scope, message;
    };
    std::vector<Line> lines;

    LogCapture() {
        System::Log::setHandler([this](const System::Log::Type& t, const char* scope, const char* message) {
            const std::lock_guard held(mutex_);
            lines.push_back({t.name, scope, message});
        });
    }
    std::vector<Line> snapshot() const {
        const std::lock_guard held(mutex_);
        return lines;
    }
    ~LogCapture() { System::Log::setHandler(System::Log::defaultHandler); }

private:
    mutable std::mutex mutex_;
};
