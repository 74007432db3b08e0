#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace Effect {

// Finds the shader blocks of a script text. A block is a Lua block comment
// whose line begins with "--[[pixelshader" or "--[[computeshader": its name
// follows "@" right after the word (or, without "@", is the text after
// "--[["), up to a ":" or a control character; its source runs from there to
// the first "]]". Lines end at CR LF, CR or LF.
class ScriptShaderBlocks {
public:
    enum class Kind { kPixel, kCompute };

    struct Block {
        Kind kind;
        std::string name;  // also the entry point
        std::string_view source;
        size_t line;  // of the block's first line, from 1
    };

    // The blocks in text order. A block without its "]]", or with an empty
    // source, ends the list: what follows it is not read.
    static std::vector<Block> read(std::string_view text);

    // The source with as many line breaks before it as the script has lines
    // before the block, so that the compiler's line numbers are the script's.
    static std::string placedSource(const Block& block);
};

}  // namespace Effect
