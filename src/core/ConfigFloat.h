#pragma once
#include <cstdint>
#include <string>

#include "core/ConfigParameterGroup.h"

namespace System::Config {

class Float : public Parameter, public Value<float> {
public:
    Float(ParameterGroup& group, const char* key, float* target, float defaultValue)
        : Parameter(group, key), Value<float>(target, std::move(defaultValue)) {}
    void load(const IniFile::VALUE& value) override;
    std::string save() const override;
    void reset() override { *target = defaultValue; }
};

}  // namespace System::Config
