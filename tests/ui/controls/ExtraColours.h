#pragma once
// Adds lines to a section of the style the dock fixture writes, for controls
// that draw with colours (or sizes and fonts) the fixture does not set.
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

// Text, border and button colours that differ from each other and from the
// fixture's background, for the panels and controls with buttons.
inline constexpr const char* kButtonColours =
    "TextDisable=808080\nBorder=c0c0c0\n"
    "ButtonBody=303030\nButtonBodyHover=404040\nButtonBodyPress=505050\nButtonBodyDisable=202020\n";

inline void addStyleLines(const std::filesystem::path& style, const std::string& section, const std::string& lines) {
    std::stringstream text;
    text << std::ifstream(style).rdbuf();
    std::string content = text.str();
    const std::string head = "[" + section + "]\n";
    const size_t at = content.find(head);
    if (at == std::string::npos)
        content = head + lines + content;
    else
        content.insert(at + head.size(), lines);
    std::ofstream(style, std::ios::trunc) << content;
}

inline void addStyleColours(const std::filesystem::path& style, const std::string& lines) {
    addStyleLines(style, "Color", lines);
}
