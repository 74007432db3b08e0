#pragma once
#include <cstdint>
#include <string>

#include "platform/os/Result.h"

// The keys of the file browser's columns in their stored text form: a format
// identifier in braces, a space and a property number, so settings written
// on another system name the same columns.
namespace Platform::shell {

struct PropertyKey {
    std::string formatId;  // "{B725F130-47EF-101A-A5F1-02608C9EEBAC}", upper case
    uint32_t propertyId = 0;
    bool operator==(const PropertyKey&) const = default;
};

enum class Column : int32_t { Unknown = -1, Name = 0, Size = 1, Modified = 2, Type = 3 };

// The storage keys of the columns the browser can show.
PropertyKey keyOf(Column column);
// The column of a key; Unknown for any other.
Column columnOf(const PropertyKey& key);
// At most `capacity` - 1 characters, as the stored form allows.
std::string propertyKeyToString(const PropertyKey& key, size_t capacity = 100);
// kInvalidArg for a text that is not a key.
Result propertyKeyFromString(const std::string& text, PropertyKey& out);

}  // namespace Platform::shell
