#pragma once
#include "core/ConfigParameterGroup.h"

// Writes a group back into its document when the owner goes. Declared after
// the parameters, so it is destroyed before them.
namespace System::Config {

class ParameterBinding {
public:
    ParameterBinding(ParameterGroup& group, IniFile* document) : group_(group), document_(document) {}
    ~ParameterBinding();
    ParameterBinding(const ParameterBinding&) = delete;
    ParameterBinding& operator=(const ParameterBinding&) = delete;

private:
    ParameterGroup& group_;
    IniFile* document_;
};

}  // namespace System::Config
