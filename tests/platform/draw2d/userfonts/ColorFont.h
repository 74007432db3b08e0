#pragma once
#include <cstdint>
#include <string>
#include <vector>

// A small TrueType font written byte by byte: family "ColorTest", four square
// glyphs (0 .notdef, 1 for 'A', 2 and 3 its colour layers), horizontal metrics
// only, no OS/2 table, and a colour table that draws glyph 1 as glyph 2 in
// opaque red from the palette and glyph 3 in the text's colour.
std::vector<uint8_t> colorTestFont();
