#include "core/ConfigParameterBinding.h"

namespace System::Config {

ParameterBinding::~ParameterBinding() {
    if (group_.section() == nullptr || document_ == nullptr) return;
    try {
        for (Parameter* parameter : group_.parameters())
            document_->getValue(group_.section(), parameter->key()).text = parameter->save();
    } catch (...) {
        // Only allocation can fail here; a destructor cannot pass it on.
    }
}

}  // namespace System::Config
