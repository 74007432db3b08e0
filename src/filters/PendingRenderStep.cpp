#include "filters/PendingRenderStep.h"

#include "core/Exception.h"
#include "core/Log.h"

namespace Effect {

void PendingRenderStep::report(const char* scope) {
    if (reported_.exchange(true))
        return;
    System::Log::warn(scope, "%s", System::notImplementException(scope).what());
}

}  // namespace Effect
