#include "core/ConfigParameterGroup.h"

namespace System::Config {

void ParameterGroup::load(IniFile& document) {
    if (section_ == nullptr) return;
    if (!document.hasSection(section_)) {
        for (Parameter* parameter : parameters_) parameter->reset();
        return;
    }
    const IniFile::SectionRef section = document.getSection(section_);
    for (Parameter* parameter : parameters_) {
        const auto found = section.keys().find(parameter->key());
        if (found == section.keys().end()) {
            parameter->reset();
            continue;
        }
        try {
            parameter->load(found->second);
        } catch (...) {
            parameter->reset();
        }
    }
}

}  // namespace System::Config
