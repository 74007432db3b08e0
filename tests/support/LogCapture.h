#pragma once
#include <string>
#include <vector>

#include "core/Log.h"

// Installs a log handler that records every line for the life of the object
// and puts the default handler back afterwards.
struct LogCapture {
    struct Line {
        std::string level, scope, message;
    };
    std::vector<Line> lines;

    LogCapture() {
        System::Log::setHandler([this](const System::Log::Type& t, const char* scope, const char* message) {
            lines.push_back({t.name, scope, message});
        });
    }
    ~LogCapture() { System::Log::setHandler(System::Log::defaultHandler); }
};
