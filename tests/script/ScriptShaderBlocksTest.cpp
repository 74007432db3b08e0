#include <gtest/gtest.h>

#include <string>

#include "script/ScriptShaderBlocks.h"

namespace {

using Effect::ScriptShaderBlocks;

// Each block as "<kind name line>source|".
std::string describe(std::string_view text) {
    std::string out;
    for (const ScriptShaderBlocks::Block& b : ScriptShaderBlocks::read(text))
        out += std::string("<") + (b.kind == ScriptShaderBlocks::Kind::kPixel ? "ps " : "cs ") + b.name + " " +
               std::to_string(b.line) + ">" + std::string(b.source) + "|";
    return out;
}

TEST(ScriptShaderBlocksTest, FindsTheNamedBlocksOfAScript) {
    struct Case {
        const char* what;
        const char* text;
        const char* blocks;
    };
    const Case cases[] = {
        {"a name after @, spaces around it trimmed", "--[[pixelshader@  tint  :\nA\n]]", "<ps tint 1>\nA\n|"},
        {"without @ the word itself is the name", "x\n--[[pixelshader:\nA]]", "<ps pixelshader 2>\nA|"},
        {"without @ the text after --[[ up to the colon", "--[[computeshader grid:B]]", "<cs computeshader grid 1>B|"},
        {"a name ended by the line's end: the source starts there", "--[[pixelshader@p\nA]]", "<ps p 1>\nA|"},
        {"the walk goes on after the line of ]]", "--[[pixelshader@a:A]] --[[pixelshader@b:B]]\n--[[computeshader@c:C]]",
         "<ps a 1>A|<cs c 2>C|"},
        {"lines end at CR LF, CR or LF", "l1\r\nl2\rl3\n--[[pixelshader@a:\r\nA\r\n]]\r\n--[[pixelshader@b:B]]",
         "<ps a 4>\r\nA\r\n|<ps b 7>B|"},
        {"an empty source stops the walk", "--[[pixelshader@a:]]\n--[[pixelshader@b:B]]", ""},
        {"a block without ]] stops the walk", "--[[pixelshader@a:A]]\n--[[pixelshader@b:B\n", "<ps a 1>A|"},
        {"only lines that begin with the word", " --[[pixelshader@a:A]]\n-- --[[pixelshader@b:B]]\n--[[pixel:C]]", ""},
        {"other block comments are no shaders", "--[[\nnotes\n]]\n--[[computeshader@c:C]]", "<cs c 4>C|"},
        {"a repeated name is read twice (the map keeps the first)", "--[[pixelshader@a:1]]\n--[[pixelshader@a:2]]",
         "<ps a 1>1|<ps a 2>2|"},
        {"nothing after the word", "--[[pixelshader", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(describe(c.text), c.blocks) << c.what;
}

// The compiler sees the block at its line of the script.
TEST(ScriptShaderBlocksTest, APlacedSourceKeepsTheScriptsLineNumbers) {
    const std::string text = "a\nb\n--[[pixelshader@p:x\ny]]";
    const auto blocks = ScriptShaderBlocks::read(text);
    ASSERT_EQ(blocks.size(), 1u);
    EXPECT_EQ(ScriptShaderBlocks::placedSource(blocks[0]), "\n\nx\ny");
}

}  // namespace
