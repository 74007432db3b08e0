#include "plugin/host/HostConnection.h"

#include <cstdio>
#include <cstdlib>

#include "core/Exception.h"
#include "core/FileName.h"
#include "core/TextConvert.h"

namespace Plugin::Host {

bool connect(int argc, char** argv, int& readFd, int& writeFd) {
    if (argc < 3) return false;
    char* end = nullptr;
    const unsigned long long r = std::strtoull(argv[1], &end, 16);
    if (end == argv[1] || *end != '\0') return false;
    const unsigned long long w = std::strtoull(argv[2], &end, 16);
    if (end == argv[2] || *end != '\0') return false;
    if (r > 65535 || w > 65535) return false;
    readFd = static_cast<int>(r);
    writeFd = static_cast<int>(w);
    return true;
}

std::string pluginPath(const std::wstring& fileName) {
    if (fileName.find(L'/') != std::wstring::npos) return System::wideToUtf8(fileName);
    return System::wideToUtf8(System::FileName::getExpandedPath((L"%Plugin%/" + fileName).c_str()));
}

void* loadTable(Platform::os::DynamicLibrary& library, const std::wstring& fileName, const char* function) {
    const std::string path = pluginPath(fileName);
    if (Platform::failed(library.open(path))) {
        std::fprintf(stderr, "cannot load %s: %s\n", path.c_str(), library.errorText().c_str());
        return nullptr;
    }
    using GetTable = void* (*)();
    auto getTable = reinterpret_cast<GetTable>(library.symbol(function));
    if (getTable == nullptr) {
        std::fprintf(stderr, "%s has no %s\n", path.c_str(), function);
        return nullptr;
    }
    try {
        return System::guardedCall(function, "Plugin::Host::loadTable", [&] { return getTable(); });
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return nullptr;
    }
}

std::u16string textUnits(const char16_t* text) { return text != nullptr ? std::u16string(text) : std::u16string(); }

std::u16string filterUnits(const char16_t* filter) {
    std::u16string out;
    if (filter == nullptr) return out;
    for (const char16_t* p = filter; *p != u'\0';) {
        const std::u16string_view part(p);
        out.append(part);
        out.push_back(u'\0');
        p += part.size() + 1;
    }
    return out;
}

}  // namespace Plugin::Host
