#include "core/IniFile.h"

#include <algorithm>
#include <stdexcept>

#include "core/Exception.h"
#include "core/File.h"
#include "core/FileName.h"
#include "core/Log.h"
#include "core/NumberText.h"
#include "core/StringHelper.h"
#include "core/TextConvert.h"
#include "core/TextFormat.h"
#include "platform/os/Cp932.h"
#include "platform/os/FileHandle.h"

namespace System {
namespace {

constexpr const char* kLoadScope = "System::IniFile::loadFile";
constexpr int32_t kWarningsPerKind = 10;

const IniFile::KeyMap& emptySection() {
    static const IniFile::KeyMap keys;
    return keys;
}

[[noreturn]] void fail(const IniFile::VALUE& value, const char* scope, const char* message) {
    throw formatException(scope, message, L"%ls", value.describe().c_str());
}

// Reads the whole file; false when it cannot be opened or read.
bool readWhole(const std::wstring& path, std::string& content) {
    Platform::os::FileHandle file;
    if (Platform::failed(file.open(wideToUtf8(path), Platform::os::FileMode::read))) return false;
    content.clear();
    char chunk[65536];
    for (;;) {
        size_t done = 0;
        if (Platform::failed(file.read(chunk, sizeof chunk, done))) return false;
        content.append(chunk, done);
        if (done < sizeof chunk) return true;
    }
}

}  // namespace

// ---- VALUE

std::vector<IniFile::VALUE> IniFile::VALUE::split(const char* delimiters) const {
    std::vector<VALUE> pieces;
    size_t start = 0;
    for (;;) {
        const size_t at = text.find_first_of(delimiters, start);
        VALUE piece;
        piece.text = text.substr(start, at == std::string::npos ? std::string::npos : at - start);
        piece.document = document;
        piece.parent = this;
        piece.line = line;
        piece.section = section;
        piece.key = key;
        pieces.push_back(std::move(piece));
        if (at == std::string::npos) return pieces;
        start = at + 1;
    }
}

int32_t IniFile::VALUE::toInt() const {
    constexpr const char* kScope = "System::IniFile::VALUE::toInt";
    if (text.empty()) fail(*this, kScope, "ini file parameter invalid format(int) or undefined.");
    try {
        return System::stoi(text);
    } catch (const std::exception&) {
        fail(*this, kScope, "ini file parameter invalid format(int) or undefined.");
    }
}

int32_t IniFile::VALUE::toInt(int32_t defaultValue) const {
    if (text.empty()) return defaultValue;
    try {
        return System::stoi(text);
    } catch (const std::exception&) {
        fail(*this, "System::IniFile::VALUE::toInt", "ini file parameter invalid format(int).");
    }
}

float IniFile::VALUE::toFloat() const {
    constexpr const char* kScope = "System::IniFile::VALUE::toFloat";
    if (text.empty()) fail(*this, kScope, "ini file parameter invalid format(float) or undefined.");
    try {
        return System::stof(text);
    } catch (const std::exception&) {
        fail(*this, kScope, "ini file parameter invalid format(float) or undefined.");
    }
}

std::wstring IniFile::VALUE::toString() const {
    if (text.empty())
        fail(*this, "System::IniFile::VALUE::toString", "ini file parameter invalid format(UTF8) or undefined.");
    return utf8ToWide(text);
}

std::wstring IniFile::VALUE::toString(const std::wstring& defaultValue) const {
    return text.empty() ? defaultValue : utf8ToWide(text);
}

Media::ColorRgba IniFile::VALUE::toRGBA() const {
    Media::ColorRgba color;
    try {
        Media::parseColorRgba(text, color);
    } catch (const std::exception&) {
        fail(*this, "System::IniFile::VALUE::toRGBA", "ini file parameter invalid format(RGB) or undefined.");
    }
    return color;
}

std::wstring IniFile::VALUE::describe(int32_t lineOverride) const {
    try {
        std::wstring out;
        if (document != nullptr && !document->path().empty()) out = L"file=" + document->path();
        if (const int32_t shown = lineOverride != 0 ? lineOverride : line; shown != 0) {
            if (!out.empty()) out += L' ';
            out += formatString(L"(line %d)", shown);
        }
        if (section != nullptr) out += L" section=" + utf8ToWide(*section);
        if (key != nullptr) out += L" key=" + utf8ToWide(*key);
        return out;
    } catch (...) {
        return {};
    }
}

// ---- SectionRef

const IniFile::VALUE& IniFile::SectionRef::findValue(const std::string& key) const {
    const auto found = keys_->find(key);
    return found == keys_->end() ? emptyValue() : found->second;
}

const IniFile::VALUE& IniFile::SectionRef::getValue(const std::string& key) const {
    const auto found = keys_->find(key);
    if (found == keys_->end())
        throw formatException("System::IniFile::SectionRef::getValue", "ini file parameter undefined.", L"%ls",
                              describeKey(key).c_str());
    return found->second;
}

std::wstring IniFile::SectionRef::describeKey(const std::string& key) const {
    return L" section=" + utf8ToWide(name_) + L" key=" + utf8ToWide(key);
}

// ---- document

const IniFile::VALUE& IniFile::emptyValue() {
    static const VALUE value;
    return value;
}

IniFile::~IniFile() {
    if (!save_ || path_.empty()) return;
    try {
        Save(*this, path_);
    } catch (const std::exception&) {
        // Already logged by the exception's builder; a destructor cannot pass it on.
    }
}

bool IniFile::loadFile(const std::wstring& path, bool defaults, bool ansi) {
    const std::wstring expanded = FileName::getExpandedPath(path.c_str());
    if (!defaults) {
        sections_.clear();
        path_ = expanded;
    }
    std::string content;
    if (!readWhole(expanded, content)) return false;
    parse(content, path, defaults, ansi);
    Log::info(kLoadScope, "load ini file : %s (section=%d)", wideToUtf8(expanded).c_str(),
              static_cast<int>(sections_.size()));
    return true;
}

void IniFile::parse(const std::string& original, const std::wstring& givenPath, bool defaults, bool ansi) {
    std::string_view content = original;
    if (ansi && content.substr(0, 3) == "\xEF\xBB\xBF" && isValidUtf8(content)) {
        content.remove_prefix(3);
        ansi = false;
    }
    KeyMap* current = nullptr;
    const std::string* currentName = nullptr;
    // A file that is no ini text at all would log every line: each kind of
    // warning is logged for the first lines only, the rest as one count.
    int32_t illegalLines = 0;
    int32_t duplicateKeys = 0;
    int32_t lineNumber = 1;
    size_t start = 0;
    while (start < content.size()) {
        size_t end = content.find('\n', start);
        if (end == std::string_view::npos) end = content.size();
        std::string_view raw = content.substr(start, end - start);
        start = end + 1;
        while (!raw.empty() && (raw.back() == '\r' || raw.back() == '\n')) raw.remove_suffix(1);
        if (raw.empty() || raw.front() == ';') {
            ++lineNumber;
            continue;
        }
        const std::string line = ansi ? wideToUtf8(Platform::os::decodeCp932(raw)) : std::string(raw);
        size_t equals;
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
            const auto it = sections_.try_emplace(line.substr(1, line.size() - 2)).first;
            current = &it->second;
            currentName = &it->first;
        } else if ((equals = line.find('=')) != std::string::npos && currentName != nullptr && !currentName->empty()) {
            const auto [it, inserted] = current->try_emplace(line.substr(0, equals));
            if (inserted) {
                VALUE& value = it->second;
                value.text = line.substr(equals + 1);
                value.document = this;
                value.line = lineNumber;
                value.section = currentName;
                value.key = &it->first;
            } else if (!defaults && ++duplicateKeys <= kWarningsPerKind) {
                Log::warn(kLoadScope, "ini file parameter duplicate key? %s",
                          wideToUtf8(it->second.describe(lineNumber)).c_str());
            }
        } else if (++illegalLines <= kWarningsPerKind) {
            Log::warn(kLoadScope, "ini file line illegal format. file=%s(line %d)", wideToUtf8(givenPath).c_str(),
                      lineNumber);
        }
        ++lineNumber;
    }
    if (illegalLines > kWarningsPerKind)
        Log::warn(kLoadScope, "ini file line illegal format. file=%s (%d more lines)", wideToUtf8(givenPath).c_str(),
                  illegalLines - kWarningsPerKind);
    if (duplicateKeys > kWarningsPerKind)
        Log::warn(kLoadScope, "ini file parameter duplicate key? file=%s (%d more keys)", wideToUtf8(givenPath).c_str(),
                  duplicateKeys - kWarningsPerKind);
}

