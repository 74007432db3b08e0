#include "script/ScriptFileParser.h"

#include <cstdint>

#include "core/Exception.h"
#include "core/File.h"
#include "core/Log.h"
#include "core/TextConvert.h"
#include "platform/os/Cp932.h"
#include "script/ScriptTextLines.h"

namespace Effect {

namespace {

std::wstring trimSpaces(std::wstring text) {
    const size_t first = text.find_first_not_of(L' ');
    if (first == std::wstring::npos) return {};
    const size_t last = text.find_last_not_of(L' ');
    return text.substr(first, last - first + 1);
}

}  // namespace

std::wstring ScriptFileParser::baseName(const std::wstring& path) {
    const size_t slash = path.find_last_of(L"/\\");
    std::wstring name = slash == std::wstring::npos ? path : path.substr(slash + 1);
    const size_t dot = name.rfind(L'.');
    if (dot != std::wstring::npos) name.resize(dot);
    return name;
}

std::vector<ScriptFileParser::ScriptSection> ScriptFileParser::splitScripts(std::string_view text,
                                                                            const std::wstring& fileName) {
    std::vector<ScriptSection> sections;
    bool open = false;
    size_t bodyStart = 0;
    std::wstring headerName;
    const auto finish = [&](size_t end) {
        if (open && !headerName.empty())
            sections.push_back({headerName + fileName, std::string(text.substr(bodyStart, end - bodyStart))});
    };
    for (size_t pos = 0; pos < text.size();) {
        const size_t next = scriptNextLine(text, pos);
        if (text[pos] == '@') {
            finish(pos);
            open = true;
            headerName =
                trimSpaces(System::utf8ToWide(std::string(text.substr(pos + 1, scriptLineEnd(text, pos) - pos - 1))));
            bodyStart = next;
        }
        pos = next;
    }
    finish(text.size());
    return sections;
}

std::vector<ScriptFileParser::ScriptSection> ScriptFileParser::loadScriptFile(const std::wstring& path,
                                                                              bool systemCodePage, bool multiScript) {
    std::vector<ScriptSection> sections;
    try {
        const std::wstring name = multiScript ? std::wstring() : baseName(path);
        // A built-in file left out of the installation is no fault: it gives no scripts.
        if (!System::File::exists(path)) {
            System::Log::warn("Effect::ScriptFileParser::loadScriptFile", "script file load faild.\nnot found : %s",
                              System::wideToUtf8(path).c_str());
            return sections;
        }
        System::File file;
        file.open(path, System::File::kRead);
        const int64_t size = file.getSize();
        // One block reads the whole file; a file beyond its reach fails as a short read.
        if (size > INT32_MAX) throw System::win32ErrorException("System::File::readBlock", 30);
        std::string text(static_cast<size_t>(size), '\0');
        if (size > 0) file.readBlock(text.data(), static_cast<int32_t>(size));
        file.close();
        if (systemCodePage) text = System::wideToUtf8(Platform::os::decodeCp932(text));
        if (multiScript || (!name.empty() && name[0] == L'@')) {
            sections = splitScripts(text, name);
        } else {
            sections.push_back({name, std::move(text)});
        }
    } catch (const std::exception& e) {
        System::Log::warn("Effect::ScriptFileParser::loadScriptFile", "script file load faild.\n%s", e.what());
    }
    return sections;
}

}  // namespace Effect
