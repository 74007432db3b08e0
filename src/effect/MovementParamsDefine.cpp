#include "effect/MovementParamsDefine.h"

#include <climits>
#include <cstdio>
#include <stdexcept>

#include "core/File.h"
#include "core/FileName.h"
#include "core/Log.h"
#include "core/TextConvert.h"
#include "effect/PresetFileText.h"

namespace Effect {

MovementParamsDefine::MovementParamsDefine(std::wstring name, std::string_view valuesText, int32_t order)
    : MenuDefineBase("Params", name, order, L"", true), values(parseValues(valuesText)), name(std::move(name)) {}

std::vector<double> MovementParamsDefine::parseValues(std::string_view text) {
    std::vector<double> values;
    if (text.empty()) return values;
    // Leading blanks are allowed and reading stops where the number ends.
    for (std::string_view piece : splitPresetText(text, ',')) values.push_back(std::stod(std::string(piece)));
    return values;
}

std::string MovementParamsDefine::formatParams(const std::vector<double>& values) {
    std::string text = "params=";
    for (size_t i = 0; i < values.size(); ++i) {
        if (i) text += ",";
        char number[512];
        std::snprintf(number, sizeof number, "%f", values[i]);
        std::string piece = number;
        if (piece.find('.') != std::string::npos) {
            while (!piece.empty() && piece.back() == '0') piece.pop_back();
            if (!piece.empty() && piece.back() == '.') piece.pop_back();
        }
        text += piece;
    }
    return text + "\r\n";
}

std::vector<std::pair<std::string, std::string>> MovementParamsDefine::parseParams(std::string_view bytes) {
    std::vector<std::pair<std::string, std::string>> entries;
    for (std::string_view line : splitPresetText(bytes, '\n')) {
        while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.remove_suffix(1);
        if (line.empty() || line.front() == ';') continue;
        const std::vector<std::string_view> halves = splitPresetText(line, '=');
        if (halves.size() != 2) continue;
        entries.emplace_back(std::string(halves[0]), std::string(halves[1]));
    }
    return entries;
}

std::vector<std::pair<std::string, std::string>> MovementParamsDefine::readParamsFile(const std::wstring& path) {
    return parseParams(readPresetFileText(path));
}

void MovementParamsDefine::saveMovementParamsFile(const std::wstring& path, const std::vector<double>& values) {
    System::Log::info("Effect::MovementParamsDefine::saveMovementParamsFile", "save movement params file : %s",
                      System::wideToUtf8(path).c_str());
    writePresetFileText(path, formatParams(values));
}

}  // namespace Effect
