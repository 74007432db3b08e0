#pragma once
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// The control tags inside a text: "<#...>" colour, "<@...>" font, "<s...>"
// size, "<p...>" position, "<r...>" rate, "<w...>" wait and "<c...>" clear.
namespace Media {

struct TextTag {
    enum class Kind { None, Color, Font, Size, Position, Rate, Wait, Clear };
    Kind kind = Kind::None;
    // Characters from "<" through ">".
    size_t length = 0;
    // The fields in order; absent when the tag leaves them out.
    std::optional<std::wstring> field[4];

    // The tag at the start of the text (which begins with "<"); Kind::None
    // when the text there is no tag of any kind.
    static TextTag parse(std::wstring_view text);
    // A number field as far as it forms a number ("1.2.3" reads 1.2); false
    // when it begins with none.
    static bool readNumber(const std::wstring& text, double& out);
};

}  // namespace Media
