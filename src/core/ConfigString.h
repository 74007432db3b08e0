#pragma once
#include <cstdint>
#include <string>

#include "core/ConfigParameterGroup.h"

namespace System::Config {

class String : public Parameter, public Value<std::wstring> {
public:
    String(ParameterGroup& group, const char* key, std::wstring* target, std::wstring defaultValue)
        : Parameter(group, key), Value<std::wstring>(target, std::move(defaultValue)) {}
    void load(const IniFile::VALUE& value) override;
    std::string save() const override;
    void reset() override { *target = defaultValue; }
};

}  // namespace System::Config
