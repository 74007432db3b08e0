#include "ui/framework/StyleTables.h"

namespace Window {

const std::array<NamedColor, 8> NamedColors = {{
    {{1, 1, 1, 1}, L"white"},
    {{1, 0, 0, 1}, L"red"},
    {{1, 1, 0, 1}, L"yellow"},
    {{0, 1, 0, 1}, L"green"},
    {{0, 1, 1, 1}, L"aqua"},
    {{0, 0, 1, 1}, L"blue"},
    {{1, 0, 1, 1}, L"magenta"},
    {{0, 0, 0, 1}, L"black"},
}};

const std::array<int32_t, 27> ZoomLevels = {20,   30,    40,    50,    75,    100,   150,   200,   300,
                                            400,  500,   750,   1000,  1500,  2000,  3000,  4000,  5000,
                                            7500, 10000, 15000, 20000, 30000, 40000, 50000, 75000, 100000};

}  // namespace Window

namespace Dialog {

std::wstring makeFileFilter(const wchar_t* literal) {
    // The pairs end at the first empty string: two NULs in a row.
    size_t length = 0;
    while (!(literal[length] == L'\0' && (length == 0 || literal[length - 1] == L'\0'))) ++length;
    // Without a single pair the literal is just its own terminator.
    return std::wstring(literal, length);
}

const std::wstring ProjectFileFilter = makeFileFilter(L"ProjectFile (*.vpj2)\0*.vpj2\0AllFile (*.*)\0*.*\0\0");
const std::wstring AllFileFilter = makeFileFilter(L"AllFile (*.*)\0*.*\0\0");

}  // namespace Dialog
