// Language files ("%Language%/<name>.vln2"), which users download and
// register: the five sections, keys and texts with "\n" escapes.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/stat.h>

#include "core/FileName.h"
#include "core/Log.h"
#include "core/TextConvert.h"
#include "core/TranslateService.h"

namespace {

std::string& scratchFolder() {
    static std::string folder;
    return folder;
}

void removeScratch() {
    if (!scratchFolder().empty()) std::system(("rm -rf '" + scratchFolder() + "'").c_str());
}

// The language folder of a fresh installation in a scratch folder.
const std::string& languageFolder() {
    static const std::string folder = [] {
        char pattern[] = "/tmp/velmo-fuzz-language-XXXXXX";
        if (const char* made = mkdtemp(pattern)) {
            scratchFolder() = made;
            std::atexit(removeScratch);
            setenv("XDG_DATA_HOME", made, 1);
            ::mkdir((scratchFolder() + "/data").c_str(), 0700);
            System::FileName::resetVariableList(System::utf8ToWide(scratchFolder() + "/velmo2"));
        }
        return System::wideToUtf8(System::FileName::getExpandedPath(L"%Language%"));
    }();
    return folder;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    System::Log::setHandler([](const System::Log::Type&, const char*, const char*) {});
    const std::string path = languageFolder() + "/fuzz.vln2";
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(data, 1, size, f);
        std::fclose(f);
    }
    static Translate::TranslateService service;
    service.setLanguage(L"fuzz");
    service.loadLanguage();
    using Table = Translate::TranslateService::Table;
    for (Table table : {Table::Effect, Table::Message, Table::Menu, Table::Dialog, Table::Name}) {
        for (const wchar_t* text : {L"", L"\n", L"ファイル", L"a\nb", L"\\"}) {
            const wchar_t* out = service.translate(table, text);
            if (out == nullptr) std::abort();
            (void)System::wideToUtf8(out);
        }
    }
    (void)service.getMenuText(L"ファイル(&F)");
    return 0;
}
