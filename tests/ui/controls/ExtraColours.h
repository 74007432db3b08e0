#pragma once
// Adds colours to the [Color] section of the style the control fixture
// writes, for controls that draw with colours the fixture does not set.
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

inline void addStyleColours(const std::filesystem::path& style, const std::string& lines) {
    std::stringstream text;
    text << std::ifstream(style).rdbuf();
    std::string content = text.str();
    const size_t at = content.find("[Color]\n");
    if (at == std::string::npos)
        content = "[Color]\n" + lines + content;
    else
        content.insert(at + 8, lines);
    std::ofstream(style, std::ios::trunc) << content;
}