namespace {

// Only LF ends a line when the file is read, and the CRs before it go with
// it: each LF (with the CRs just before it) becomes one blank, and so do the
// CRs that end the value, which the reader would drop; a CR inside the value
// is kept as it is.
void keepOnOneLine(std::string& text) {
    if (text.find_first_of("\r\n") == std::string::npos) return;
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            size_t j = i;
            while (j < text.size() && text[j] == '\r') ++j;
            if (j == text.size() || text[j] == '\n') {
                out.push_back(' ');
                i = j;  // the LF, if any, goes with the CRs
                continue;
            }
            out.append(j - i, '\r');
            i = j - 1;
        } else if (text[i] == '\n') {
            out.push_back(' ');
        } else {
            out.push_back(text[i]);
        }
    }
    text = std::move(out);
}

}  // namespace

IniFile::Save::Save(const IniFile& document, const std::wstring& path) {
    const std::wstring expanded = FileName::getExpandedPath(path.c_str());
    Log::info("System::IniFile::Save::Save", "saveFile : %s", wideToUtf8(expanded).c_str());
    std::string text;
    for (const auto& [name, keys] : document.sections()) {
        text += '[';
        text += name;
        text += "]\r\n";
        for (const auto& [key, value] : keys) {
            std::string single = value.text;
            keepOnOneLine(single);
            text += key;
            text += '=';
            text += single;
            text += "\r\n";
        }
    }
    File file;
    file.open(expanded, File::kWrite);
    constexpr size_t kChunk = size_t{1} << 30;
    for (size_t at = 0; at < text.size(); at += kChunk)
        file.write(text.data() + at, static_cast<int32_t>(std::min(kChunk, text.size() - at)));
    file.close();
}

