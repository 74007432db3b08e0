#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "core/Log.h"

namespace System {
class Logger;
}

// What the log panel shows of the logger's view ring: the scroll position
// counted from the oldest line, how many lines fit and the window of lines
// copied out for one paint. Runs on the UI thread; the ring's mutex is held
// only while one copy is made.
namespace Component {

class LogLines {
public:
    struct Line {
        const System::Log::Type* type;
        std::string text;
    };

    // The ring changed since the last look: takes its size, jumps to the
    // newest lines and returns true.
    bool poll(System::Logger& logger);
    // Pulls the first line back so that the newest lines fill the view; it
    // may go negative while fewer lines than fit are held.
    void scrollUpdate();
    // Moves by whole lines (positive: towards newer lines), then scrollUpdate.
    void scrollBy(int32_t lines);
    // The shown lines, newest first, and the ring's size as the line count.
    std::vector<Line> copyWindow(System::Logger& logger);
    // The visible line count for a view height.
    void setHeight(int32_t height, int32_t lineHeight);

    // Every line of the ring, oldest first, shortened, each ended by CR LF.
    static std::wstring copyAll(System::Logger& logger);

    // A compiler-made lambda name followed by its call operator shrinks to "<lambda>".
    static std::wstring shorten(const std::string& text);

    int32_t firstLine = 0;
    int32_t visibleLineCount = 1;
    int32_t lineCount = 0;
    int32_t lastRevision = 0;
};

}  // namespace Component
