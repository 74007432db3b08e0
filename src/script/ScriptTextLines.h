#pragma once
#include <cstddef>
#include <string_view>

// Walking a script's text line by line; a line ends at CR LF, CR or LF.
namespace Effect {

// The end of the line holding pos (its break excluded).
inline size_t scriptLineEnd(std::string_view text, size_t pos) {
    while (pos < text.size() && text[pos] != '\r' && text[pos] != '\n') ++pos;
    return pos;
}

// The start of the line after the one holding pos.
inline size_t scriptNextLine(std::string_view text, size_t pos) {
    pos = scriptLineEnd(text, pos);
    if (pos < text.size() && text[pos] == '\r') {
        ++pos;
        if (pos < text.size() && text[pos] == '\n') ++pos;
    } else if (pos < text.size()) {
        ++pos;
    }
    return pos;
}

}  // namespace Effect
