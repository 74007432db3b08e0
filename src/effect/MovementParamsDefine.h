#pragma once
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "effect/MenuDefineBase.h"

namespace Effect {

// A named list of time-control parameters, an entry of the preset menu.
class MovementParamsDefine : public Menu::MenuDefineBase {
public:
    // valuesText: the numbers separated by ","; a piece that is no number throws.
    MovementParamsDefine(std::wstring name, std::string_view valuesText, int32_t order);

    std::wstring getName() const override { return name; }

    // The numbers of a values text; "" gives none, a piece that is no number
    // (an empty one too) throws.
    static std::vector<double> parseValues(std::string_view text);
    // The one-line file text "params=v1,v2,...", CR LF ended.
    static std::string formatParams(const std::vector<double>& values);
    // (name, values text) of every usable line of a preset file's text.
    static std::vector<std::pair<std::string, std::string>> parseParams(std::string_view bytes);
    // As parseParams of the file; empty when the file does not open.
    static std::vector<std::pair<std::string, std::string>> readParamsFile(const std::wstring& path);
    // Replaces the file with one preset; open and write failures throw.
    static void saveMovementParamsFile(const std::wstring& path, const std::vector<double>& values);

    const std::vector<double> values;
    const std::wstring name;
};

}  // namespace Effect