void IniFile::writeKeyValue(File& file, const std::string& key, const std::wstring& value) {
    // A line break inside the value would start a line of its own when read.
    std::string text = wideToUtf8(value);
    keepOnOneLine(text);
    const std::string line = key + "=" + text + "\r\n";
    file.write(line.data(), static_cast<int32_t>(line.size()));
}

IniFile::SectionRef IniFile::getSection(const std::string& name) const {
    const auto found = sections_.find(name);
    return SectionRef(name, found == sections_.end() ? &emptySection() : &found->second);
}

IniFile::SectionRef IniFile::getSection(const std::string& name, int32_t index) const {
    char numbered[64];
    formatText(numbered, sizeof numbered, "%s.%d", name.c_str(), index);
    return getSection(numbered);
}

bool IniFile::hasSection(const std::string& name) const { return sections_.count(name) != 0; }

IniFile::VALUE& IniFile::getValue(const std::string& section, const std::string& key) {
    const auto sectionIt = sections_.try_emplace(section).first;
    const auto [it, inserted] = sectionIt->second.try_emplace(key);
    if (inserted) {
        it->second.document = this;
        it->second.section = &sectionIt->first;
        it->second.key = &it->first;
    }
    return it->second;
}

IniFile::KeyMap& IniFile::findOrCreateSection(const std::string& name) { return sections_[name]; }

}  // namespace System
