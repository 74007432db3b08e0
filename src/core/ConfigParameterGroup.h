#pragma once
#include <vector>

#include "core/ConfigParameter.h"

// The parameters of one section, in the order they were built (not owned).
namespace System::Config {

class ParameterGroup {
public:
    // A null section name: the group is not persisted.
    explicit ParameterGroup(const char* section) : section_(section) {}
    ParameterGroup(const ParameterGroup&) = delete;
    ParameterGroup& operator=(const ParameterGroup&) = delete;

    void add(Parameter* parameter) { parameters_.push_back(parameter); }
    // Every parameter takes its stored value, or its default when the section,
    // the key or a convertible text is missing.
    void load(IniFile& document);

    const char* section() const { return section_; }
    const std::vector<Parameter*>& parameters() const { return parameters_; }

private:
    const char* section_;
    std::vector<Parameter*> parameters_;
};

}  // namespace System::Config
