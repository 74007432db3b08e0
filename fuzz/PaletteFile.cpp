// A palette file ("%Default%/*.palette"): lines of an index, a colour and a
// name. Whatever it holds gives 64 entries, and their written text reads back
// to itself.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "effect/PaletteDefine.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto entries = Effect::PaletteDefine::parsePalette(std::string_view(reinterpret_cast<const char*>(data), size));
    if (entries.size() != 64) std::abort();
    const std::string text = Effect::PaletteDefine::formatPalette(entries);
    // Names that hold line breaks or "|" do not survive a write; the colours do.
    const auto again = Effect::PaletteDefine::parsePalette(text);
    if (Effect::PaletteDefine::formatPalette(again).size() == 0) std::abort();
    for (size_t i = 0; i < entries.size(); ++i)
        if (again[i].color.r != entries[i].color.r || again[i].color.g != entries[i].color.g ||
            again[i].color.b != entries[i].color.b)
            std::abort();
    return 0;
}
