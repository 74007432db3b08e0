#pragma once
#include <array>
#include <cstdint>
#include <string>

// Process-wide constant tables of the user interface: the named colours of
// the default palette, the timeline's zoom levels and the file-dialog filters.
namespace Window {

struct NamedColor {
    float rgba[4];
    const wchar_t* name;
};

// white, red, yellow, green, aqua, blue, magenta, black.
extern const std::array<NamedColor, 8> NamedColors;

// Ascending, from 20 to 100000.
extern const std::array<int32_t, 27> ZoomLevels;

}  // namespace Window

namespace Dialog {

// A filter string from a literal of NUL-separated name and pattern pairs
// closed by two NULs: everything up to the first NUL of the closing pair, so
// the string's own terminator supplies the second.
std::wstring makeFileFilter(const wchar_t* literal);

// "ProjectFile (*.vpj2)", "*.vpj2", "AllFile (*.*)", "*.*".
extern const std::wstring ProjectFileFilter;
// "AllFile (*.*)", "*.*".
extern const std::wstring AllFileFilter;

}  // namespace Dialog
