// The user's key file ("%AppData%/keyboard.ini"): numbered sections of a
// command name and a key code, applied to a few registered commands.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/FileName.h"
#include "core/Log.h"
#include "core/TextConvert.h"
#include "support/ScratchFolder.h"
#include "ui/framework/Shortcut.h"
#include "ui/framework/ShortcutList.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    System::Log::setHandler([](const System::Log::Type&, const char*, const char*) {});
    static const std::string path = [] {
        FuzzSupport::makeScratch("/tmp/velmo-fuzz-keyboard-XXXXXX");
        return System::wideToUtf8(Window::ShortcutList::filePath());
    }();
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(data, 1, size, f);
        std::fclose(f);
    }
    Window::ShortcutList list;
    for (const wchar_t* name : {L"A", L"B", L"ファイル:保存", L""})
        list.add(name, 0x74, [] {});
    for (const auto& entry : list.entries)
        (void)Window::Shortcut::getCodeName(entry.code);
    return 0;
}
