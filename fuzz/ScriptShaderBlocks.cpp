// The shader blocks of script files: every block found lies inside the text,
// its name holds no ":" or control character and its source is not empty.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "script/ScriptShaderBlocks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    size_t line = 0;
    for (const Effect::ScriptShaderBlocks::Block& block : Effect::ScriptShaderBlocks::read(text)) {
        if (block.source.empty() || block.source.data() < text.data() ||
            block.source.data() + block.source.size() > text.data() + text.size())
            __builtin_trap();
        for (const char c : block.name)
            if (c == ':' || static_cast<unsigned char>(c) < 0x20) __builtin_trap();
        if (block.line <= line || block.line > size + 1) __builtin_trap();
        line = block.line;
        if (Effect::ScriptShaderBlocks::placedSource(block).size() != block.line - 1 + block.source.size())
            __builtin_trap();
    }
    return 0;
}
