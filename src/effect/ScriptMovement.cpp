#include "effect/ScriptMovement.h"

#include <atomic>
#include <stdexcept>
#include <vector>

#include "core/Log.h"
#include "core/NumberText.h"
#include "core/StringHelper.h"
#include "core/TextConvert.h"
#include "effect/ItemText.h"

namespace Effect {

namespace {

std::atomic<ScriptEngineFinder> gEngineFinder{nullptr};

std::vector<std::string_view> splitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            lines.push_back(text.substr(start, i - start));
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            start = i + 1;
        }
    }
    if (start < text.size()) lines.push_back(text.substr(start));
    return lines;
}

// The text after the first ":" with the blanks after it skipped; empty without ":".
std::string_view directiveValue(std::string_view line) {
    const size_t colon = line.find(':');
    if (colon == std::string_view::npos) return {};
    std::string_view v = line.substr(colon + 1);
    while (!v.empty() && (v.front() == ' ' || v.front() == '\t')) v.remove_prefix(1);
    return v;
}

std::string withoutBlanks(std::string_view text) {
    std::string out;
    for (char c : text)
        if (c != ' ' && c != '\t') out += c;
    return out;
}

}  // namespace

ScriptMovement::ScriptMovement(std::wstring name_, std::string text)
    : scriptName(std::move(name_)), scriptText(std::move(text)) {
    name = scriptName.c_str();
    valueCount = -1;
    ignoreMidpoints = 0;
}

void ScriptMovement::setEngineFinder(ScriptEngineFinder finder) { gEngineFinder.store(finder); }

void ScriptMovement::makeScriptParams(std::wstring* labelOut, const std::wstring& defaultEngine) {
    // A reload reads the header again: start from the script defaults so that
    // "--param" values are not appended twice.
    accelerate = -1;
    decelerate = -1;
    ignoreMidpoints = 0;
    sectionAnchors = 1;
    timeControl = 0;
    defaultSettings.clear();
    information.clear();
    std::wstring engineChoice;
    const std::vector<std::string_view> lines = splitLines(scriptText);
    for (size_t i = 0; i < lines.size(); ++i) {
        const std::string_view line = lines[i];
        if (!line.starts_with("--")) continue;
        const auto is = [&line](std::string_view directive) { return line.starts_with(directive); };
        if (is("--twopoint")) {
            ignoreMidpoints = 2;
        } else if (is("--speed")) {
            const std::vector<std::string> pieces = System::splitComma(withoutBlanks(directiveValue(line)));
            const auto number = [&pieces](size_t k) {
                return k < pieces.size() && !pieces[k].empty() ? System::stoi(pieces[k]) : 0;
            };
            accelerate = number(0) > 0 ? 1 : 0;
            decelerate = number(1) > 0 ? 1 : 0;
        } else if (is("--param")) {
            const std::string_view v = directiveValue(line);
            defaultSettings.push_back(withoutBlanks(v).empty() ? 0.0 : ItemText::parseDouble(v));
        } else if (is("--timecontrol")) {
            timeControl = 1;
            sectionAnchors = 0;
        } else if (is("--script")) {
            engineChoice = System::utf8ToWide(directiveValue(line));
        } else if (is("--label")) {
            if (labelOut) *labelOut = System::utf8ToWide(directiveValue(line));
        } else if (is("--information")) {
            information = System::utf8ToWide(directiveValue(line));
        } else if (is("--[[")) {
            // Reading resumes on the line after the next "]]".
            size_t j = i;
            std::string_view rest = line.substr(4);
            while (rest.find("]]") == std::string_view::npos && ++j < lines.size()) rest = lines[j];
            i = j;
        }
    }
    engineName = engineChoice.empty() ? defaultEngine : engineChoice;
    if (const ScriptEngineFinder find = gEngineFinder.load()) engine = find(engineName);
}

double ScriptMovement::getValue(const EffectItemNumber& item, const Render::SectionPosition& position,
                                Render::RenderContext& context) const {
    try {
        if (!engine) throw std::runtime_error("not found script movement.");
        return engine->executeMovement(*this, item, position, context);
    } catch (const std::exception& e) {
        System::Log::warn("Effect::ScriptMovement::getValue", "script exception: %s", e.what());
        return 0;
    }
}

}  // namespace Effect
