#pragma once
#include <cstdint>
#include <string>

#include "core/ConfigParameterGroup.h"

namespace System::Config {

class Int : public Parameter, public Value<int32_t> {
public:
    Int(ParameterGroup& group, const char* key, int32_t* target, int32_t defaultValue)
        : Parameter(group, key), Value<int32_t>(target, std::move(defaultValue)) {}
    void load(const IniFile::VALUE& value) override;
    std::string save() const override;
    void reset() override { *target = defaultValue; }
};

}  // namespace System::Config
