// Shows the real save dialog for the path given and prints what it returned:
// the file-dialog test drives it with xdotool.
#include <cstdio>
#include <string>

#include "core/TextConvert.h"
#include "ui/dialogs/FileDialogs.h"

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    static const wchar_t kFilter[] = L"ProjectFile (*.vpj2)\0*.vpj2\0AllFile (*.*)\0*.*\0";
    std::wstring path = System::utf8ToWide(argv[1]);
    if (!Dialog::saveFileDialog(path, kFilter)) {
        std::printf("cancelled\n");
        return 0;
    }
    std::printf("chosen: %s\n", System::wideToUtf8(path).c_str());
    return 0;
}
