#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace Effect {

// Reads script files. A file holds one script, or several when it is a
// built-in file or its name begins with "@": then a line starting with "@"
// begins a script whose name is that line's text (trimmed) followed by the
// file's name. Lines end at CR LF, CR or LF.
class ScriptFileParser {
public:
    struct ScriptSection {
        std::wstring name;
        std::string text;  // UTF-8
    };

    // Never throws: a file that cannot be read is one WARN line and no scripts.
    static std::vector<ScriptSection> loadScriptFile(const std::wstring& path, bool systemCodePage, bool multiScript);

    // The scripts of one file's text (UTF-8); fileName is the file's name
    // without folder and extension, empty for the built-in files.
    static std::vector<ScriptSection> splitScripts(std::string_view text, const std::wstring& fileName);

    // The part of a path after its last separator, up to the last "." after it.
    static std::wstring baseName(const std::wstring& path);
};

}  // namespace Effect
