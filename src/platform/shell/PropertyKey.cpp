#include "platform/shell/PropertyKey.h"

#include <cctype>
#include <charconv>

namespace Platform::shell {

namespace {

constexpr const char* kStorage = "{B725F130-47EF-101A-A5F1-02608C9EEBAC}";

bool isGuid(const std::string& text) {
    // {8-4-4-4-12} hexadecimal digits.
    if (text.size() != 38 || text.front() != '{' || text.back() != '}') return false;
    for (size_t i = 1; i < 37; ++i) {
        const bool dash = i == 9 || i == 14 || i == 19 || i == 24;
        if (dash ? text[i] != '-' : std::isxdigit(static_cast<unsigned char>(text[i])) == 0) return false;
    }
    return true;
}

}  // namespace

PropertyKey keyOf(Column column) {
    switch (column) {
    case Column::Name: return {kStorage, 10};
    case Column::Size: return {kStorage, 12};
    case Column::Modified: return {kStorage, 14};
    case Column::Type: return {kStorage, 4};
    default: return {};
    }
}

Column columnOf(const PropertyKey& key) {
    for (const Column c : {Column::Name, Column::Size, Column::Modified, Column::Type})
        if (keyOf(c) == key) return c;
    return Column::Unknown;
}

std::string propertyKeyToString(const PropertyKey& key, size_t capacity) {
    std::string text = key.formatId + " " + std::to_string(key.propertyId);
    if (capacity == 0) return {};
    if (text.size() > capacity - 1) text.resize(capacity - 1);
    return text;
}

Result propertyKeyFromString(const std::string& text, PropertyKey& out) {
    size_t begin = text.find_first_not_of(' ');
    if (begin == std::string::npos) return kInvalidArg;
    const std::string guid = text.substr(begin, 38);
    if (!isGuid(guid)) return kInvalidArg;
    size_t at = begin + 38;
    while (at < text.size() && text[at] == ' ') ++at;
    if (at == begin + 38 || at >= text.size()) return kInvalidArg;
    uint32_t id = 0;
    const char* first = text.data() + at;
    const char* last = text.data() + text.size();
    const auto [end, error] = std::from_chars(first, last, id);
    if (error != std::errc() || end == first) return kInvalidArg;
    for (const char* p = end; p != last; ++p)
        if (*p != ' ') return kInvalidArg;
    out.formatId = guid;
    for (char& c : out.formatId) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    out.propertyId = id;
    return kOk;
}

}  // namespace Platform::shell
