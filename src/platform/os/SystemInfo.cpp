#include "platform/os/SystemInfo.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <unistd.h>

namespace Platform::os {

Result inputTimings(InputTimings& out) {
    out = InputTimings{};
    return kOk;
}

bool commandLineArguments(std::vector<std::string>& out) {
    out.clear();
    // The kernel keeps the arguments NUL-separated, each ended by a NUL.
    std::ifstream in("/proc/self/cmdline", std::ios::binary);
    if (!in) {
        errno = errno ? errno : ENOENT;
        return false;
    }
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    for (size_t begin = 0; begin < text.size();) {
        const size_t end = std::min(text.find('\0', begin), text.size());
        out.emplace_back(text, begin, end - begin);
        begin = end + 1;
    }
    return true;
}

Result installedMemoryKb(uint64_t& out) {
    out = 0;
    errno = 0;
    const long pages = ::sysconf(_SC_PHYS_PAGES);
    const long pageSize = ::sysconf(_SC_PAGESIZE);
    if (pages <= 0 || pageSize <= 0) return resultFromSystemError(errno != 0 ? errno : EINVAL);
    out = static_cast<uint64_t>(pages) * static_cast<uint64_t>(pageSize) / 1024;
    return kOk;
}

std::string userUiLanguage() {
    for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(name);
        if (value == nullptr || value[0] == '\0') continue;
        std::string text = value;
        // LANGUAGE is a priority list: its first entry counts.
        if (const size_t colon = text.find(':'); colon != std::string::npos) text.resize(colon);
        if (!text.empty()) return text;
    }
    return "C";
}

uint32_t systemDpi(double displayResolution, int32_t displayScale) {
    double resolution = displayResolution > 0 && displayResolution < 96 * 16 ? displayResolution : 96;
    double scale = displayScale > 0 && displayScale <= 16 ? displayScale : 1;
    if (const char* s = std::getenv("GDK_SCALE"); s != nullptr) {
        const int factor = std::atoi(s);
        if (factor > 0 && factor <= 16) scale = factor;
    }
    if (const char* s = std::getenv("GDK_DPI_SCALE"); s != nullptr) {
        double d = 0;
        const auto r = std::from_chars(s, s + std::strlen(s), d);  // not strtod: the locale may use a comma
        if (r.ec == std::errc() && d > 0 && d < 16) resolution = 96 * d;
    }
    return static_cast<uint32_t>(std::lround(resolution * scale));
}

}  // namespace Platform::os
