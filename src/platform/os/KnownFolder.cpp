#include "platform/os/KnownFolder.h"

#include <cerrno>
#include <cstdlib>
#include <pwd.h>
#include <unistd.h>
#include <vector>

namespace Platform::os {

Result executablePath(std::string& out) {
    out.clear();
    std::vector<char> buffer(4096);
    for (;;) {
        const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (n < 0) return resultFromSystemError(errno);
        if (static_cast<size_t>(n) < buffer.size()) {
            out.assign(buffer.data(), static_cast<size_t>(n));
            return kOk;
        }
        buffer.resize(buffer.size() * 2);
    }
}

Result programDataFolder(std::string& out) {
    out.clear();
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg != nullptr && xdg[0] == '/') {
        out = xdg;
    } else {
        const char* home = std::getenv("HOME");
        if (home == nullptr || home[0] != '/') {
            const passwd* pw = ::getpwuid(::getuid());
            home = pw != nullptr ? pw->pw_dir : nullptr;
        }
        if (home == nullptr || home[0] != '/') return resultFromSystemError(ENOENT);
        out = home;
        if (out.size() > 1 && out.back() == '/') out.pop_back();
        out += "/.local/share";
    }
    while (out.size() > 1 && out.back() == '/') out.pop_back();
    return kOk;
}

}  // namespace Platform::os
