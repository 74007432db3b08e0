#include "core/ConfigParameter.h"

#include "core/ConfigParameterGroup.h"

namespace System::Config {

// Joins the group; the owner's load right afterwards sets the variable.
Parameter::Parameter(ParameterGroup& group, const char* key) : key_(key) { group.add(this); }

}  // namespace System::Config
