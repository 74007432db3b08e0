#include "script/ScriptShaderBlocks.h"

#include "script/ScriptTextLines.h"

namespace Effect {

namespace {

constexpr std::string_view kPixelWord = "--[[pixelshader";
constexpr std::string_view kComputeWord = "--[[computeshader";
constexpr std::string_view kOpen = "--[[";
constexpr std::string_view kClose = "]]";

bool isControl(char c) { return static_cast<unsigned char>(c) < 0x20; }

}  // namespace

std::vector<ScriptShaderBlocks::Block> ScriptShaderBlocks::read(std::string_view text) {
    std::vector<Block> blocks;
    size_t line = 1;
    for (size_t pos = 0; pos < text.size();) {
        const std::string_view rest = text.substr(pos);
        const bool pixel = rest.starts_with(kPixelWord);
        const bool compute = rest.starts_with(kComputeWord);
        if (!pixel && !compute) {
            pos = scriptNextLine(text, pos);
            ++line;
            continue;
        }
        const size_t wordEnd = pos + (pixel ? kPixelWord : kComputeWord).size();
        size_t nameStart = wordEnd < text.size() && text[wordEnd] == '@' ? wordEnd + 1 : pos + kOpen.size();
        while (nameStart < text.size() && text[nameStart] == ' ') ++nameStart;
        size_t nameEnd = nameStart;
        while (nameEnd < text.size() && text[nameEnd] != ':' && !isControl(text[nameEnd])) ++nameEnd;
        std::string name(text.substr(nameStart, nameEnd - nameStart));
        while (!name.empty() && name.back() == ' ') name.pop_back();

        const size_t sourceStart = nameEnd < text.size() && text[nameEnd] == ':' ? nameEnd + 1 : nameEnd;
        const size_t close = text.find(kClose, sourceStart);
        if (close == std::string_view::npos || close == sourceStart) break;
        blocks.push_back({pixel ? Kind::kPixel : Kind::kCompute, std::move(name),
                          text.substr(sourceStart, close - sourceStart), line});

        // Go on after the line holding the "]]", counting the lines passed.
        const size_t after = scriptNextLine(text, close);
        while (pos < after) {
            pos = scriptNextLine(text, pos);
            ++line;
        }
    }
    return blocks;
}

std::string ScriptShaderBlocks::placedSource(const Block& block) {
    std::string placed(block.line - 1, '\n');
    placed.append(block.source);
    return placed;
}

}  // namespace Effect
