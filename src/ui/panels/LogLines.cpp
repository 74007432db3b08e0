#include "ui/panels/LogLines.h"

#include <algorithm>
#include <regex>

#include "core/Logger.h"
#include "platform/os/TextConvert.h"

namespace Component {

bool LogLines::poll(System::Logger& logger) {
    const int32_t revision = logger.revision();
    if (revision == lastRevision) return false;
    lastRevision = revision;
    {
        Platform::os::MutexLock lock(logger.mutex());
        lineCount = static_cast<int32_t>(logger.viewLines().size());
    }
    firstLine = lineCount;
    scrollUpdate();
    return true;
}

void LogLines::scrollUpdate() { firstLine = std::min(firstLine, lineCount - visibleLineCount); }

void LogLines::scrollBy(int32_t lines) {
    firstLine = std::max(firstLine + lines, std::min(lineCount - 1, 0));
    scrollUpdate();
}

void LogLines::setHeight(int32_t height, int32_t lineHeight) {
    visibleLineCount = lineHeight > 0 ? std::max(height, 0) / lineHeight + 1 : 1;
}

std::vector<LogLines::Line> LogLines::copyWindow(System::Logger& logger) {
    std::vector<Line> lines;
    Platform::os::MutexLock lock(logger.mutex());
    const auto& ring = logger.viewLines();
    const int32_t n = static_cast<int32_t>(ring.size());
    lineCount = n;
    const int32_t skip = std::max(n - firstLine - visibleLineCount, 0);
    const int32_t end = std::min(n, skip + visibleLineCount);
    for (int32_t i = skip; i < end; ++i) lines.push_back({ring[static_cast<size_t>(i)].type, ring[i].text});
    return lines;
}

std::wstring LogLines::copyAll(System::Logger& logger) {
    std::wstring text;
    Platform::os::MutexLock lock(logger.mutex());
    const auto& ring = logger.viewLines();
    // Entry 0 is the newest.
    for (size_t i = ring.size(); i-- > 0;) text += shorten(ring[i].text) + L"\r\n";
    return text;
}

std::wstring LogLines::shorten(const std::string& text) {
    static const std::regex lambda("<lambda.+?>::operator \\(\\)", std::regex::ECMAScript);
    const std::string shortened = std::regex_replace(text, lambda, "<lambda>");
    if (!Platform::os::isValidUtf8(shortened)) return {};
    return Platform::os::utf8ToWide(shortened);
}

}  // namespace Component
