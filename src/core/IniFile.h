#pragma once
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/Color.h"

// The one text format of the system's own files: named sections of keys with
// UTF-8 text values, converted on access. Reading is lenient (bad lines are
// logged and skipped, a duplicate key keeps its first value); saving writes
// "[section]" and "key=value" lines ended by CR LF.
namespace System {

class File;

class IniFile {
public:
    struct VALUE;
    using KeyMap = std::unordered_map<std::string, VALUE>;
    using SectionMap = std::unordered_map<std::string, KeyMap>;

    struct VALUE {
        std::string text;  // exactly as it stood after the "="
        IniFile* document = nullptr;
        const VALUE* parent = nullptr;         // set for the pieces made by split
        int32_t line = 0;                      // 1-based; 0 for a value made in memory
        const std::string* section = nullptr;  // names of the entry holding the value
        const std::string* key = nullptr;

        // The text cut at every delimiter character; the last piece is always added.
        std::vector<VALUE> split(const char* delimiters) const;

        int32_t toInt() const;
        int32_t toInt(int32_t defaultValue) const;
        float toFloat() const;
        std::wstring toString() const;
        std::wstring toString(const std::wstring& defaultValue) const;
        Media::ColorRgba toRGBA() const;

        // "file=<path> (line n) section=<name> key=<key>" as far as known.
        std::wstring describe(int32_t lineOverride = 0) const;
    };

    class SectionRef {
    public:
        SectionRef(std::string name, const KeyMap* keys) : name_(std::move(name)), keys_(keys) {}
        const std::string& name() const { return name_; }
        const KeyMap& keys() const { return *keys_; }
        // The value, or the shared empty one.
        const VALUE& findValue(const std::string& key) const;
        // The value; a missing key throws "ini file parameter undefined.".
        const VALUE& getValue(const std::string& key) const;
        std::wstring describeKey(const std::string& key) const;

    private:
        std::string name_;
        const KeyMap* keys_;
    };

    // Writes the whole document to the path. A line break in a value is
    // written as a blank, so every value stays on its line.
    class Save {
    public:
        Save(const IniFile& document, const std::wstring& path);
    };

    IniFile() = default;
    ~IniFile();
    IniFile(const IniFile&) = delete;
    IniFile& operator=(const IniFile&) = delete;

    // Without defaults: empties the document and remembers the expanded path.
    // With defaults: merges, keys already present keep their value silently.
    // ansi: the file is in the earlier generation's code page (CP932), unless
    // it is valid UTF-8 that begins with a byte-order mark. False when the
    // file could not be opened or read (a folder, a missing or unreadable file).
    bool loadFile(const std::wstring& path, bool defaults = false, bool ansi = false);

    // key "=" UTF-8 value CR LF; a line break in the value is written as a blank.
    static void writeKeyValue(File& file, const std::string& key, const std::wstring& value);

    SectionRef getSection(const std::string& name) const;
    // The section "%s.%d" of name and index.
    SectionRef getSection(const std::string& name, int32_t index) const;
    bool hasSection(const std::string& name) const;
    // Creates the section and an empty value (line 0) when missing.
    VALUE& getValue(const std::string& section, const std::string& key);
    KeyMap& findOrCreateSection(const std::string& name);

    SectionMap& sections() { return sections_; }
    const SectionMap& sections() const { return sections_; }
    const std::wstring& path() const { return path_; }
    bool saveFlag() const { return save_; }
    void setSaveFlag(bool save) { save_ = save; }

    // The shared empty value that lookups return when they find nothing.
    static const VALUE& emptyValue();

private:
    void parse(const std::string& content, const std::wstring& givenPath, bool defaults, bool ansi);

    SectionMap sections_;
    std::wstring path_;
    bool save_ = false;
};

}  // namespace System
